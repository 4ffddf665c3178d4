// The column dialog: filling, moving types between the lists, ordering, enabled states, and
// loading and saving configurations through the file dialogs.

#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>
#include <sys/stat.h>

#include "app/ByteString.h"
#include "app/UiPrompts.h"
#include "core/UnitGlobals.h"
#include "core/UnitTextFiles.h"
#include "info/FormMP3InfosConfig.h"

namespace {

struct TDialogProbe {
  TfrmMP3InfosConfig Dialog{nullptr};

  QTreeWidget* Used() const { return Dialog.findChild<QTreeWidget*>(QStringLiteral("lvInfosUsed")); }
  QTreeWidget* Unused() const {
    return Dialog.findChild<QTreeWidget*>(QStringLiteral("lvInfosNOTUSed"));
  }
  QPushButton* Button(const char* name) const {
    return Dialog.findChild<QPushButton*>(QLatin1String(name));
  }
  // Which of the six list buttons are enabled, as a string of 0 and 1 in the order
  // Add, Remove, Add All, Remove All, Move Up, Move Down.
  QString Enabled() const {
    QString states;
    for (const char* name : {"cmdAdd", "cmdRemove", "cmdAddAll", "cmdRemoveAll", "cmdMoveUp",
                             "cmdMoveDown"}) {
      states += Button(name)->isEnabled() ? QLatin1Char('1') : QLatin1Char('0');
    }
    return states;
  }
  static void Select(QTreeWidget* list, std::initializer_list<int> rows) {
    list->clearSelection();
    for (const int row : rows) list->topLevelItem(row)->setSelected(true);
  }
  TStringList UsedLines() const {
    TStringList used, unused;
    Dialog.ReadBack(used, unused);
    return used;
  }
  TStringList UnusedLines() const {
    TStringList used, unused;
    Dialog.ReadBack(used, unused);
    return unused;
  }
};

}  // namespace

class FormMP3InfosConfigTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void cleanup();
  void CaptionsAndControls();
  void FillShowsCaptionsAndKeepsCodes();
  void EnabledStatesFollowTheLists();
  void AddKeepsOrderOfNonAdjacentItems();
  void RemoveAllLeavesNoColumns();
  void MoveUpAndDownSwapWithTheNeighbour();
  void SaveAndLoadGoThroughTheProgramFolder();
  void LoadFailureKeepsTheLists();
  void CancelledFileDialogsChangeNothing();
};

void FormMP3InfosConfigTest::cleanup() {
  SetFileDialogHook({});
  SetMessageHook({});
}

void FormMP3InfosConfigTest::CaptionsAndControls() {
  TDialogProbe probe;
  QCOMPARE(probe.Dialog.windowTitle(), QStringLiteral("MP3 Info Columns"));
  const std::pair<const char*, const char*> buttons[] = {
      {"cmdAdd", "Add >"},
      {"cmdRemove", "< Remove"},
      {"cmdAddAll", "Add All >>"},
      {"cmdRemoveAll", "<< Remove All"},
      {"cmdMoveUp", "Move Up"},
      {"cmdMoveDown", "Move Down"},
      {"cmdLoadConfiguration", "Load configuration..."},
      {"cmdSaveConfiguration", "Save configuration..."},
      {"cmdOK", "OK"},
      {"cmdCancel", "Cancel"},
      {"cmdHelp", "Help"}};
  for (const auto& [name, caption] : buttons) {
    QVERIFY2(probe.Button(name) != nullptr, name);
    QCOMPARE(probe.Button(name)->text(), QLatin1String(caption));
  }
  QVERIFY(probe.Button("cmdOK")->isDefault());
  QCOMPARE(probe.Dialog.findChild<QLabel*>(QStringLiteral("Label1"))->text(),
           QStringLiteral("Available types of information:"));
  QCOMPARE(probe.Dialog.findChild<QLabel*>(QStringLiteral("Label2"))->text(),
           QStringLiteral("Types of information displayed:"));
  QCOMPARE(probe.Used()->selectionMode(), QAbstractItemView::ExtendedSelection);
  QVERIFY(probe.Used()->isHeaderHidden());
  QVERIFY(probe.Used()->isColumnHidden(1));
  QCOMPARE(probe.Enabled(), QStringLiteral("000000"));

  // OK and Cancel end the dialog with their result.
  probe.Dialog.show();
  QTest::mouseClick(probe.Button("cmdCancel"), Qt::LeftButton);
  QCOMPARE(probe.Dialog.result(), int(QDialog::Rejected));
  probe.Dialog.show();
  QTest::mouseClick(probe.Button("cmdOK"), Qt::LeftButton);
  QCOMPARE(probe.Dialog.result(), int(QDialog::Accepted));
}

void FormMP3InfosConfigTest::FillShowsCaptionsAndKeepsCodes() {
  TDialogProbe probe;
  // Lines are not checked: short ones, odd bytes and duplicates all come through.
  const TStringList used = {"0NAM=File", "TIT2=Title", "0NAM=File", "AB", "WXYZ"};
  const TStringList unused = {"0FUL=Full file name and location", "COMM=Caf\xC3\xA9"};
  probe.Dialog.Fill(used, unused);
  QCOMPARE(probe.Used()->topLevelItemCount(), 5);
  QCOMPARE(probe.Used()->topLevelItem(0)->text(0), QStringLiteral("File"));
  QCOMPARE(probe.Used()->topLevelItem(0)->text(1), QStringLiteral("0NAM"));
  QCOMPARE(probe.Unused()->topLevelItem(1)->text(0), QStringLiteral("Caf\u00E9"));
  // Read back, every item is its code, "=" and its caption.
  QCOMPARE(probe.UsedLines(), (TStringList{"0NAM=File", "TIT2=Title", "0NAM=File", "AB=", "WXYZ="}));
  QCOMPARE(probe.UnusedLines(), unused);

  // A refill replaces what was there.
  probe.Dialog.Fill({"0SIZ=Size"}, {});
  QCOMPARE(probe.UsedLines(), TStringList{"0SIZ=Size"});
  QVERIFY(probe.UnusedLines().empty());
}

void FormMP3InfosConfigTest::EnabledStatesFollowTheLists() {
  TDialogProbe probe;
  probe.Dialog.Fill({"0NAM=Name", "0TYP=Type", "0LOC=Location"}, {"0FUL=Full"});
  QCOMPARE(probe.Enabled(), QStringLiteral("001100"));
  TDialogProbe::Select(probe.Unused(), {0});
  QCOMPARE(probe.Enabled(), QStringLiteral("101100"));
  TDialogProbe::Select(probe.Used(), {0});
  QCOMPARE(probe.Enabled(), QStringLiteral("111101"));
  TDialogProbe::Select(probe.Used(), {1});
  QCOMPARE(probe.Enabled(), QStringLiteral("111111"));
  TDialogProbe::Select(probe.Used(), {2});
  QCOMPARE(probe.Enabled(), QStringLiteral("111110"));
  probe.Unused()->clearSelection();
  probe.Used()->clearSelection();
  QCOMPARE(probe.Enabled(), QStringLiteral("001100"));
  probe.Dialog.Fill({}, {});
  QCOMPARE(probe.Enabled(), QStringLiteral("000000"));
}

void FormMP3InfosConfigTest::AddKeepsOrderOfNonAdjacentItems() {
  TDialogProbe probe;
  probe.Dialog.Fill({"0NAM=Name"}, {"A001=One", "A002=Two", "A003=Three", "A004=Four", "A005=Five"});
  TDialogProbe::Select(probe.Unused(), {4, 0, 2});
  QTest::mouseClick(probe.Button("cmdAdd"), Qt::LeftButton);
  QCOMPARE(probe.UsedLines(), (TStringList{"0NAM=Name", "A001=One", "A003=Three", "A005=Five"}));
  QCOMPARE(probe.UnusedLines(), (TStringList{"A002=Two", "A004=Four"}));
  // Nothing stays selected in the source, so Add is off again.
  QCOMPARE(probe.Enabled(), QStringLiteral("001100"));

  TDialogProbe::Select(probe.Used(), {0, 3});
  QTest::mouseClick(probe.Button("cmdRemove"), Qt::LeftButton);
  QCOMPARE(probe.UsedLines(), (TStringList{"A001=One", "A003=Three"}));
  QCOMPARE(probe.UnusedLines(), (TStringList{"A002=Two", "A004=Four", "0NAM=Name", "A005=Five"}));

  QTest::mouseClick(probe.Button("cmdAddAll"), Qt::LeftButton);
  QCOMPARE(probe.UsedLines(), (TStringList{"A001=One", "A003=Three", "A002=Two", "A004=Four",
                                           "0NAM=Name", "A005=Five"}));
  QVERIFY(probe.UnusedLines().empty());
  QCOMPARE(probe.Enabled(), QStringLiteral("000100"));
}

void FormMP3InfosConfigTest::RemoveAllLeavesNoColumns() {
  TDialogProbe probe;
  TStringList used, unused;
  FillDefaultCatalogue(used, unused);
  probe.Dialog.Fill(used, unused);
  QTest::mouseClick(probe.Button("cmdRemoveAll"), Qt::LeftButton);
  QVERIFY(probe.UsedLines().empty());
  const TStringList afterRemove = probe.UnusedLines();
  QCOMPARE(afterRemove.size(), InfoTypeCatalogueSize);
  QCOMPARE(afterRemove.front(), std::string("0FUL=Full file name and location"));
  QCOMPARE(afterRemove[1], std::string("0NAM=Name"));
  QCOMPARE(probe.Enabled(), QStringLiteral("001000"));
}

void FormMP3InfosConfigTest::MoveUpAndDownSwapWithTheNeighbour() {
  TDialogProbe probe;
  probe.Dialog.Fill({"A001=One", "A002=Two", "A003=Three"}, {});
  TDialogProbe::Select(probe.Used(), {2});
  QTest::mouseClick(probe.Button("cmdMoveUp"), Qt::LeftButton);
  QCOMPARE(probe.UsedLines(), (TStringList{"A001=One", "A003=Three", "A002=Two"}));
  // The moved type stays selected and current at its new place.
  QCOMPARE(probe.Used()->selectedItems().size(), 1);
  QCOMPARE(probe.Used()->indexOfTopLevelItem(probe.Used()->currentItem()), 1);
  QVERIFY(probe.Used()->topLevelItem(1)->isSelected());
  QTest::mouseClick(probe.Button("cmdMoveUp"), Qt::LeftButton);
  QCOMPARE(probe.UsedLines(), (TStringList{"A003=Three", "A001=One", "A002=Two"}));
  // First item: Move Up is off and a direct call changes nothing.
  QVERIFY(!probe.Button("cmdMoveUp")->isEnabled());
  probe.Dialog.cmdMoveUpClick();
  QCOMPARE(probe.UsedLines(), (TStringList{"A003=Three", "A001=One", "A002=Two"}));

  // With several selected, the first one in list order moves.
  TDialogProbe::Select(probe.Used(), {2, 1});
  QTest::mouseClick(probe.Button("cmdMoveDown"), Qt::LeftButton);
  QCOMPARE(probe.UsedLines(), (TStringList{"A003=Three", "A002=Two", "A001=One"}));
  QCOMPARE(probe.Used()->selectedItems().size(), 1);
  QVERIFY(probe.Used()->topLevelItem(2)->isSelected());
  QVERIFY(!probe.Button("cmdMoveDown")->isEnabled());
  probe.Dialog.cmdMoveDownClick();
  QCOMPARE(probe.UsedLines(), (TStringList{"A003=Three", "A002=Two", "A001=One"}));
}

void FormMP3InfosConfigTest::SaveAndLoadGoThroughTheProgramFolder() {
  QTemporaryDir folder;
  QVERIFY(folder.isValid());
  SetProgramFolder(QStringToPath(folder.path()));
  const QString file = folder.filePath(QStringLiteral("Mine.ITC"));
  QList<TFileDialogRequest> requests;
  SetFileDialogHook([&](const TFileDialogRequest& request) {
    requests.append(request);
    return file;
  });

  TDialogProbe probe;
  probe.Dialog.Fill({"0NAM=File", "0SIZ=Size"}, {"0FUL=Full"});
  QTest::mouseClick(probe.Button("cmdSaveConfiguration"), Qt::LeftButton);
  QCOMPARE(requests.size(), 1);
  QCOMPARE(requests[0].Kind, TFileDialogRequest::TKind::Save);
  QCOMPARE(requests[0].Filter, QStringLiteral("Configuration Files (*.ITC)"));
  QCOMPARE(requests[0].Directory, folder.path());
  QCOMPARE(ReadWholeFile(QStringToPath(file)),
           std::string("USED\r\n0NAM=File\r\n0SIZ=Size\r\nNOTUSED\r\n0FUL=Full\r\n"));

  // Lines before the first marker count as used; empty lines are skipped.
  WriteFileAtomically(QStringToPath(file), "TIT2=Title\r\n\r\nUSED\r\n0LOC=Where\r\nNOTUSED\r\n0NAM=File\r\n");
  QTest::mouseClick(probe.Button("cmdLoadConfiguration"), Qt::LeftButton);
  QCOMPARE(requests.size(), 2);
  QCOMPARE(requests[1].Kind, TFileDialogRequest::TKind::Open);
  QCOMPARE(requests[1].Filter, QStringLiteral("Configuration Files (*.ITC)"));
  QCOMPARE(requests[1].Directory, folder.path());
  QCOMPARE(probe.UsedLines(), (TStringList{"TIT2=Title", "0LOC=Where"}));
  // The types the file lacks follow its own unused ones.
  const TStringList unused = probe.UnusedLines();
  QCOMPARE(unused.size(), InfoTypeCatalogueSize - 2);
  QCOMPARE(unused.front(), std::string("0NAM=File"));
  QCOMPARE(probe.Enabled(), QStringLiteral("001100"));
}

void FormMP3InfosConfigTest::LoadFailureKeepsTheLists() {
  QTemporaryDir folder;
  QVERIFY(folder.isValid());
  SetFileDialogHook([&](const TFileDialogRequest&) {
    return folder.filePath(QStringLiteral("missing.itc"));
  });
  QList<TMessageRequest> boxes;
  SetMessageHook([&](const TMessageRequest& request) {
    boxes.append(request);
    return TMsgResult::Ok;
  });
  TDialogProbe probe;
  probe.Dialog.Fill({"0NAM=Name"}, {"0FUL=Full"});
  probe.Dialog.cmdLoadConfigurationClick();
  QCOMPARE(boxes.size(), 1);
  QCOMPARE(boxes[0].Icon, TMsgIcon::Error);
  QCOMPARE(probe.UsedLines(), TStringList{"0NAM=Name"});
  QCOMPARE(probe.UnusedLines(), TStringList{"0FUL=Full"});
  // A FIFO is no configuration file: reported at once, never waited on.
  const QString fifo = folder.filePath(QStringLiteral("pipe.itc"));
  QVERIFY(::mkfifo(QStringToPath(fifo).c_str(), 0600) == 0);
  SetFileDialogHook([&](const TFileDialogRequest&) { return fifo; });
  probe.Dialog.cmdLoadConfigurationClick();
  QCOMPARE(boxes.size(), 2);
  QCOMPARE(probe.UsedLines(), TStringList{"0NAM=Name"});

  // A folder that cannot take the file: reported, nothing else happens.
  SetFileDialogHook([&](const TFileDialogRequest&) {
    return folder.filePath(QStringLiteral("no/such/folder/x.itc"));
  });
  probe.Dialog.cmdSaveConfigurationClick();
  QCOMPARE(boxes.size(), 3);
  QCOMPARE(probe.UsedLines(), TStringList{"0NAM=Name"});
}

void FormMP3InfosConfigTest::CancelledFileDialogsChangeNothing() {
  QTemporaryDir folder;
  QVERIFY(folder.isValid());
  SetProgramFolder(QStringToPath(folder.path()));
  SetFileDialogHook([](const TFileDialogRequest&) { return QString(); });
  int boxes = 0;
  SetMessageHook([&](const TMessageRequest&) {
    ++boxes;
    return TMsgResult::Ok;
  });
  TDialogProbe probe;
  probe.Dialog.Fill({"0NAM=Name"}, {});
  probe.Dialog.cmdLoadConfigurationClick();
  probe.Dialog.cmdSaveConfigurationClick();
  QCOMPARE(boxes, 0);
  QCOMPARE(probe.UsedLines(), TStringList{"0NAM=Name"});
  QVERIFY(QDir(folder.path()).entryList(QDir::Files).isEmpty());
}

QTEST_MAIN(FormMP3InfosConfigTest)
#include "FormMP3InfosConfigTest.moc"

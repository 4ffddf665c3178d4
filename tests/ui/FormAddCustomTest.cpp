#include "reports/FormAddCustom.h"

#include "app/ByteString.h"
#include "app/UiPrompts.h"
#include "support/TMessageRecorder.h"
#include "core/UnitFileSystem.h"
#include "core/UnitGlobals.h"
#include "core/UnitTextFiles.h"

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>
#include <sys/stat.h>
#include <string>

class FormAddCustomTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void init() {
    dir_ = std::make_unique<QTemporaryDir>();
    QVERIFY(dir_->isValid());
    SetProgramFolder(QStringToPath(dir_->path()));
    boxes_ = std::make_unique<TMessageRecorder>();
  }

  void cleanup() {
    boxes_.reset();
    SetFileDialogHook({});
    dir_.reset();
  }

  void historyShowsEachLocationOnceInFileOrder() {
    Put("/mnt/C/Music\r\n\r\n/mnt/C/Music\n/mnt/D/\r");
    TfrmAddCustom frm(nullptr);
    QCOMPARE(frm.windowTitle(), QStringLiteral("Add Custom"));
    QCOMPARE(frm.property("HelpContext").toInt(), 2010);
    QCOMPARE(frm.Label1->text(),
             QStringLiteral("Please enter a location (drive, folder, network path, etc.):"));
    QCOMPARE(frm.cmdBrowse->text(), QStringLiteral("..."));
    QCOMPARE(frm.cmdBrowse->toolTip(), QStringLiteral("Browse"));
    QCOMPARE(frm.cbCustomTargets->maxVisibleItems(), 8);
    QCOMPARE(frm.cbCustomTargets->count(), 2);
    QCOMPARE(frm.cbCustomTargets->itemText(0), QStringLiteral("/mnt/C/Music"));
    QCOMPARE(frm.cbCustomTargets->itemText(1), QStringLiteral("/mnt/D/"));
    QVERIFY(frm.cbCustomTargets->currentText().isEmpty());
    QVERIFY(!frm.cmdOK->isEnabled());
    QVERIFY(boxes_->Texts().isEmpty());
  }

  void okFollowsTheTextAndEnterDoesNothingWithoutIt() {
    TfrmAddCustom frm(nullptr);
    frm.show();
    QVERIFY(QTest::qWaitForWindowExposed(&frm));
    auto* edit = frm.cbCustomTargets->lineEdit();
    QTest::keyClicks(edit, QStringLiteral("/x"));
    QVERIFY(frm.cmdOK->isEnabled());
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClick(edit, Qt::Key_Backspace);
    QVERIFY(!frm.cmdOK->isEnabled());
    QTest::keyClick(edit, Qt::Key_Return);
    QVERIFY(frm.isVisible());
    QVERIFY(frm.Result().isEmpty());
    QVERIFY(!QFile::exists(dir_->filePath(QStringLiteral("CUSTHIST.CFG"))));

    // Picking an item from the drop-down is a change of text as well.
    Put("/srv/a\r\n");
    TfrmAddCustom second(nullptr);
    second.cbCustomTargets->setCurrentIndex(0);
    QVERIFY(second.cmdOK->isEnabled());
  }

  void okReturnsTextAsEnteredAndAppendsItToHistory() {
    Put("/mnt/C/Music\r\n/mnt/c/music\r\n/mnt/D/\r\n");
    TfrmAddCustom frm(nullptr);
    frm.setWindowTitle(QStringLiteral("Scan"));
    frm.show();
    QTest::keyClicks(frm.cbCustomTargets->lineEdit(), QStringLiteral("/does/not/exist "));
    QTest::keyClick(frm.cbCustomTargets->lineEdit(), Qt::Key_Return);
    QCOMPARE(frm.result(), int(QDialog::Accepted));
    QCOMPARE(frm.Result(), QStringLiteral("/does/not/exist "));
    QCOMPARE(frm.ResultPath(), std::string("/does/not/exist "));
    // The exact duplicate is gone, the other letter case stays, the new entry comes last.
    QCOMPARE(Get(), std::string("/mnt/C/Music\r\n/mnt/c/music\r\n/mnt/D/\r\n/does/not/exist \r\n"));

    // The same location entered again is stored again and shown once.
    TfrmAddCustom again(nullptr);
    again.cbCustomTargets->setEditText(QStringLiteral("/mnt/D/"));
    QTest::mouseClick(again.cmdOK, Qt::LeftButton);
    QCOMPARE(Get(), std::string("/mnt/C/Music\r\n/mnt/c/music\r\n/mnt/D/\r\n/does/not/exist \r\n/mnt/D/\r\n"));
    TfrmAddCustom third(nullptr);
    QCOMPARE(third.cbCustomTargets->count(), 4);
  }

  void relativeAndHomeLocationsBecomeAbsolute() {
    const std::string here = QStringToPath(QDir::currentPath());
    const std::string home = HomeFolder();
    const struct {
      QString Typed;
      std::string Result;
    } cases[] = {{QStringLiteral("Music"), here + "/Music"}, {QStringLiteral("~"), home}};
    for (const auto& c : cases) {
      TfrmAddCustom frm(nullptr);
      frm.cbCustomTargets->setEditText(c.Typed);
      QTest::mouseClick(frm.cmdOK, Qt::LeftButton);
      QCOMPARE(frm.ResultPath(), c.Result);
      QCOMPARE(frm.Result(), PathToQString(c.Result));
    }
    // The history keeps what the locations mean, not what was typed.
    QCOMPARE(Get(), here + "/Music\r\n" + home + "\r\n");
  }

  void unreadableHistoryIsNotReplaced() {
    // A history the dialog cannot read (here a FIFO, never waited on) is not overwritten by OK.
    const std::string file = QStringToPath(dir_->filePath(QStringLiteral("CUSTHIST.CFG")));
    QVERIFY(::mkfifo(file.c_str(), 0600) == 0);
    TfrmAddCustom frm(nullptr);
    QCOMPARE(frm.cbCustomTargets->count(), 0);
    frm.cbCustomTargets->setEditText(QStringLiteral("/srv/new"));
    QTest::mouseClick(frm.cmdOK, Qt::LeftButton);
    QCOMPARE(frm.ResultPath(), std::string("/srv/new"));
    struct stat st {};
    QVERIFY(::lstat(file.c_str(), &st) == 0 && S_ISFIFO(st.st_mode));
    QVERIFY(boxes_->Texts().isEmpty());
  }

  void cancelReturnsNothingAndLeavesHistory() {
    Put("/a\r\n");
    TfrmAddCustom frm(nullptr);
    frm.show();
    frm.cbCustomTargets->setEditText(QStringLiteral("/b"));
    QTest::keyClick(&frm, Qt::Key_Escape);
    QCOMPARE(frm.result(), int(QDialog::Rejected));
    QVERIFY(frm.Result().isEmpty());
    QCOMPARE(Get(), std::string("/a\r\n"));
  }

  void clearHistoryAsksFirst() {
    Put("/a\r\n/b\r\n");
    TfrmAddCustom frm(nullptr);
    frm.show();
    boxes_->Answer = TMsgResult::No;
    QTest::mouseClick(frm.cmdClearHistory, Qt::LeftButton);
    QCOMPARE(boxes_->Texts(), QStringList{QStringLiteral(
                            "Please confirm: Are you sure you want to clear the list of locations that were "
                            "previously added using this dialog box?")});
    QCOMPARE(frm.cbCustomTargets->count(), 2);
    QCOMPARE(Get(), std::string("/a\r\n/b\r\n"));

    boxes_->Answer = TMsgResult::Yes;
    QTest::mouseClick(frm.cmdClearHistory, Qt::LeftButton);
    QCOMPARE(frm.cbCustomTargets->count(), 0);
    QCOMPARE(Get(), std::string());
    QVERIFY(frm.isVisible());
    QTest::mouseClick(frm.cmdCancel, Qt::LeftButton);
    QVERIFY(frm.Result().isEmpty());
    QCOMPARE(Get(), std::string());
  }

  void browsePutsPickedFolderIntoTheField() {
    TFileDialogRequest seen;
    QString answer = QStringLiteral("/media/usb/Music");
    SetFileDialogHook([&](const TFileDialogRequest& request) {
      seen = request;
      return answer;
    });
    TfrmAddCustom frm(nullptr);
    frm.show();
    QTest::mouseClick(frm.cmdBrowse, Qt::LeftButton);
    QVERIFY(seen.Kind == TFileDialogRequest::TKind::Folder);
    QCOMPARE(seen.Caption, QStringLiteral("Select a location:"));
    QCOMPARE(frm.cbCustomTargets->currentText(), answer);
    QVERIFY(frm.cmdOK->isEnabled());
    answer.clear();  // cancelled picker: the text stays
    QTest::mouseClick(frm.cmdBrowse, Qt::LeftButton);
    QCOMPARE(frm.cbCustomTargets->currentText(), QStringLiteral("/media/usb/Music"));
  }

  void unwritableHistoryKeepsDialogOpenWithoutResult() {
    SetProgramFolder(QStringToPath(dir_->path()) + "/missing-folder");
    TfrmAddCustom frm(nullptr);
    frm.show();
    frm.cbCustomTargets->setEditText(QStringLiteral("/a"));
    QTest::mouseClick(frm.cmdOK, Qt::LeftButton);
    QCOMPARE(boxes_->Texts().size(), 1);
    QVERIFY(boxes_->Texts().at(0).contains(QStringLiteral("CUSTHIST.CFG")));
    QVERIFY(frm.isVisible());
    QVERIFY(frm.Result().isEmpty());
    QCOMPARE(frm.cbCustomTargets->count(), 0);
    QCOMPARE(frm.cbCustomTargets->currentText(), QStringLiteral("/a"));
  }

  void pathsThatAreNotUtf8SurviveTheRoundTrip() {
    const std::string path = "/media/Caf\xe9";
    Put(path + "\r\n");
    TfrmAddCustom frm(nullptr);
    frm.cbCustomTargets->setCurrentIndex(0);
    QTest::mouseClick(frm.cmdOK, Qt::LeftButton);
    QCOMPARE(frm.ResultPath(), path);
    QCOMPARE(Get(), path + "\r\n" + path + "\r\n");
  }

  void f1AndHelpWithoutHelpFileDoNothing() {
    TfrmAddCustom frm(nullptr);
    frm.show();
    QTest::keyClick(frm.cbCustomTargets->lineEdit(), Qt::Key_F1);
    QTest::mouseClick(frm.cmdHelp, Qt::LeftButton);
    QVERIFY(boxes_->Texts().isEmpty());
    QVERIFY(frm.isVisible());
  }

 private:
  std::string File() const { return ProgramFile("CUSTHIST.CFG"); }
  void Put(const std::string& content) const { WriteFileAtomically(File(), content); }
  std::string Get() const { return ReadWholeFile(File()); }

  std::unique_ptr<QTemporaryDir> dir_;
  std::unique_ptr<TMessageRecorder> boxes_;
};

QTEST_MAIN(FormAddCustomTest)
#include "FormAddCustomTest.moc"

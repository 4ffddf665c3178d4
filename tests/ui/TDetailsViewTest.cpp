// The details text: bold captions, the pop-up menu, and saving as RTF or plain text.

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>

#include "app/ByteString.h"
#include "app/UiPrompts.h"
#include "support/TMessageRecorder.h"
#include "core/UnitTextFiles.h"
#include "info/TDetailsView.h"

namespace {

std::vector<TDetailsLine> SampleLines() {
  return {
      {{" Full File Name and Path:  ", true}, {"/music/a.mp3", false}},
      {{" Song Title:  ", true}, {"Caf\xC3\xA9 Blue", false}},
      {{" Artist:  ", true}, {"Somebody", false}},
  };
}

std::string FileBytes(const QString& path) { return ReadWholeFile(QStringToPath(path)); }

}  // namespace

class TDetailsViewTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void cleanup();
  void ShowsBoldCaptionsAndPlainValues();
  void PopupOffersCopyOnlyWithASelection();
  void SaveChoosesTheFormatByExtension();
  void SaveThroughTheDialog();
  void FailedSaveIsReportedAndKeepsTheOldFile();
};

void TDetailsViewTest::cleanup() {
  SetFileDialogHook({});
  SetMessageHook({});
}

void TDetailsViewTest::ShowsBoldCaptionsAndPlainValues() {
  TDetailsView view;
  QCOMPARE(view.objectName(), QStringLiteral("rtfMP3Details"));
  QVERIFY(view.isReadOnly());
  QCOMPARE(view.lineWrapMode(), QTextEdit::NoWrap);
  QCOMPARE(view.font().family(), QStringLiteral("Arial"));
  QCOMPARE(view.font().pixelSize(), 13);

  view.ShowDetails(SampleLines());
  QCOMPARE(view.toPlainText(),
           QStringLiteral(" Full File Name and Path:  /music/a.mp3\n Song Title:  Caf\u00E9 Blue\n"
                          " Artist:  Somebody"));
  const QTextBlock second = view.document()->findBlockByNumber(1);
  auto fragment = second.begin();
  QCOMPARE(fragment.fragment().text(), QStringLiteral(" Song Title:  "));
  QCOMPARE(fragment.fragment().charFormat().fontWeight(), int(QFont::Bold));
  ++fragment;
  QCOMPARE(fragment.fragment().text(), QStringLiteral("Caf\u00E9 Blue"));
  QCOMPARE(fragment.fragment().charFormat().fontWeight(), int(QFont::Normal));
  // Shown from the top, with the caret at the start.
  QCOMPARE(view.textCursor().position(), 0);

  // A new file replaces the page; an empty one leaves it empty.
  view.ShowDetails({{{" Full File Name and Path:  ", true}, {"/x", false}}});
  QCOMPARE(view.document()->blockCount(), 1);
  view.ClearDetails();
  QVERIFY(view.toPlainText().isEmpty());
  QVERIFY(view.Lines().empty());
}

void TDetailsViewTest::PopupOffersCopyOnlyWithASelection() {
  TDetailsView view;
  QCOMPARE(view.SelectAllAction()->text(), QStringLiteral("Select All"));
  QCOMPARE(view.SelectAllAction()->statusTip(), QStringLiteral("Selects all details."));
  QCOMPARE(view.CopyAction()->text(), QStringLiteral("Copy"));
  QCOMPARE(view.CopyAction()->statusTip(),
           QStringLiteral("Copies the selected details onto the Clipboard."));
  QCOMPARE(view.SaveAction()->text(), QStringLiteral("Save..."));
  QCOMPARE(view.SaveAction()->statusTip(), QStringLiteral("Saves all the details to a file."));
  QCOMPARE(view.PopupMenu()->actions().size(), 4);
  QVERIFY(view.PopupMenu()->actions().at(2)->isSeparator());

  view.ShowDetails(SampleLines());
  view.popDetailsViewPopup();
  QVERIFY(!view.CopyAction()->isEnabled());

  view.SelectAllAction()->trigger();
  QVERIFY(view.textCursor().hasSelection());
  view.popDetailsViewPopup();
  QVERIFY(view.CopyAction()->isEnabled());
  QApplication::clipboard()->clear();
  view.CopyAction()->trigger();
  QVERIFY(QApplication::clipboard()->text().contains(QStringLiteral("Song Title:  Caf\u00E9 Blue")));

  // A fresh page has no selection again.
  view.ShowDetails(SampleLines());
  view.popDetailsViewPopup();
  QVERIFY(!view.CopyAction()->isEnabled());
}

void TDetailsViewTest::SaveChoosesTheFormatByExtension() {
  QTemporaryDir folder;
  QVERIFY(folder.isValid());
  TDetailsView view;
  view.ShowDetails(SampleLines());
  const std::string plain = DetailsToPlainText(SampleLines());
  const std::string rtf = DetailsToRtf(SampleLines());
  QVERIFY(plain.find("\r\n") != std::string::npos);
  QVERIFY(rtf.starts_with("{\\rtf1"));

  const std::pair<const char*, bool> cases[] = {
      {"a.rtf", true}, {"b.RTF", true}, {"c.Rtf", true}, {"d.txt", false},
      {"e", false},    {"f.rtf.txt", false}, {"rtf", false}};
  for (const auto& [name, isRtf] : cases) {
    const QString path = folder.filePath(QLatin1String(name));
    QVERIFY2(view.SaveToFile(path), name);
    QCOMPARE(FileBytes(path), isRtf ? rtf : plain);
  }
  // No temporary file is left behind.
  QCOMPARE(QDir(folder.path()).entryList(QDir::Files).size(), qsizetype(std::size(cases)));
}

void TDetailsViewTest::SaveThroughTheDialog() {
  QTemporaryDir folder;
  QVERIFY(folder.isValid());
  TDetailsView view;
  view.ShowDetails(SampleLines());
  TFileDialogRequest asked;
  QString answer;
  QString chosenFilter;
  SetFileDialogHook([&](const TFileDialogRequest& request) {
    asked = request;
    if (request.ChosenFilter != nullptr) *request.ChosenFilter = chosenFilter;
    return answer;
  });

  // Cancelled: nothing is written.
  QVERIFY(!view.mnuPopDetailsSaveClick());
  QCOMPARE(asked.Kind, TFileDialogRequest::TKind::Save);
  QCOMPARE(asked.Filter, QStringLiteral("Text Files (*.TXT);;Rich Text Format (*.RTF)"));
  QCOMPARE(asked.DefaultSuffix, QStringLiteral("txt"));

  answer = folder.filePath(QStringLiteral("details.RTF"));
  view.SaveAction()->trigger();
  QCOMPARE(FileBytes(answer), DetailsToRtf(SampleLines()));
  // A name without a suffix takes the one of the chosen file type, which then decides the format.
  answer = folder.filePath(QStringLiteral("rich"));
  chosenFilter = QStringLiteral("Rich Text Format (*.RTF)");
  QVERIFY(view.mnuPopDetailsSaveClick());
  QCOMPARE(FileBytes(answer + QStringLiteral(".rtf")), DetailsToRtf(SampleLines()));
  answer = folder.filePath(QStringLiteral("plain"));
  chosenFilter = QStringLiteral("Text Files (*.TXT)");
  QVERIFY(view.mnuPopDetailsSaveClick());
  QCOMPARE(FileBytes(answer + QStringLiteral(".txt")), DetailsToPlainText(SampleLines()));
  // The next dialog starts where the last file went.
  view.mnuPopDetailsSaveClick();
  QCOMPARE(asked.Directory, folder.path());
}

void TDetailsViewTest::FailedSaveIsReportedAndKeepsTheOldFile() {
  QTemporaryDir folder;
  QVERIFY(folder.isValid());
  TMessageRecorder recorder;
  TDetailsView view;
  view.ShowDetails(SampleLines());
  QVERIFY(!view.SaveToFile(folder.filePath(QStringLiteral("missing/folder/x.txt"))));
  QCOMPARE(recorder.Requests.size(), 1);
  QCOMPARE(recorder.Requests[0].Icon, TMsgIcon::Error);

  // A name taken by a folder cannot be replaced: reported, and the folder stays as it was.
  const QString taken = folder.filePath(QStringLiteral("taken.txt"));
  QVERIFY(QDir().mkdir(taken));
  QVERIFY(!view.SaveToFile(taken));
  QCOMPARE(recorder.Requests.size(), 2);
  QVERIFY(QFileInfo(taken).isDir());
}

QTEST_MAIN(TDetailsViewTest)
#include "TDetailsViewTest.moc"

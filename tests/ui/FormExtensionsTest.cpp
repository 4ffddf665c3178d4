#include "scan/FormExtensionEdit.h"
#include "scan/FormExtensions.h"

#include "app/ByteString.h"
#include "app/UiPrompts.h"
#include "support/TMessageRecorder.h"
#include "core/UnitGlobals.h"
#include "core/UnitTextFiles.h"
#include "scan/UnitFileTypes.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest>

#include <functional>
#include <memory>
#include <string>

namespace {

// Acts on the Edit dialog once it runs modally (from inside its own event loop).
void WhenEditDialogOpens(std::function<void(TfrmExtensionEdit*)> action) {
  auto attempt = std::make_shared<std::function<void()>>();
  *attempt = [action, attempt] {
    if (auto* edit = qobject_cast<TfrmExtensionEdit*>(QApplication::activeModalWidget())) {
      action(edit);
      // A failed check returns early: close the dialog so that the test goes on and reports it.
      if (edit->isVisible()) edit->reject();
    } else {
      QTimer::singleShot(0, *attempt);
    }
  };
  QTimer::singleShot(0, *attempt);
}

}  // namespace

class FormExtensionsTest : public QObject {
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
    dir_.reset();
  }

  void fillsFromFileSkippingLinesWithoutGroup() {
    Put("1MP3 Files=\".mp3\",\".MP2\"\n\nno equals sign\r1=\".X\"\r\n0Video=\".avi\"\r\n");
    TfrmExtensions frm(nullptr);
    QCOMPARE(frm.windowTitle(), QStringLiteral("File Types"));
    QCOMPARE(frm.size(), QSize(489, 363));
    QCOMPARE(frm.property("HelpContext").toInt(), 2080);
    QCOMPARE(frm.Label1->text(), QStringLiteral("Please select the type of files you are interested in:"));
    auto* list = frm.lvExtensions;
    QCOMPARE(list->headerItem()->text(0), QStringLiteral("File Type"));
    QCOMPARE(list->headerItem()->text(1), QStringLiteral("Extensions"));
    QCOMPARE(list->columnWidth(0), 230);
    QCOMPARE(list->columnWidth(1), 200);
    QCOMPARE(list->topLevelItemCount(), 2);
    QCOMPARE(list->topLevelItem(0)->text(0), QStringLiteral("MP3 Files"));
    QCOMPARE(list->topLevelItem(0)->text(1), QStringLiteral("\".mp3\",\".MP2\""));
    QCOMPARE(list->topLevelItem(0)->checkState(0), Qt::Checked);
    QCOMPARE(list->topLevelItem(1)->checkState(0), Qt::Unchecked);
    QVERIFY(boxes_->Texts().isEmpty());
    QStringList captions;
    for (auto* button : {frm.cmdExtensionAdd, frm.cmdExtensionChange, frm.cmdExtensionRemove, frm.cmdSelectAll,
                         frm.cmdDeselectAll, frm.cmdOK, frm.cmdCancel, frm.cmdHelp}) {
      captions.append(button->text());
    }
    QCOMPARE(captions.join(QLatin1Char('|')),
             QStringLiteral("Add...|Change...|Remove|Select All|Deselect All|OK|Cancel|Help"));
    QVERIFY(frm.cmdOK->isDefault());

    // Change and Remove follow the selection.
    QVERIFY(!frm.cmdExtensionChange->isEnabled() && !frm.cmdExtensionRemove->isEnabled());
    list->setCurrentItem(list->topLevelItem(1));
    QVERIFY(frm.cmdExtensionChange->isEnabled() && frm.cmdExtensionRemove->isEnabled());
    list->clearSelection();
    QVERIFY(!frm.cmdExtensionChange->isEnabled() && !frm.cmdExtensionRemove->isEnabled());
  }

  void okWithNothingCheckedKeepsDialogAndFile() {
    const std::string original = "1MP3=\".mp3\"\r\n0Video=\".avi\"\r\n";
    Put(original);
    TfrmExtensions frm(nullptr);
    frm.show();
    QTest::mouseClick(frm.cmdDeselectAll, Qt::LeftButton);
    QTest::mouseClick(frm.cmdOK, Qt::LeftButton);
    QCOMPARE(boxes_->Texts(), QStringList{QStringLiteral("Error: Please select at least one file type.")});
    QVERIFY(frm.isVisible());
    QCOMPARE(frm.result(), 0);
    QCOMPARE(Get(), original);
    QTest::mouseClick(frm.cmdCancel, Qt::LeftButton);
    QCOMPARE(frm.result(), int(QDialog::Rejected));
    QCOMPARE(Get(), original);
  }

  void okWritesEveryRowInListOrder() {
    Put("0MP3=\".mp3\"\r\n0Video=\".avi\"\r\n1Lists=\".m3u\"\r\n");
    TfrmExtensions frm(nullptr);
    frm.show();
    QTest::mouseClick(frm.cmdSelectAll, Qt::LeftButton);
    frm.lvExtensions->topLevelItem(1)->setCheckState(0, Qt::Unchecked);
    frm.lvExtensions->setCurrentItem(frm.lvExtensions->topLevelItem(2));
    QTest::mouseClick(frm.cmdExtensionRemove, Qt::LeftButton);  // at once, no question
    QVERIFY(boxes_->Texts().isEmpty());
    QCOMPARE(frm.lvExtensions->topLevelItemCount(), 2);
    QTest::mouseClick(frm.cmdOK, Qt::LeftButton);
    QCOMPARE(frm.result(), int(QDialog::Accepted));
    QCOMPARE(Get(), std::string("1MP3=\".mp3\"\r\n0Video=\".avi\"\r\n"));
    QCOMPARE(ApplyFileTypes(), std::string("\".MP3\""));
  }

  void addValidatesAndAppendsUncheckedGroup() {
    Put("1MP3=\".mp3\"\r\n");
    TfrmExtensions frm(nullptr);
    frm.show();
    WhenEditDialogOpens([this](TfrmExtensionEdit* edit) {
      QCOMPARE(edit->windowTitle(), QStringLiteral("Edit"));
      QCOMPARE(edit->size(), QSize(296, 267));
      QCOMPARE(edit->property("HelpContext").toInt(), 2080);
      QCOMPARE(edit->findChild<QLabel*>(QStringLiteral("ediExtensionsNameLabel"))->text(),
               QStringLiteral("File Type Name:"));
      QCOMPARE(edit->Label1->text(), QStringLiteral("File Extension(s) (one extension on each line, starting "
                                                    "with the \".\" character):"));
      QVERIFY(edit->Label1->wordWrap());
      QVERIFY(edit->ediExtensionsName->text().isEmpty());
      QVERIFY(edit->memoExtensionsExtensions->toPlainText().isEmpty());
      QTest::mouseClick(edit->cmdOK, Qt::LeftButton);
      QCOMPARE(boxes_->Texts().value(0), QStringLiteral("Error: Please enter a value in the File Type Name field"));
      QCOMPARE(edit->focusWidget(), edit->ediExtensionsName);
      QTest::keyClicks(edit->ediExtensionsName, QStringLiteral("Lists=Playlists"));  // "=" is refused
      QTest::mouseClick(edit->cmdOK, Qt::LeftButton);
      QCOMPARE(boxes_->Texts().value(1), QStringLiteral("Error: Please enter a value in the File Extension(s) field"));
      QCOMPARE(edit->focusWidget(), edit->memoExtensionsExtensions);
      QVERIFY(edit->isVisible());
      edit->memoExtensionsExtensions->setPlainText(QStringLiteral(".m3u\n\n.PLS\n"));
      QTest::mouseClick(edit->cmdOK, Qt::LeftButton);
    });
    QTest::mouseClick(frm.cmdExtensionAdd, Qt::LeftButton);
    QCOMPARE(boxes_->Texts().size(), 2);
    QCOMPARE(frm.lvExtensions->topLevelItemCount(), 2);
    auto* added = frm.lvExtensions->topLevelItem(1);
    QCOMPARE(added->text(0), QStringLiteral("ListsPlaylists"));
    QCOMPARE(added->text(1), QStringLiteral("\".m3u\",\".PLS\""));
    QCOMPARE(added->checkState(0), Qt::Unchecked);
  }

  void memoOfEmptyLinesGivesEmptyExtensions() {
    Put("1MP3=\".mp3\"\r\n");
    TfrmExtensions frm(nullptr);
    frm.show();
    WhenEditDialogOpens([](TfrmExtensionEdit* edit) {
      edit->ediExtensionsName->setText(QStringLiteral("Nothing"));
      edit->memoExtensionsExtensions->setPlainText(QStringLiteral("\n\n"));
      QTest::mouseClick(edit->cmdOK, Qt::LeftButton);
    });
    QTest::mouseClick(frm.cmdExtensionAdd, Qt::LeftButton);
    QVERIFY(boxes_->Texts().isEmpty());
    QCOMPARE(frm.Groups().at(1).Extensions, std::string());
  }

  void changeRoundTripsExtensionsAndKeepsCheckBox() {
    Put("1MP3 Files=\".mp3\",\".MP2\"\r\n0Other=\".x\"\r\n");
    TfrmExtensions frm(nullptr);
    frm.show();
    frm.lvExtensions->setCurrentItem(frm.lvExtensions->topLevelItem(0));
    QString shown;
    WhenEditDialogOpens([&shown](TfrmExtensionEdit* edit) {
      shown = edit->ediExtensionsName->text() + QLatin1Char('|') + edit->memoExtensionsExtensions->toPlainText();
      QTest::mouseClick(edit->cmdOK, Qt::LeftButton);
    });
    QTest::mouseClick(frm.cmdExtensionChange, Qt::LeftButton);
    QCOMPARE(shown, QStringLiteral("MP3 Files|.mp3\n.MP2"));
    QCOMPARE(frm.lvExtensions->topLevelItem(0)->checkState(0), Qt::Checked);

    // Double-click changes the row too; Cancel leaves it alone.
    WhenEditDialogOpens([](TfrmExtensionEdit* edit) {
      edit->ediExtensionsName->setText(QStringLiteral("Renamed"));
      QTest::mouseClick(edit->cmdCancel, Qt::LeftButton);
    });
    Q_EMIT frm.lvExtensions->itemDoubleClicked(frm.lvExtensions->topLevelItem(0), 0);
    QCOMPARE(frm.lvExtensions->topLevelItem(0)->text(0), QStringLiteral("MP3 Files"));

    QTest::mouseClick(frm.cmdOK, Qt::LeftButton);
    QCOMPARE(Get(), std::string("1MP3 Files=\".mp3\",\".MP2\"\r\n0Other=\".x\"\r\n"));
  }

  void rowsKeepBytesThatAreNotUtf8() {
    const std::string original = "1Caf\xe9=\".mp\xff\"\r\n0B=\".b\"\r\n";
    Put(original);
    TfrmExtensions frm(nullptr);
    frm.show();
    frm.lvExtensions->setCurrentItem(frm.lvExtensions->topLevelItem(0));
    WhenEditDialogOpens([](TfrmExtensionEdit* edit) { QTest::mouseClick(edit->cmdOK, Qt::LeftButton); });
    QTest::mouseClick(frm.cmdExtensionChange, Qt::LeftButton);
    QTest::mouseClick(frm.cmdOK, Qt::LeftButton);
    QCOMPARE(Get(), original);
  }

  void missingFileIsReportedAndOkCreatesIt() {
    TfrmExtensions frm(nullptr);
    QCOMPARE(boxes_->Texts().size(), 1);
    QVERIFY(boxes_->Texts().at(0).startsWith(QStringLiteral("Corvantis Sonarvex: ")));
    QVERIFY(boxes_->Texts().at(0).contains(QStringLiteral("EXTENSIO.CFG")));
    QCOMPARE(frm.lvExtensions->topLevelItemCount(), 0);
    frm.show();
    WhenEditDialogOpens([](TfrmExtensionEdit* edit) {
      edit->ediExtensionsName->setText(QStringLiteral("MP3"));
      edit->memoExtensionsExtensions->setPlainText(QStringLiteral(".mp3"));
      QTest::mouseClick(edit->cmdOK, Qt::LeftButton);
    });
    QTest::mouseClick(frm.cmdExtensionAdd, Qt::LeftButton);
    frm.lvExtensions->topLevelItem(0)->setCheckState(0, Qt::Checked);
    QTest::mouseClick(frm.cmdOK, Qt::LeftButton);
    QCOMPARE(frm.result(), int(QDialog::Accepted));
    QCOMPARE(Get(), std::string("1MP3=\".mp3\"\r\n"));
  }

  void failedWriteKeepsDialogOpen() {
    SetProgramFolder(QStringToPath(dir_->path()) + "/missing-folder");
    TfrmExtensions frm(nullptr);
    frm.show();
    boxes_->Clear();
    WhenEditDialogOpens([](TfrmExtensionEdit* edit) {
      edit->ediExtensionsName->setText(QStringLiteral("MP3"));
      edit->memoExtensionsExtensions->setPlainText(QStringLiteral(".mp3"));
      QTest::mouseClick(edit->cmdOK, Qt::LeftButton);
    });
    QTest::mouseClick(frm.cmdExtensionAdd, Qt::LeftButton);
    QTest::mouseClick(frm.cmdSelectAll, Qt::LeftButton);
    QTest::mouseClick(frm.cmdOK, Qt::LeftButton);
    QCOMPARE(boxes_->Texts().size(), 1);
    QVERIFY(boxes_->Texts().at(0).contains(QStringLiteral("EXTENSIO.CFG")));
    QVERIFY(frm.isVisible());
    QCOMPARE(frm.result(), 0);
  }

 private:
  std::string File() const { return ProgramFile("EXTENSIO.CFG"); }
  void Put(const std::string& content) const { WriteFileAtomically(File(), content); }
  std::string Get() const { return ReadWholeFile(File()); }

  std::unique_ptr<QTemporaryDir> dir_;
  std::unique_ptr<TMessageRecorder> boxes_;
};

QTEST_MAIN(FormExtensionsTest)
#include "FormExtensionsTest.moc"

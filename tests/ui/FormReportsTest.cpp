#include "reports/FormReports.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "app/ByteString.h"
#include "app/UiPrompts.h"
#include "core/UnitGlobals.h"
#include "core/UnitTextFiles.h"
#include "info/FormMP3InfosConfig.h"
#include "info/UnitColumnConfig.h"
#include "scan/FormScanning.h"
#include "shell/TBrowserView.h"
#include "shell/TShellFolderTree.h"
#include "support/TMessageRecorder.h"

namespace {

void MakeFile(const std::string& path) {
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  std::ofstream(path) << "audio";
}

// Answers the next modal window of type T with `act`, as soon as it is shown.
template <typename T, typename F>
void WhenShown(F act) {
  auto* timer = new QTimer(qApp);
  timer->setInterval(0);
  QObject::connect(timer, &QTimer::timeout, timer, [timer, act] {
    if (auto* window = qobject_cast<T*>(QApplication::activeModalWidget())) {
      timer->deleteLater();
      timer->stop();
      act(window);
    }
  });
  timer->start();
}

}  // namespace

class FormReportsTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void init() {
    dir_ = std::make_unique<QTemporaryDir>();
    QVERIFY(dir_->isValid());
    SetProgramFolder(QStringToPath(dir_->filePath(QStringLiteral("program"))));
    std::filesystem::create_directories(ProgramFolder());
    ScanFilter = std::string(DefaultScanFilter);
    boxes_ = std::make_unique<TMessageRecorder>();
  }

  void cleanup() {
    boxes_.reset();
    dir_.reset();
  }

  void opensOnTheTypePageWithTheDefaultsAndSavesColumnsOnClose() {
    {
      TfrmReports frm(nullptr);
      QCOMPARE(frm.windowTitle(), QStringLiteral("Reports"));
      QCOMPARE(frm.property("HelpContext").toInt(), 2070);
      QCOMPARE(frm.Page(), 0);
      QCOMPARE(frm.cbReportType->count(), 5);
      QCOMPARE(frm.cbReportType->itemText(0), QStringLiteral("Short List (Only File Names)"));
      QCOMPARE(frm.cbReportType->itemText(4), QStringLiteral("Tab Delimited Report"));
      QCOMPARE(frm.cbReportType->currentIndex(), 2);
      QVERIFY(!frm.cmdBack->isEnabled());
      QVERIFY(frm.cmdNext->isEnabled());
      QCOMPARE(frm.cmdNext->text(), QStringLiteral("Next >"));
      QVERIFY(frm.cmdViewSample->isHidden());
      QCOMPARE(frm.txtReportPreFinish->text(),
               QStringLiteral("Corvantis Sonarvex has enough information to create the raport. Please "
                              "click the Finish button to start generating the report."));
      QCOMPARE(frm.ReportUsedInfoTypes().size(), 95U);
      QCOMPARE(frm.ReportUnusedInfoTypes().size(), 1U);
      frm.cmdClose->click();
    }
    TStringList used, unused;
    LoadColumnConfiguration(ProgramFile("Reports.itc"), used, unused);
    QCOMPARE(used.size(), 95U);
    QVERIFY(boxes_->Texts().isEmpty());
  }

  void targetsAreComparedByTheirBytesAndDriveTheButtons() {
    TfrmReports frm(nullptr);
    frm.cmdNextClick();
    QCOMPARE(frm.Page(), 1);
    QVERIFY(!frm.cmdAdd->isEnabled());
    QVERIFY(!frm.cmdNext->isEnabled() && !frm.cmdRemoveAll->isEnabled() && !frm.cmdRemove->isEnabled());
    for (const char* location : {"/srv/Music", "/srv/music", "/srv/Music", "/srv/Music/", ""})
      frm.AddReportTarget(location);
    QCOMPARE(frm.Targets(), (std::vector<std::string>{"/srv/Music", "/srv/music", "/srv/Music/"}));
    QVERIFY(frm.cmdNext->isEnabled() && frm.cmdRemoveAll->isEnabled() && !frm.cmdRemove->isEnabled());
    frm.lvSelectedTargets->topLevelItem(1)->setSelected(true);
    QVERIFY(frm.cmdRemove->isEnabled());
    frm.cmdRemoveClick();
    QCOMPARE(frm.Targets(), (std::vector<std::string>{"/srv/Music", "/srv/Music/"}));
    frm.cmdRemoveAllClick();
    QVERIFY(!frm.cmdNext->isEnabled() && !frm.cmdRemoveAll->isEnabled());

    // Add Custom hands its location to the same test.
    WhenShown<QDialog>([](QDialog* dialog) {
      auto* combo = dialog->findChild<QComboBox*>(QStringLiteral("cbCustomTargets"));
      combo->setEditText(QStringLiteral("/net/share"));
      dialog->findChild<QPushButton*>(QStringLiteral("cmdOK"))->click();
    });
    frm.cmdAddCustomClick();
    QCOMPARE(frm.Targets(), (std::vector<std::string>{"/net/share"}));
    QVERIFY(frm.cmdNext->isEnabled());

    // A folder of the tree can be added once it is selected.
    QVERIFY(frm.tvTargets->SelectPath(ProgramFolder()));
    QVERIFY(frm.cmdAdd->isEnabled());
    frm.cmdAddClick();
    QCOMPARE(frm.Targets().back(), ProgramFolder());
  }

  void optionsPanelsFollowTheTypeAndNavigationRules() {
    TfrmReports frm(nullptr);
    frm.AddReportTarget("/srv/a");
    const bool typeInfo[] = {false, true, true, true, true};
    const bool header[] = {true, true, true, false, false};
    for (int type = 0; type < 5; ++type) {
      frm.SetPage(0);
      frm.cbReportType->setCurrentIndex(type);
      frm.cmdNextClick();
      frm.cmdNextClick();
      QCOMPARE(frm.Page(), 2);
      QVERIFY(frm.cmdBack->isEnabled());
      QCOMPARE(!frm.panReportOptionsPageTypeOfInformation->isHidden(), typeInfo[type]);
      QCOMPARE(!frm.panReportOptionsPageReportHeader->isHidden(), header[type]);
    }
    const QStringList lines = frm.memoReportHeader->toPlainText().split(QLatin1Char('\n'));
    QCOMPARE(lines.value(0), QStringLiteral("Sonarvex Report"));
    QVERIFY(lines.value(4).startsWith(QStringLiteral("Generated on ")));
    QCOMPARE(lines.mid(6), (QStringList{QStringLiteral("Locations to audit:"), QStringLiteral("/srv/a")}));
    frm.cmdBackClick();
    QCOMPARE(frm.Page(), 1);
    frm.cmdNextClick();
    frm.cmdNextClick();
    QCOMPARE(frm.cmdNext->text(), QStringLiteral("Finish"));

    // Cancelling the column dialog keeps the columns; OK takes them over.
    const TStringList before = frm.ReportUsedInfoTypes();
    WhenShown<TfrmMP3InfosConfig>([](TfrmMP3InfosConfig* dialog) {
      dialog->cmdRemoveAllClick();
      dialog->reject();
    });
    frm.cmdInfoTypesClick();
    QCOMPARE(frm.ReportUsedInfoTypes(), before);
    WhenShown<TfrmMP3InfosConfig>([](TfrmMP3InfosConfig* dialog) {
      dialog->cmdRemoveAllClick();
      dialog->accept();
    });
    frm.cmdInfoTypesClick();
    QVERIFY(frm.ReportUsedInfoTypes().empty());
  }

  void generatesOverlappingLocationsAndShowsTheReport() {
    const std::string root = QStringToPath(dir_->filePath(QStringLiteral("music")));
    MakeFile(root + "/a.mp3");
    MakeFile(root + "/sub/b.MP3");
    MakeFile(root + "/sub/c.wav");
    TfrmReports frm(nullptr);
    frm.cbReportType->setCurrentIndex(3);
    frm.AddReportTarget(root);
    frm.AddReportTarget(root + "/sub");
    frm.SetPage(2);
    frm.SetPage(3);
    frm.cmdNextClick();
    QCOMPARE(frm.Page(), 4);
    QCOMPARE(frm.txtResultsPageReport->text(), QStringLiteral("Report:"));
    QCOMPARE(frm.cmdNext->text(), QStringLiteral("New report"));
    QVERIFY(!frm.cmdBack->isEnabled());
    QCOMPARE(frm.FoundReportFiles().size(), 3U);
    QCOMPARE(frm.FoundReportFiles()[2].Path, root + "/sub/b.MP3");
    QCOMPARE(CurrentScanPath, root + "/sub");
    QCOMPARE(frm.ReportFilePath(), ProgramFile("REPORT.TXT"));
    QCOMPARE(ReadTextLines(frm.ReportFilePath()).size(), 4U);
    QVERIFY(frm.webReports() != nullptr);
    QCOMPARE(frm.webReports()->Url(), QUrl::fromLocalFile(PathToQString(frm.ReportFilePath())));
    QVERIFY(!frm.panReportContainerBig->isHidden());

    // New report starts over with the same type and targets.
    frm.cmdNextClick();
    QCOMPARE(frm.Page(), 0);
    QCOMPARE(frm.cbReportType->currentIndex(), 3);
    QCOMPARE(frm.Targets().size(), 2U);
    QVERIFY(boxes_->Texts().isEmpty());
  }

  void cancelledFirstLocationGivesAPartialReport() {
    const std::string root = QStringToPath(dir_->filePath(QStringLiteral("music")));
    for (int i = 0; i < 30; ++i) MakeFile(root + "/f" + std::to_string(i) + "/s.mp3");
    MakeFile(root + "-2/other.mp3");
    TfrmReports frm(nullptr);
    frm.AddReportTarget(root);
    frm.AddReportTarget(root + "-2");
    frm.AddReportTarget(root + "-2");
    WhenShown<TfrmScanning>([](TfrmScanning* scanning) {
      scanning->findChild<QPushButton*>(QStringLiteral("cmdCancelScanning"))->click();
    });
    frm.SetPage(4);
    QCOMPARE(frm.txtResultsPageReport->text(), QStringLiteral("Partial Report (scanning was interrupted):"));
    QVERIFY(frm.FoundReportFiles().size() < 30U);
    for (const TFoundFile& file : frm.FoundReportFiles()) QVERIFY(file.Path.starts_with(root + "/f"));
    QCOMPARE(CurrentScanPath, root);
  }

  void reportThatCannotBeWrittenIsReportedAndNotShown() {
    std::filesystem::create_directories(ProgramFile("REPORT.HTM") + "/in-the-way");
    TfrmReports frm(nullptr);
    frm.SetPage(4);
    QCOMPARE(frm.cmdNext->text(), QStringLiteral("Finish"));
    QCOMPARE(boxes_->Requests.size(), 1);
    QCOMPARE(boxes_->Requests[0].Caption, QStringLiteral("Corvantis Sonarvex"));
    QVERIFY(frm.webReports() == nullptr);
    QVERIFY(!frm.panReportContainerBig->isHidden());
  }

  void unattendedMessagesGoToStandardErrorAndCount() {
    SetUnattended(true);
    ShowFailure(nullptr, QStringLiteral("Some settings could not be saved:\r\n\r\nMAIN.INI"));
    const bool confirmed = ConfirmAction(nullptr, QStringLiteral("Sure?"));
    const int failures = UnattendedFailureCount();
    const QString file = RunFileDialog(nullptr, {});
    SetUnattended(false);
    QVERIFY(!confirmed);
    QCOMPARE(failures, 2);
    QVERIFY(file.isEmpty());
    QVERIFY(boxes_->Texts().isEmpty());
  }

 private:
  std::unique_ptr<QTemporaryDir> dir_;
  std::unique_ptr<TMessageRecorder> boxes_;
};

QTEST_MAIN(FormReportsTest)
#include "FormReportsTest.moc"

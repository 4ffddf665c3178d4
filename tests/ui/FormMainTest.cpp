// The main window as a user meets it: start-up state, scans through the folder tree, Refresh,
// the desktop root, page switching, the Subfolders option, the Custom list and the command line.

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QHeaderView>
#include <QTableView>
#include <QTimer>
#include <QDialog>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QStackedWidget>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <QSplitter>
#include <QTextEdit>
#include <csignal>
#include <fstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "app/ByteString.h"
#include "app/FormMain.h"
#include "app/TSignalCloser.h"
#include "app/UiPrompts.h"
#include "app/UnitMainIni.h"
#include "core/UnitDataFolder.h"
#include "core/UnitGlobals.h"
#include "core/UnitTextFiles.h"
#include "help/HtmlHelp.h"
#include "help/HtmlHelpViewer.h"
#include "info/FormMP3InfosConfig.h"
#include "scan/FormSortProgress.h"
#include "scan/TMP3ListModel.h"
#include "scan/TMP3ListView.h"
#include "shell/TShellFolderTree.h"

namespace {

void Touch(const QString& path) { std::ofstream(QStringToPath(path)) << "x"; }

std::vector<std::string> FoundPaths() {
  std::vector<std::string> paths;
  for (const TFoundFile& f : FoundFileList) paths.push_back(f.Path);
  std::sort(paths.begin(), paths.end());
  return paths;
}

}  // namespace

class FormMainTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir programDir_;
  QTemporaryDir mediaDir_;
  QStringList questions_;
  TMsgResult answer_ = TMsgResult::Yes;

  std::string Media(const char* name = "") const {
    return QStringToPath(mediaDir_.path()) + (*name != '\0' ? "/" : "") + name;
  }

  // A started main window: created, shown and through its first activation.
  std::unique_ptr<TfrmMain> Start(std::vector<std::string> commandLine = {}) {
    auto window = std::make_unique<TfrmMain>(std::move(commandLine));
    window->show();
    window->activateWindow();
    if (!QTest::qWaitFor([&] { return window->FirstActivationDone(); }, 5000)) return nullptr;
    return window;
  }

  template <typename T>
  static T* Child(QObject* window, const char* name) {
    return window->findChild<T*>(QLatin1String(name));
  }

 private Q_SLOTS:
  void initTestCase() {
    QVERIFY(programDir_.isValid());
    QVERIFY(mediaDir_.isValid());
    SetMessageHook([this](const TMessageRequest& r) {
      questions_.append(r.Text);
      return answer_;
    });
    QDir media(mediaDir_.path());
    QVERIFY(media.mkpath(QStringLiteral("sub/deeper")));
    QVERIFY(media.mkpath(QStringLiteral("empty")));
    Touch(media.filePath(QStringLiteral("one.mp3")));
    Touch(media.filePath(QStringLiteral("Two.Mp3")));
    Touch(media.filePath(QStringLiteral("three.mp3.bak")));
    Touch(media.filePath(QStringLiteral("mp3")));
    Touch(media.filePath(QStringLiteral("sub/four.MP3")));
    Touch(media.filePath(QStringLiteral("sub/deeper/five.mp3")));
  }

  void init() {
    // Every case starts like a first run: no settings files.
    QDir dir(programDir_.path());
    for (const QString& f : dir.entryList(QDir::Files)) dir.remove(f);
    SetFolderWritableCheck(nullptr);
    SetProgramFolder(QStringToPath(programDir_.path()));
    // The search sites ship with the program; without them every start reports the missing file.
    WriteTextLines(ProgramFile("SEARCH.CFG"), {"Web=https://example.org/?q=THISISREPLACEDWITHACTUALTEXT"});
    FoundFileList.clear();
    CurrentScanPath.clear();
    questions_.clear();
    answer_ = TMsgResult::Yes;
  }

  void startsLikeAFirstRun() {
    auto w = Start();
    QVERIFY(w);
    QCOMPARE(w->windowTitle(), QStringLiteral("Corvantis Sonarvex"));
    QCOMPARE(w->size(), QSize(708, 506));
    QVERIFY(Child<QAction>(w.get(), "tbMP3Details")->isChecked());
    QVERIFY(Child<QAction>(w.get(), "mnuViewViewMP3Details")->isChecked());
    QVERIFY(Child<QAction>(w.get(), "mnuViewDetails")->isChecked());
    QVERIFY(!Child<QAction>(w.get(), "tbSubfolders")->isChecked());
    QVERIFY(!Child<QAction>(w.get(), "tbUpdates")->isVisible());
    QVERIFY(!Child<QAction>(w.get(), "tbSep")->isVisible());
    QCOMPARE(w->VisibleBottomPage(), 4);
    QVERIFY(Child<QLabel>(w.get(), "txtNOMP3")->text().startsWith(QStringLiteral("No MP3 files found.\r\n\r\n")));
    QCOMPARE(ScanFilter, std::string("\".MP3\""));
    QCOMPARE(UsedInfoTypes.size(), std::size_t(95));
    QCOMPARE(Child<QListWidget>(w.get(), "lvCustomTargets")->count(), 0);
    QCOMPARE(Child<QTabWidget>(w.get(), "pagesLeft")->tabText(0), QStringLiteral("Folders"));
    QCOMPARE(Child<QTabWidget>(w.get(), "pagesLeft")->tabText(1), QStringLiteral("Custom"));
    QCOMPARE(Child<QStackedWidget>(w.get(), "panClientBottom")->count(), 5);
    // Hints: the short part is the tooltip, the long part the status text.
    auto* subfolders = Child<QAction>(w.get(), "tbSubfolders");
    QCOMPARE(subfolders->toolTip(), QStringLiteral("Subfolders"));
    QCOMPARE(subfolders->statusTip(),
             QStringLiteral("Check this option to scan all the subfolders of the selected folder or drive."));
    QCOMPARE(Child<QAction>(w.get(), "cmdViewRefresh")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_R));

    // A long hint takes the whole status bar; an empty one brings the three panels back.
    auto* bar = w->statusBar();
    subfolders->showStatusText(w.get());
    QCOMPARE(bar->currentMessage(), subfolders->statusTip());
    QVERIFY(Child<QLabel>(w.get(), "sbStatusBarPanel0")->isHidden());
    QStatusTipEvent leave{QString()};
    QApplication::sendEvent(w.get(), &leave);
    QVERIFY(bar->currentMessage().isEmpty());
    QVERIFY(!Child<QLabel>(w.get(), "sbStatusBarPanel0")->isHidden());
  }

  void scansTheFolderChosenInTheTreeAndRefreshes() {
    auto w = Start();
    QVERIFY(w);
    auto* tree = Child<TShellFolderTree>(w.get(), "tvLeftFolders");
    QVERIFY(tree->SelectPath(Media()));
    QCOMPARE(FoundPaths(), (std::vector<std::string>{Media("Two.Mp3"), Media("one.mp3")}));
    QCOMPARE(w->windowTitle(), QStringLiteral("Corvantis Sonarvex - ") + PathToQString(Media()));
    QCOMPARE(w->ListRowCount(), 2);
    QCOMPARE(w->ListCurrentRow(), 0);
    QCOMPARE(w->VisibleBottomPage(), 0);  // the Details page, as the toggles say
    QVERIFY(Child<QLabel>(w.get(), "txtNOMP3")->text().startsWith(QStringLiteral("Please select an MP3 file.")));

    Touch(mediaDir_.filePath(QStringLiteral("six.mp3")));
    Child<QAction>(w.get(), "cmdViewRefresh")->trigger();
    QCOMPARE(w->ListRowCount(), 3);
    QFile::remove(mediaDir_.filePath(QStringLiteral("six.mp3")));

    // A folder without media files, and the desktop root, count no files.
    auto* count = Child<QLabel>(w.get(), "sbStatusBarPanel0");
    QCOMPARE(count->text(), QStringLiteral("3 file(s)"));
    QVERIFY(tree->SelectPath(Media("empty")));
    QCOMPARE(count->text(), QStringLiteral("0 file(s)"));
    Child<QAction>(w.get(), "cmdViewRefresh")->trigger();
    QVERIFY(tree->SelectPath(Media()));
    // The desktop root has no path: the list empties, the last path stays for Refresh.
    tree->setCurrentItem(tree->DesktopNode());
    QCOMPARE(count->text(), QStringLiteral("0 file(s)"));
    QCOMPARE(w->ListRowCount(), 0);
    QCOMPARE(w->windowTitle(), QStringLiteral("Corvantis Sonarvex"));
    QCOMPARE(w->VisibleBottomPage(), 4);
    QCOMPARE(CurrentScanPath, Media());
    Child<QAction>(w.get(), "cmdViewRefresh")->trigger();
    QCOMPARE(count->text(), QStringLiteral("2 file(s)"));
    QCOMPARE(w->ListRowCount(), 2);
  }

  void subfoldersOptionRescansRecursively() {
    auto w = Start();
    QVERIFY(w);
    QVERIFY(Child<TShellFolderTree>(w.get(), "tvLeftFolders")->SelectPath(Media()));
    QCOMPARE(w->ListRowCount(), 2);
    Child<QAction>(w.get(), "tbSubfolders")->trigger();
    QVERIFY(Child<QAction>(w.get(), "mnuFileScanSubfolders")->isChecked());
    QCOMPARE(w->ListRowCount(), 4);
    Child<QAction>(w.get(), "mnuFileScanSubfolders")->trigger();
    QVERIFY(!Child<QAction>(w.get(), "tbSubfolders")->isChecked());
    QCOMPARE(w->ListRowCount(), 2);
  }

  void pageSwitchingFollowsTheCurrentRow() {
    auto w = Start();
    QVERIFY(w);
    // Empty list: the toggles move, the no-files page stays.
    Child<QAction>(w.get(), "tbDestroy")->trigger();
    QVERIFY(Child<QAction>(w.get(), "tbDestroy")->isChecked());
    QVERIFY(Child<QAction>(w.get(), "mnuViewDeleteDestroy")->isChecked());
    QVERIFY(!Child<QAction>(w.get(), "tbMP3Details")->isChecked());
    QCOMPARE(w->VisibleBottomPage(), 4);
    Child<QAction>(w.get(), "mnuViewSearch")->trigger();
    QVERIFY(Child<QAction>(w.get(), "tbSearch")->isChecked());
    QCOMPARE(w->VisibleBottomPage(), 4);

    // With a row, the chosen page shows; a scan that ends with Actions down shows Actions.
    QVERIFY(Child<TShellFolderTree>(w.get(), "tvLeftFolders")->SelectPath(Media()));
    QCOMPARE(w->VisibleBottomPage(), 1);
    Child<QAction>(w.get(), "tbDestroy")->trigger();
    QCOMPARE(w->VisibleBottomPage(), 3);
    QCOMPARE(Child<QPushButton>(w.get(), "cmdDelete")->isEnabled(), false);
    Child<QPushButton>(w.get(), "cmdDestroySelectAll")->click();
    QVERIFY(Child<QPushButton>(w.get(), "cmdDestroy")->isEnabled());
    QVERIFY(Child<QPushButton>(w.get(), "cmdCopy")->isEnabled());
    QCOMPARE(Child<QLabel>(w.get(), "sbStatusBarPanel0")->text(),
             QStringLiteral("2 file(s), 2 selected for deletion/destruction"));
    Child<QAction>(w.get(), "cmdViewRefresh")->trigger();
    QCOMPARE(w->VisibleBottomPage(), 3);
    QCOMPARE(Child<QLabel>(w.get(), "sbStatusBarPanel0")->text(),
             QStringLiteral("2 file(s), 0 selected for deletion/destruction"));
    QVERIFY(!Child<QPushButton>(w.get(), "cmdMove")->isEnabled());
  }

  void headerClicksSortAndClearTheMarks() {
    auto w = Start();
    QVERIFY(w);
    QVERIFY(Child<TShellFolderTree>(w.get(), "tvLeftFolders")->SelectPath(Media()));
    auto* list = Child<TMP3ListView>(w.get(), "lvMP3s");
    // Sorted by the first column (Name), ascending, letter case ignored.
    QCOMPARE(list->Model()->CaptionOfRow(0), QStringLiteral("one.mp3"));
    QHeaderView* header = list->DetailsView()->horizontalHeader();
    auto clickColumn = [header](int column) {
      QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                        QPoint(header->sectionViewportPosition(column) + 5, header->height() / 2));
    };
    clickColumn(0);
    QCOMPARE(list->Model()->CaptionOfRow(0), QStringLiteral("Two.Mp3"));
    clickColumn(0);
    QCOMPARE(list->Model()->CaptionOfRow(0), QStringLiteral("one.mp3"));

    // The selection stays on the file, wherever the sort puts it; the pages are left alone.
    w->findChild<QTableView*>()->selectRow(1);
    const QString details = Child<QTextEdit>(w.get(), "rtfMP3Details")->toPlainText();
    QVERIFY(details.contains(QStringLiteral("Two.Mp3")));
    clickColumn(0);
    QCOMPARE(w->ListCurrentRow(), 0);
    QCOMPARE(list->Model()->PathOfRow(list->SelectedRow()), Media("Two.Mp3"));
    QCOMPARE(Child<QTextEdit>(w.get(), "rtfMP3Details")->toPlainText(), details);
    clickColumn(0);
    QCOMPARE(list->Model()->PathOfRow(w->ListCurrentRow()), Media("Two.Mp3"));

    // A sort that reads the tags shows its progress under the busy cursor; Cancel keeps the order.
    const auto titleColumn = static_cast<int>(
        std::find_if(UsedInfoTypes.begin(), UsedInfoTypes.end(), [](const std::string& e) { return e[0] != '0'; }) -
        UsedInfoTypes.begin());
    TfrmSortProgress::SetDefaultShowDelay(0);
    bool sawProgress = false;
    QTimer::singleShot(0, this, [&sawProgress] {
      auto* progress = qobject_cast<TfrmSortProgress*>(QApplication::activeModalWidget());
      QVERIFY(progress != nullptr && progress->isVisible());
      QVERIFY(QApplication::overrideCursor() != nullptr && QApplication::overrideCursor()->shape() == Qt::WaitCursor);
      sawProgress = true;
      progress->findChild<QPushButton*>(QStringLiteral("cmdCancelSorting"))->click();
    });
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(titleColumn) + 5, header->height() / 2));
    TfrmSortProgress::SetDefaultShowDelay(TfrmSortProgress::DefaultShowDelayMs);
    QVERIFY(sawProgress);
    QVERIFY(QApplication::overrideCursor() == nullptr);
    QCOMPARE(list->Model()->CaptionOfRow(0), QStringLiteral("one.mp3"));
    QCOMPARE(list->Model()->PathOfRow(w->ListCurrentRow()), Media("Two.Mp3"));
    clickColumn(0);  // still sorted by the first column, ascending: this click turns it round
    QCOMPARE(list->Model()->CaptionOfRow(0), QStringLiteral("Two.Mp3"));
    clickColumn(0);

    // On the Actions page a sort clears every mark and disables the actions.
    Child<QAction>(w.get(), "tbDestroy")->trigger();
    Child<QPushButton>(w.get(), "cmdDestroySelectAll")->click();
    QVERIFY(Child<QPushButton>(w.get(), "cmdDelete")->isEnabled());
    clickColumn(2);
    QCOMPARE(FoundFileList[0].Checked + FoundFileList[1].Checked, 0);
    QVERIFY(!Child<QPushButton>(w.get(), "cmdDelete")->isEnabled());
    QCOMPARE(Child<QLabel>(w.get(), "sbStatusBarPanel0")->text(),
             QStringLiteral("2 file(s), 0 selected for deletion/destruction"));
    // Only the Details style while Actions is down.
    QCOMPARE(w->ViewStyle(), TViewStyle::Details);
    Child<QMenu>(w.get(), "mnuView")->popup(QPoint(0, 0));
    QVERIFY(!Child<QAction>(w.get(), "mnuViewIcons")->isEnabled());
    QVERIFY(Child<QAction>(w.get(), "mnuViewChooseDetails")->isEnabled());
    Child<QMenu>(w.get(), "mnuView")->close();
  }

  void acceptedColumnsRebuildTheListFromARescan() {
    auto w = Start();
    QVERIFY(w);
    QVERIFY(Child<TShellFolderTree>(w.get(), "tvLeftFolders")->SelectPath(Media()));
    auto* list = Child<TMP3ListView>(w.get(), "lvMP3s");
    // Sorted by the second column, descending; new columns sort by the first again, ascending.
    QHeaderView* header = list->DetailsView()->horizontalHeader();
    for (int i = 0; i < 2; ++i)
      QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                        QPoint(header->sectionViewportPosition(1) + 5, header->height() / 2));
    QTimer::singleShot(0, this, [] {
      auto* dialog = qobject_cast<TfrmMP3InfosConfig*>(QApplication::activeModalWidget());
      QVERIFY(dialog != nullptr);
      dialog->Fill({"0NAM=Name", "0SIZ=Size"}, {});
      dialog->accept();
    });
    Child<QAction>(w.get(), "mnuViewChooseDetails")->trigger();
    QCOMPARE(list->Model()->CaptionOfRow(0), QStringLiteral("one.mp3"));
    // Keep only "Size": the list then shows one column and is still sorted and filled.
    QTimer::singleShot(0, this, [] {
      auto* dialog = qobject_cast<TfrmMP3InfosConfig*>(QApplication::activeModalWidget());
      QVERIFY(dialog != nullptr);
      dialog->Fill({"0SIZ=Size"}, {"0NAM=Name"});
      dialog->accept();
    });
    Child<QAction>(w.get(), "mnuViewChooseDetails")->trigger();
    QCOMPARE(UsedInfoTypes, (TStringList{"0SIZ=Size"}));
    QCOMPARE(list->Model()->columnCount(), 1);
    QCOMPARE(w->ListRowCount(), 2);

    // No used column at all: rows stay in scan order with empty captions, and nothing breaks.
    QTimer::singleShot(0, this, [] {
      auto* dialog = qobject_cast<TfrmMP3InfosConfig*>(QApplication::activeModalWidget());
      QVERIFY(dialog != nullptr);
      dialog->Fill({}, {"0SIZ=Size", "0NAM=Name"});
      dialog->accept();
    });
    Child<QAction>(w.get(), "mnuViewChooseDetails")->trigger();
    QVERIFY(UsedInfoTypes.empty());
    QCOMPARE(w->ListRowCount(), 2);
    QCOMPARE(list->Model()->CaptionOfRow(0), QString());
    w->close();
    QCOMPARE(ReadWholeFile(ProgramFile("Default.itc")).rfind("USED\r\nNOTUSED\r\n0SIZ=Size\r\n", 0), std::size_t(0));
    FillDefaultCatalogue(UsedInfoTypes, UnusedInfoTypes);
  }

  void viewTogglesShowAndHideTheBars() {
    auto w = Start();
    QVERIFY(w);
    Child<QAction>(w.get(), "mnuViewToolbar")->trigger();
    QVERIFY(!Child<QToolBar>(w.get(), "toolbarMain")->isVisible());
    Child<QAction>(w.get(), "mnuViewExplorerBar")->trigger();
    QVERIFY(!Child<QWidget>(w.get(), "panClientLeft")->isVisible());
    Child<QAction>(w.get(), "mnuViewToolbar")->trigger();
    QVERIFY(Child<QToolBar>(w.get(), "toolbarMain")->isVisible());
  }

  void scanKeywordAddsAndScansACustomLocation() {
    auto w = Start({"/scan", Media(), "/SUBFOLDERS"});
    QVERIFY(w);
    auto* custom = Child<QListWidget>(w.get(), "lvCustomTargets");
    QCOMPARE(custom->count(), 1);
    QCOMPARE(Child<QTabWidget>(w.get(), "pagesLeft")->currentIndex(), 1);
    QVERIFY(Child<QAction>(w.get(), "tbSubfolders")->isChecked());
    QCOMPARE(w->ListRowCount(), 4);
    // The same bytes select the item; another letter case or a trailing separator is another
    // location (file names are case-sensitive).
    QVERIFY(w->AddAndScanLocation(Media()));
    QCOMPARE(custom->count(), 1);
    QVERIFY(w->AddAndScanLocation(UpperCaseAscii(Media())));
    QCOMPARE(custom->count(), 2);
    QVERIFY(w->AddAndScanLocation(Media() + "/"));
    QCOMPARE(custom->count(), 3);
    QCOMPARE(custom->currentRow(), 2);

    w->close();
    const auto lines = ReadTextLines(ProgramFile("CUSTTARG.CFG"));
    QCOMPARE(lines, (std::vector<std::string>{Media(), UpperCaseAscii(Media()), Media() + "/"}));
    const std::string ini = ReadWholeFile(ProgramFile("MAIN.INI"));
    QVERIFY(ini.find("SUBFOLDERS=1\r\n") != std::string::npos);

    // A restart shows the same locations in the same order.
    auto again = Start();
    QVERIFY(again);
    QCOMPARE(Child<QListWidget>(again.get(), "lvCustomTargets")->count(), 3);
    QVERIFY(Child<QAction>(again.get(), "tbSubfolders")->isChecked());
  }

  void relativeScanPathIsStoredAbsolute() {
    const QString before = QDir::currentPath();
    QVERIFY(QDir::setCurrent(mediaDir_.path()));
    auto w = Start({"/SCAN", "./sub", "/NOSUBFOLDERS"});
    QDir::setCurrent(before);
    QVERIFY(w);
    auto* custom = Child<QListWidget>(w.get(), "lvCustomTargets");
    QCOMPARE(custom->count(), 1);
    QCOMPARE(QStringToPath(custom->item(0)->text()), Media("sub"));
    QCOMPARE(CurrentScanPath, Media("sub"));
    QCOMPARE(w->ListRowCount(), 1);
  }

  void unreadableSettingsAreLeftUnchangedAtClose() {
    // An oversized list and a MAIN.INI that is a FIFO exist but cannot be read: the window runs
    // on defaults, and closing keeps both and says so once; Default.itc is written as usual.
    const std::string big = "/kept\r\n" + std::string(MaxTextFileSize, 'x');
    WriteFileAtomically(ProgramFile("CUSTTARG.CFG"), big);
    QVERIFY(::mkfifo(MainIniFile().c_str(), 0600) == 0);
    auto w = Start();
    QVERIFY(w);
    QCOMPARE(Child<QListWidget>(w.get(), "lvCustomTargets")->count(), 0);
    w->AddAndScanLocation(Media());
    w->close();
    struct stat st {};
    const bool fifoKept = ::lstat(MainIniFile().c_str(), &st) == 0 && S_ISFIFO(st.st_mode);
    ::unlink(MainIniFile().c_str());
    QVERIFY(fifoKept);
    QVERIFY(ReadWholeFile(ProgramFile("CUSTTARG.CFG"), big.size()) == big);
    QVERIFY(ReadWholeFile(ProgramFile("Default.itc")).starts_with("USED\r\n"));
    QCOMPARE(questions_.size(), 1);
    QVERIFY(questions_[0].contains(PathToQString(MainIniFile())));
    QVERIFY(questions_[0].contains(PathToQString(ProgramFile("CUSTTARG.CFG"))));
    QCOMPARE(questions_[0].count(QStringLiteral("was left unchanged")), 2);
  }

  void removingAndClearingAskFirst() {
    WriteTextLines(ProgramFile("CUSTTARG.CFG"), {Media(), Media("sub")});
    auto w = Start();
    QVERIFY(w);
    auto* custom = Child<QListWidget>(w.get(), "lvCustomTargets");
    QCOMPARE(custom->count(), 2);
    custom->setCurrentRow(1);
    QCOMPARE(CurrentScanPath, Media("sub"));

    answer_ = TMsgResult::No;
    Child<QPushButton>(w.get(), "cmdCustomTargetsRemove")->click();
    QCOMPARE(custom->count(), 2);
    QCOMPARE(questions_.last(), QStringLiteral("Are you sure you want to remove the selected path from the list "
                                               "of custom scan locations?"));
    answer_ = TMsgResult::Yes;
    Child<QPushButton>(w.get(), "cmdCustomTargetsRemove")->click();
    QCOMPARE(custom->count(), 1);
    QCOMPARE(CurrentScanPath, Media());  // the item that became current is scanned

    Child<QTabWidget>(w.get(), "pagesLeft")->setCurrentIndex(1);
    Child<QPushButton>(w.get(), "cmdCustomTargetsRemoveAll")->click();
    QCOMPARE(questions_.last(), QStringLiteral("Are you sure you want to clear the list of custom scan locations?"));
    QCOMPARE(custom->count(), 0);
    QCOMPARE(w->ListRowCount(), 0);
    QCOMPARE(w->VisibleBottomPage(), 4);
  }

  void panesKeepTheListUsableAndTheExplorerWidthSurvivesHiding() {
    WriteFileAtomically(ProgramFile("MAIN.INI"), "[MAINWINDOW]\r\nEXPLORERWIDTH=5000\r\nPAGESHEIGHT=5000\r\n");
    WriteTextLines(ProgramFile("CUSTTARG.CFG"), {Media(), Media("gone")});
    auto w = Start();
    QVERIFY(w);
    auto* list = Child<TMP3ListView>(w.get(), "lvMP3s");
    auto* left = Child<QWidget>(w.get(), "panClientLeft");
    auto listKeepsItsRoom = [&] {
      return list->height() >= 100 && list->width() >= 100 && left->width() >= 120;
    };
    QVERIFY(listKeepsItsRoom());
    // Sizes made in a maximised window are cut down when it is restored.
    w->showMaximized();
    QVERIFY(QTest::qWaitFor([&] { return w->isMaximized(); }, 2000));
    auto* bottom = Child<QSplitter>(w.get(), "splitClientBottom");
    bottom->setSizes({10, bottom->height() - 10});
    w->showNormal();
    QVERIFY(QTest::qWaitFor(listKeepsItsRoom, 2000));

    // Hidden, the Explorer Bar keeps (and saves) the width it had.
    Child<QSplitter>(w.get(), "splitLeftClient")->setSizes({150, 400});
    Child<QAction>(w.get(), "mnuViewExplorerBar")->trigger();
    w->close();
    QVERIFY(ReadWholeFile(ProgramFile("MAIN.INI")).find("EXPLORERWIDTH=150\r\n") != std::string::npos);

    // Custom locations, there or not, have one height and the folder icon.
    auto* custom = Child<QListWidget>(w.get(), "lvCustomTargets");
    QCOMPARE(custom->count(), 2);
    for (int i = 0; i < 2; ++i) QVERIFY(!custom->item(i)->icon().pixmap(16).isNull());
  }

  void menusF1HelpAndHelpClosesWithTheWindow() {
    for (const char* name : {"SONARVEX.qhc", "SONARVEX.qch"})
      QVERIFY(QFile::copy(QStringLiteral(SONARVEX_PROGRAM_DIR "/") + QLatin1String(name),
                          programDir_.filePath(QLatin1String(name))));
    auto w = Start();
    QVERIFY(w);
    auto* menu = Child<QMenu>(w.get(), "mnuFile");
    menu->popup(QPoint(10, 10));
    QVERIFY(QTest::qWaitFor([&] { return menu->isVisible(); }, 2000));
    QTest::keyClick(menu, Qt::Key_F1);
    QVERIFY(!menu->isVisible());
    QVERIFY(HelpViewerWindow() != nullptr && HelpViewerWindow()->isVisible());
    QCOMPARE(HelpViewerWindow()->CurrentTopic().fileName(), QStringLiteral("mainwindow.html"));
    w->close();
    QVERIFY(HelpViewerWindow() == nullptr);
    QVERIFY(QFile::exists(programDir_.filePath(QStringLiteral("MAIN.INI"))));
  }

  void terminationSignalsCloseTheWindowNormally() {
    auto w = Start();
    QVERIFY(w);
    auto* closer = new TSignalCloser(w.get());
    // An open dialog is cancelled first: nobody may be there to answer it.
    QDialog dialog(w.get());
    QTimer::singleShot(0, this, [] { ::raise(SIGTERM); });
    QCOMPARE(dialog.exec(), int(QDialog::Rejected));
    QVERIFY(QTest::qWaitFor([&] { return !w->isVisible(); }, 5000));
    QVERIFY(QFile::exists(programDir_.filePath(QStringLiteral("MAIN.INI"))));
    QVERIFY(QFile::exists(programDir_.filePath(QStringLiteral("CUSTTARG.CFG"))));
    delete closer;

    // A second signal does not wait for the orderly close.
    const pid_t child = ::fork();
    if (child == 0) {
      TSignalCloser::InstallHandlers();
      ::raise(SIGINT);
      ::raise(SIGINT);
      ::_exit(0);
    }
    int status = 0;
    QCOMPARE(::waitpid(child, &status, 0), child);
    QVERIFY(WIFEXITED(status));
    QCOMPARE(WEXITSTATUS(status), 128 + SIGINT);
  }

  void windowSettingsComeBack() {
    WriteFileAtomically(ProgramFile("MAIN.INI"),
                        "[MAINWINDOW]\r\nWINDOWSTATE=5\r\nLISTVIEWSTYLE=0\r\nTOOLBAR=0\r\nSUBFOLDERS=0x1\r\n");
    auto w = Start();
    QVERIFY(w);
    QVERIFY(!w->isMaximized());
    QCOMPARE(w->ViewStyle(), TViewStyle::Icons);
    QVERIFY(Child<QAction>(w.get(), "mnuViewIcons")->isChecked());
    QVERIFY(!Child<QAction>(w.get(), "mnuViewToolbar")->isChecked());
    QVERIFY(Child<QAction>(w.get(), "tbSubfolders")->isChecked());
    w->showMaximized();
    w->close();
    const std::string ini = ReadWholeFile(ProgramFile("MAIN.INI"));
    QVERIFY(ini.find("WINDOWSTATE=2\r\n") != std::string::npos);
    QVERIFY(ini.find("LISTVIEWSTYLE=0\r\n") != std::string::npos);
    QVERIFY(ini.find("TOOLBAR=0\r\n") != std::string::npos);
    QVERIFY(ini.find("LEFT=") == std::string::npos);
  }

  // An installed copy the user may not write to: the shipped file types are read from the
  // program folder, and every file written at close goes to the private per-user folder.
  void readOnlyProgramFolderKeepsTheUsersFilesInTheirOwnFolder() {
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
    qunsetenv("SONARVEX_DATA_DIR");
    WriteTextLines(ProgramFile("EXTENSIO.CFG"), {"0MP3 Files=\".mp3\"", "1Backups=\".bak\""});
    SetFolderWritableCheck([](const std::string&) { return false; });
    const std::string user = DecideDataFolder();
    qunsetenv("XDG_CONFIG_HOME");
    QCOMPARE(user, QStringToPath(config.path()) + "/sonarvex");
    auto w = Start();
    QVERIFY(w);
    QCOMPARE(ScanFilter, std::string("\".BAK\""));
    w->close();
    QCOMPARE(QDir(programDir_.path()).entryList(QDir::Files, QDir::Name),
             (QStringList{QStringLiteral("EXTENSIO.CFG"), QStringLiteral("SEARCH.CFG")}));
    QCOMPARE(QDir(PathToQString(user)).entryList(QDir::Files, QDir::Name),
             (QStringList{QStringLiteral("CUSTTARG.CFG"), QStringLiteral("Default.itc"), QStringLiteral("MAIN.INI")}));
  }
};

QTEST_MAIN(FormMainTest)
#include "FormMainTest.moc"

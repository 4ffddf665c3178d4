#pragma once
// The main window: the program's frame, state and command handlers. It lives from start to end;
// every other window is a dialog created for one use.

#include <QMainWindow>
#include <array>
#include <memory>
#include <string>
#include <vector>

#include "app/UnitCommandLine.h"
#include "core/UnitKeptFiles.h"
#include "info/UnitFileFormat.h"
#include "scan/UnitFileList.h"

class QAction;
class QActionGroup;
class QLabel;
class QListWidget;
class QListWidgetItem;
class QMenu;
class QPushButton;
class QSplitter;
class QStackedWidget;
class QTabWidget;
class QToolBar;
class QTreeWidgetItem;
class TID3Engine;
class TMP3ListModel;
class TMP3ListView;
class TMediaPlayerPage;
class TSearchPage;
class TShellFolderTree;
class TStatusProgressPanel;
class TPaneLimits;
class TDetailsView;
class TFileShellActions;

// Bottom pages of the notebook, by index.
enum TBottomPage : int { pageDetails = 0, pageVarnel = 1, pageMediaPlayer = 2, pageDestroy = 3, pageNoMP3 = 4 };
// View styles of the file list, in the order of the View menu and of MAIN.INI.
enum class TViewStyle : int { Icons = 0, SmallIcons = 1, List = 2, Details = 3 };

class TfrmMain : public QMainWindow {
  Q_OBJECT

 public:
  // commandLine: the parameters after the program name.
  explicit TfrmMain(std::vector<std::string> commandLine = {}, QWidget* parent = nullptr);
  ~TfrmMain() override;

  // The scan of one folder; an empty path clears the list.
  void ScanFolder(const std::string& path);
  // Left tab change handler: scans the selection of the visible left tab.
  void pagesLeftChange();
  void tbSubfoldersClick();
  void cmdViewRefreshClick();
  // Page switching for the four page toggles (tag 0 to 3).
  void tbMP3DetailsClick(int tag);
  void SetViewStyle(TViewStyle style);

  bool SubfoldersOption() const;
  void SetSubfoldersOption(bool on);
  int VisibleBottomPage() const;
  int ListRowCount() const;
  int ListCurrentRow() const;
  TViewStyle ViewStyle() const { return viewStyle_; }

  // Writes the file count into status bar panel 0.
  void UpdateFileCount();
  // Counts the checked files, shows the count in panel 0 and applies the action buttons' rule.
  int CountCheckedFiles();

  // Adds the location to the Custom list (or selects it) and scans it; an empty path asks the
  // user. False when the user cancelled the dialog.
  bool AddAndScanLocation(const std::string& path);

  // Whether the first activation (settings, first scan, command line) has run.
  bool FirstActivationDone() const { return startedUp_; }
  // Exit status for the process: non-zero when an unattended run could not do its work.
  int ExitStatus() const { return exitStatus_; }

 protected:
  bool event(QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void FormCreate();
  void FormActivate();
  void RunFirstActivation();
  void FormClose();
  void ApplyWindowSettings();
  void SaveWindowSettings();
  void LoadCustomLocations();
  void SaveCustomLocations();
  void AddCustomItem(const std::string& path);
  static std::string CustomItemPath(const QListWidgetItem* item);
  void lvCustomTargetsSelectItem();
  void cmdCustomTargetsRemoveClick();
  void cmdCustomTargetsRemoveAllClick();
  void cmdFileScanClick();
  void ShowCustomTab();
  void lvMP3sColumnClick(int column);
  void BuildColumns();
  void BuildDetails(const std::string& path);
  void popMP3ListColumnsConfigurationClick();
  void cmdViewFileTypesClick();
  void cmdHelpAboutClick();
  void CreateActions();
  void CreateMenus();
  void CreateToolbar();
  void CreateCentralArea();
  QWidget* CreateActionsPage();
  void CreateStatusBar();
  void ShowBottomPage(int index);
  void ProcessCommandLine();
  void ClosePlayer();
  void LoadSearchSites();
  void PrepareSearchAndPlayer(int row);
  void ClearListRows();
  void SetListRowCount(int count);
  void SelectListRow(int row);
  TSortResult SortFoundFiles();
  void ApplyActionButtonsRule(int checkedCount);
  void SetFileCountText(const QString& text);

  void tvLeftFoldersChange();
  void lvMP3sSelectItem(bool selected);
  void FollowFileAfterSort(int formerRow, const std::vector<std::size_t>& formerIndex);
  void OnVisiblePageChanged(int index);
  void cmdDestroySelectAllClick(int tag);
  // File actions (FormMainActions.cpp); tag 0 Delete or Copy, 1 Destroy or Move.
  void cmdDeleteClick(int tag);
  void cmdCopyClick(int tag);
  void mnuViewToolbarClick();
  void mnuViewStatusBarClick();
  void mnuViewExplorerBarClick();
  int ExplorerWidth() const;
  void SetExplorerWidth(int width);
  void ViewMenuAboutToShow();

  std::vector<std::string> commandLine_;
  TLocaleFormat localeFormat_;
  std::unique_ptr<TID3Engine> ID3Engine1;
  TRowCache RowCache;
  // Kept files that existed at start but could not be read: not written at close.
  TUnreadableKeptFiles unreadableKeptFiles_;
  bool activated_ = false;
  bool shownOnce_ = false;
  bool startedUp_ = false;
  bool rowsBeingCleared_ = false;
  // Set while the selection moves to the row a file went to in a sort: the pages stay as they are.
  bool followingSort_ = false;
  int exitStatus_ = 0;
  int sortColumn_ = 0;
  bool sortAscending_ = true;
  TViewStyle viewStyle_ = TViewStyle::Details;
  // The Explorer Bar's width while it is hidden (and the one it comes back with).
  int explorerWidth_ = 177;
  TPaneLimits* paneLimits_ = nullptr;

  // Toolbar
  QToolBar* toolbarMain = nullptr;
  QAction* tbSubfolders = nullptr;
  QAction* tbMP3Details = nullptr;
  QAction* tbSearch = nullptr;
  QAction* tbPlay = nullptr;
  QAction* tbDestroy = nullptr;
  QAction* tbReports = nullptr;
  QAction* tbFileTypes = nullptr;
  QAction* tbSep = nullptr;
  QAction* tbUpdates = nullptr;
  QActionGroup* pageToggleGroup_ = nullptr;
  std::array<QAction*, 4> pageToggles_{};

  // Menus
  QMenu* mnuFile = nullptr;
  QMenu* mnuView = nullptr;
  QMenu* mnuHelp = nullptr;
  QAction* cmdFileScan = nullptr;
  QAction* mnuFileScanSubfolders = nullptr;
  QAction* mnuFileReports = nullptr;
  QAction* mnuFileExit = nullptr;
  QAction* mnuViewViewMP3Details = nullptr;
  QAction* mnuViewSearch = nullptr;
  QAction* mnuViewPlayMP3 = nullptr;
  QAction* mnuViewDeleteDestroy = nullptr;
  std::array<QAction*, 4> pageItems_{};
  QAction* mnuViewIcons = nullptr;
  QAction* mnuViewSmallIcons = nullptr;
  QAction* mnuViewList = nullptr;
  QAction* mnuViewDetails = nullptr;
  std::array<QAction*, 4> viewStyleItems_{};
  QAction* mnuViewChooseDetails = nullptr;
  QAction* mnuViewToolbar = nullptr;
  QAction* mnuViewStatusBar = nullptr;
  QAction* mnuViewExplorerBar = nullptr;
  QAction* cmdViewFileTypes = nullptr;
  QAction* cmdViewRefresh = nullptr;
  QAction* cmdHelpTopics = nullptr;
  QAction* cmdHelpAbout = nullptr;

  // Panes
  QSplitter* splitLeftClient = nullptr;
  QSplitter* splitClientBottom = nullptr;
  QWidget* panClientLeft = nullptr;
  QTabWidget* pagesLeft = nullptr;
  TShellFolderTree* tvLeftFolders = nullptr;
  QListWidget* lvCustomTargets = nullptr;
  QPushButton* cmdCustomTargetsRemove = nullptr;
  QPushButton* cmdCustomTargetsRemoveAll = nullptr;
  QPushButton* cmdCustomTargetsAdd = nullptr;
  TMP3ListModel* listModel_ = nullptr;
  TMP3ListView* lvMP3s = nullptr;
  QStackedWidget* panClientBottom = nullptr;
  TDetailsView* rtfMP3Details = nullptr;
  QMenu* PopupMP3ListColumns = nullptr;
  TFileShellActions* shellActions_ = nullptr;
  std::string CurrentTitle;
  std::string CurrentArtist;
  QLabel* txtNOMP3 = nullptr;
  TSearchPage* panSearch = nullptr;
  TMediaPlayerPage* panPlayer = nullptr;

  // Actions page
  QTabWidget* PageControl1 = nullptr;
  QLabel* txtSelectDeselectAllPageAbout = nullptr;
  QLabel* txtCopyMovePageAbout = nullptr;
  QLabel* txtDeleteDestroyPageAbout = nullptr;
  QPushButton* cmdDestroySelectAll = nullptr;
  QPushButton* cmdDestroyDeselectAll = nullptr;
  QPushButton* cmdCopy = nullptr;
  QPushButton* cmdMove = nullptr;
  QPushButton* cmdDelete = nullptr;
  QPushButton* cmdDestroy = nullptr;
  QPushButton* cmdDeleteHelp = nullptr;

  // Status bar panels
  QLabel* sbPanel0 = nullptr;
  TStatusProgressPanel* sbPanel1 = nullptr;
  QLabel* sbPanel2 = nullptr;
};

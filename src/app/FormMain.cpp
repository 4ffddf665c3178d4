#include "app/FormMain.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QSplitter>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>
#include <algorithm>
#include <cstdio>
#include <exception>

#include "app/ByteString.h"
#include "app/TPaneLimits.h"
#include "app/TStatusProgressPanel.h"
#include "app/UiPrompts.h"
#include "core/UnitDataFolder.h"
#include "app/UnitMainIni.h"
#include "core/UnitFileSystem.h"
#include "core/UnitGlobals.h"
#include "help/FormAbout.h"
#include "help/HtmlHelp.h"
#include "help/THelpKeyWatcher.h"
#include "id3/ID3Engine.h"
#include "info/FormMP3InfosConfig.h"
#include "info/TDetailsView.h"
#include "info/UnitColumnConfig.h"
#include "info/UnitDetails.h"
#include "info/UnitInfoValues.h"
#include "player/TMediaPlayerPage.h"
#include "player/UnitPlayerText.h"
#include "reports/FormReports.h"
#include "scan/FormExtensions.h"
#include "scan/FormScanning.h"
#include "scan/FormSortProgress.h"
#include "scan/TFileShellActions.h"
#include "scan/TMP3ListModel.h"
#include "scan/TMP3ListView.h"
#include "scan/UnitCustomLocations.h"
#include "scan/UnitFileTypes.h"
#include "search/TSearchPage.h"
#include "shell/TShellFolderTree.h"

namespace {

constexpr int MainHelpContext = 1020;

constexpr int DeleteDestroyHelpContext = 2060;

const QString NoFilesTail = QStringLiteral(
    "\r\n\r\nTo select another folder use the left explorer bar or the list of custom scan locations. "
    "To search the folder and all its subfolders for audio files, click the Subfolders toolbar button.");

QString NoFilesText() { return QStringLiteral("No MP3 files found.") + NoFilesTail; }
QString SelectFileText() { return QStringLiteral("Please select an MP3 file.") + NoFilesTail; }

// A hint's short part is the tooltip, its long part the status bar text; without "|" it is all long.
void ApplyHint(QAction* action, const QString& hint) {
  const qsizetype bar = hint.indexOf(QLatin1Char('|'));
  if (bar < 0) {
    action->setStatusTip(hint);
    return;
  }
  action->setToolTip(hint.left(bar));
  action->setStatusTip(hint.mid(bar + 1));
}

QAction* MakeAction(QObject* owner, const char* name, const QString& caption, const QString& hint) {
  auto* action = new QAction(caption, owner);
  action->setObjectName(QLatin1String(name));
  ApplyHint(action, hint);
  return action;
}

QLabel* WrappedLabel(const char* name) {
  auto* label = new QLabel;
  label->setObjectName(QLatin1String(name));
  label->setWordWrap(true);
  label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  return label;
}

QPushButton* Button(const char* name, const QString& caption) {
  auto* button = new QPushButton(caption);
  button->setObjectName(QLatin1String(name));
  return button;
}

}  // namespace

// The images are compiled into the window library; a static library must register them itself.
static void InitMainResources() { Q_INIT_RESOURCE(sonarvex); }

TfrmMain::TfrmMain(std::vector<std::string> commandLine, QWidget* parent)
    : QMainWindow(parent),
      commandLine_(std::move(commandLine)),
      localeFormat_(ReadUserLocaleFormat()),
      ID3Engine1(std::make_unique<TID3Engine>()) {
  // The list, the sort and the details read tags only: no full seek, no ID3v1 writing.
  ID3Engine1->SetFullID3TagSeek(false);
  ID3Engine1->SetWriteID3V1(false);
  InitMainResources();
  setObjectName(QStringLiteral("frmMain"));
  MainWindowCreating = true;
  try {
    FormCreate();
  } catch (...) {
    MainWindowCreating = false;
    throw;
  }
  MainWindowCreating = false;
}

TfrmMain::~TfrmMain() = default;

// ---------------------------------------------------------------------------------------------
// Creation

void TfrmMain::FormCreate() {
  CreateActions();
  CreateMenus();
  CreateToolbar();
  CreateCentralArea();
  CreateStatusBar();

  tbUpdates->setVisible(false);
  tbSep->setVisible(false);
  setWindowTitle(ToQString(ApplicationTitle));
  setProperty("HelpContext", MainHelpContext);
  auto* help = new QShortcut(QKeySequence::HelpContents, this);
  connect(help, &QShortcut::activated, this, [this] { ShowHelpContext(this, MainHelpContext); });

  SetShellTypeNameProvider(&MimeTypeDescription);
  rowsBeingCleared_ = false;
  ScanFilter = std::string(DefaultScanFilter);
  sortColumn_ = 0;
  sortAscending_ = true;

  tbMP3Details->setChecked(true);
  mnuViewViewMP3Details->setChecked(true);
  pagesLeft->setCurrentIndex(0);
  txtNOMP3->setText(NoFilesText());
  ShowBottomPage(pageNoMP3);
  panPlayer->ClearPositionGuard();
  LoadSearchSites();

  RowCache.clear();
  if (!unreadableKeptFiles_.Load(DataFile(DefaultColumnFileName), [] {
        LoadColumnConfiguration(DataFile(DefaultColumnFileName), UsedInfoTypes, UnusedInfoTypes);
      }))
    FillDefaultCatalogue(UsedInfoTypes, UnusedInfoTypes);
  BuildColumns();
  SetListRowCount(0);
  tvLeftFolders->RootAtDesktop();

  txtSelectDeselectAllPageAbout->setText(QStringLiteral(
      "Click the Select All button to select all files and the Deselect All button to deselect all "
      "files. If you intend to use the Delete/Destroy option, please make sure you select only the "
      "files you really want to remove."));
  txtCopyMovePageAbout->setText(QStringLiteral(
      "Click the Copy button to copy the selected file(s) to a location of your choice, or the Move "
      "button to move them. After you click the Copy or the Move button, you will be able to choose "
      "the target location."));
  txtDeleteDestroyPageAbout->setText(QStringLiteral(
      "Delete uses normal operating system deletion. This option is not secure as the file remains on "
      "disk and it can be easily viewed or recovered by anyone. Destroy wipes the file contents beyond "
      "recovery and it is a more secure option."));

  LoadCustomLocations();
  try {
    ApplyFileTypes();
  } catch (const std::exception&) {
    ScanFilter = std::string(DefaultScanFilter);
  }

  // The window opens at its built-in size, centred; the stored placement follows at activation.
  resize(708, 506);
  if (const QScreen* screen = QGuiApplication::primaryScreen(); screen != nullptr) {
    const QRect area = screen->availableGeometry();
    move(area.center() - QPoint(width() / 2, height() / 2));
  }
}

void TfrmMain::CreateActions() {
  tbSubfolders = MakeAction(this, "tbSubfolders", QStringLiteral("Subfolders"),
                            QStringLiteral("Subfolders|Check this option to scan all the subfolders of "
                                           "the selected folder or drive."));
  tbSubfolders->setCheckable(true);
  tbSubfolders->setIcon(QIcon(QStringLiteral(":/icons/subfolders.svg")));

  tbMP3Details = MakeAction(this, "tbMP3Details", QStringLiteral("Details"),
                            QStringLiteral("Details Page|Display details about the selected file."));
  tbSearch = MakeAction(this, "tbSearch", QStringLiteral("Search"),
                        QStringLiteral("Search Page|Search for more information about the selected "
                                       "file on the Internet."));
  tbPlay = MakeAction(this, "tbPlay", QStringLiteral("Play"),
                      QStringLiteral("Play Page|Play the selected file using the built-in media player."));
  tbDestroy = MakeAction(this, "tbDestroy", QStringLiteral("Actions"),
                         QStringLiteral("Actions Page|Copy, move, delete or destroy one or more files."));
  pageToggles_ = {tbMP3Details, tbSearch, tbPlay, tbDestroy};
  const std::array<const char*, 4> toggleIcons = {":/icons/details.svg", ":/icons/search.svg",
                                                   ":/icons/play.svg", ":/icons/actions.svg"};
  pageToggleGroup_ = new QActionGroup(this);
  for (int tag = 0; tag < 4; ++tag) {
    QAction* toggle = pageToggles_[static_cast<std::size_t>(tag)];
    toggle->setCheckable(true);
    toggle->setIcon(QIcon(QLatin1String(toggleIcons[static_cast<std::size_t>(tag)])));
    pageToggleGroup_->addAction(toggle);
    connect(toggle, &QAction::triggered, this, [this, tag] { tbMP3DetailsClick(tag); });
  }

  tbReports = MakeAction(this, "tbReports", QStringLiteral("Reports"),
                         QStringLiteral("Reports|Generate, save or print reports."));
  tbReports->setIcon(QIcon(QStringLiteral(":/icons/reports.svg")));
  connect(tbReports, &QAction::triggered, this, [this] { TfrmReports(this).exec(); });
  tbFileTypes = MakeAction(this, "tbFileTypes", QStringLiteral("File Types"),
                           QStringLiteral("File Types|Select the types of files you are interested in "
                                          "(MP3 files only, also video clips, etc.)"));
  tbFileTypes->setIcon(QIcon(QStringLiteral(":/icons/filetypes.svg")));
  connect(tbFileTypes, &QAction::triggered, this, &TfrmMain::cmdViewFileTypesClick);
  tbUpdates = MakeAction(this, "tbUpdates", QStringLiteral("Updates"), QString());
  tbUpdates->setIcon(QIcon(QStringLiteral(":/icons/updates.svg")));
}

void TfrmMain::CreateMenus() {
  mnuFile = menuBar()->addMenu(QStringLiteral("File"));
  mnuFile->setObjectName(QStringLiteral("mnuFile"));
  mnuFile->menuAction()->setStatusTip(
      QStringLiteral("Contains commands for performing the main functions of the program."));
  cmdFileScan = MakeAction(this, "cmdFileScan", QStringLiteral("Scan..."),
                           QStringLiteral("Scans a selected folder or drive."));
  cmdFileScan->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
  connect(cmdFileScan, &QAction::triggered, this, &TfrmMain::cmdFileScanClick);
  mnuFileScanSubfolders =
      MakeAction(this, "mnuFileScanSubfolders", QStringLiteral("Scan Subfolders"),
                 QStringLiteral("When checked, scans all the subfolders of the selected folder or drive."));
  mnuFileScanSubfolders->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));
  mnuFileScanSubfolders->setCheckable(true);
  mnuFileReports = MakeAction(this, "mnuFileReports", QStringLiteral("Reports..."),
                              QStringLiteral("Generates, saves or prints reports."));
  connect(mnuFileReports, &QAction::triggered, this, [this] { TfrmReports(this).exec(); });
  mnuFileExit = MakeAction(this, "mnuFileExit", QStringLiteral("Exit"), QStringLiteral("Closes the program."));
  mnuFile->addAction(cmdFileScan);
  mnuFile->addAction(mnuFileScanSubfolders);
  mnuFile->addSeparator();
  mnuFile->addAction(mnuFileReports);
  mnuFile->addSeparator();
  mnuFile->addAction(mnuFileExit);
  connect(tbSubfolders, &QAction::triggered, this, &TfrmMain::tbSubfoldersClick);
  connect(mnuFileScanSubfolders, &QAction::triggered, this, &TfrmMain::tbSubfoldersClick);
  connect(mnuFileExit, &QAction::triggered, this, &QWidget::close);

  mnuView = menuBar()->addMenu(QStringLiteral("View"));
  mnuView->setObjectName(QStringLiteral("mnuView"));
  mnuView->menuAction()->setStatusTip(QStringLiteral(
      "Contains commands for selecting the information you want to see and for manipulating the view."));
  mnuViewViewMP3Details = MakeAction(this, "mnuViewViewMP3Details", QStringLiteral("Details Page"),
                                     QStringLiteral("Displays the Details page that contains detailed "
                                                    "information about the selected file."));
  mnuViewSearch = MakeAction(this, "mnuViewSearch", QStringLiteral("Search Page"),
                             QStringLiteral("Displays the Search page that allows you to find more "
                                            "information about the selected file on the Internet."));
  mnuViewPlayMP3 = MakeAction(this, "mnuViewPlayMP3", QStringLiteral("Play Page"),
                              QStringLiteral("Displays the Play page that allows you to play the selected "
                                             "media file using the built-in media player."));
  mnuViewDeleteDestroy = MakeAction(this, "mnuViewDeleteDestroy", QStringLiteral("Actions Page"),
                                    QStringLiteral("Displays the Actions page that allows you to copy, move, "
                                                   "delete or destroy one or more files."));
  pageItems_ = {mnuViewViewMP3Details, mnuViewSearch, mnuViewPlayMP3, mnuViewDeleteDestroy};
  auto* pageItemGroup = new QActionGroup(this);
  for (int tag = 0; tag < 4; ++tag) {
    QAction* item = pageItems_[static_cast<std::size_t>(tag)];
    item->setCheckable(true);
    pageItemGroup->addAction(item);
    mnuView->addAction(item);
    connect(item, &QAction::triggered, this, [this, tag] { tbMP3DetailsClick(tag); });
  }
  mnuView->addSeparator();

  mnuViewIcons = MakeAction(this, "mnuViewIcons", QStringLiteral("Icons"),
                            QStringLiteral("Displays items by using large icons."));
  mnuViewSmallIcons = MakeAction(this, "mnuViewSmallIcons", QStringLiteral("Small Icons"),
                                 QStringLiteral("Display items by using small icons."));
  mnuViewList = MakeAction(this, "mnuViewList", QStringLiteral("List"), QStringLiteral("Displays items in a list."));
  mnuViewDetails = MakeAction(this, "mnuViewDetails", QStringLiteral("Details"),
                              QStringLiteral("Displays information about each item in the window."));
  viewStyleItems_ = {mnuViewIcons, mnuViewSmallIcons, mnuViewList, mnuViewDetails};
  auto* styleGroup = new QActionGroup(this);
  for (int style = 0; style < 4; ++style) {
    QAction* item = viewStyleItems_[static_cast<std::size_t>(style)];
    item->setCheckable(true);
    styleGroup->addAction(item);
    mnuView->addAction(item);
    connect(item, &QAction::triggered, this, [this, style] { SetViewStyle(static_cast<TViewStyle>(style)); });
  }
  mnuViewDetails->setChecked(true);
  mnuViewChooseDetails = MakeAction(this, "mnuViewChooseDetails", QStringLiteral("Choose Details..."),
                                    QStringLiteral("Configures the columns displayed in the list."));
  mnuView->addAction(mnuViewChooseDetails);
  connect(mnuViewChooseDetails, &QAction::triggered, this, &TfrmMain::popMP3ListColumnsConfigurationClick);
  mnuView->addSeparator();

  mnuViewToolbar = MakeAction(this, "mnuViewToolbar", QStringLiteral("Toolbar"),
                              QStringLiteral("Shows or hides the toolbar."));
  mnuViewStatusBar = MakeAction(this, "mnuViewStatusBar", QStringLiteral("Status Bar"),
                                QStringLiteral("Shows or hides the status bar."));
  mnuViewExplorerBar = MakeAction(this, "mnuViewExplorerBar", QStringLiteral("Explorer Bar"),
                                  QStringLiteral("Shows or hides the Explorer bar."));
  for (QAction* toggle : {mnuViewToolbar, mnuViewStatusBar, mnuViewExplorerBar}) {
    toggle->setCheckable(true);
    toggle->setChecked(true);
    mnuView->addAction(toggle);
  }
  connect(mnuViewToolbar, &QAction::triggered, this, &TfrmMain::mnuViewToolbarClick);
  connect(mnuViewStatusBar, &QAction::triggered, this, &TfrmMain::mnuViewStatusBarClick);
  connect(mnuViewExplorerBar, &QAction::triggered, this, &TfrmMain::mnuViewExplorerBarClick);
  mnuView->addSeparator();
  cmdViewFileTypes = MakeAction(this, "cmdViewFileTypes", QStringLiteral("File Types..."),
                                QStringLiteral("Allows you to select the types of files you are interested in "
                                               "(MP3 files only, also video clips, etc.)"));
  mnuView->addAction(cmdViewFileTypes);
  connect(cmdViewFileTypes, &QAction::triggered, this, &TfrmMain::cmdViewFileTypesClick);
  mnuView->addSeparator();
  cmdViewRefresh = MakeAction(this, "cmdViewRefresh", QStringLiteral("Refresh"),
                              QStringLiteral("Refreshes the information about the files in the selected folder."));
  cmdViewRefresh->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_R));
  mnuView->addAction(cmdViewRefresh);
  connect(cmdViewRefresh, &QAction::triggered, this, &TfrmMain::cmdViewRefreshClick);
  connect(mnuView, &QMenu::aboutToShow, this, &TfrmMain::ViewMenuAboutToShow);

  mnuHelp = menuBar()->addMenu(QStringLiteral("Help"));
  mnuHelp->setObjectName(QStringLiteral("mnuHelp"));
  mnuHelp->menuAction()->setStatusTip(QStringLiteral("Contains commands for displaying Help."));
  cmdHelpTopics = MakeAction(this, "cmdHelpTopics", QStringLiteral("Help Topics"), QStringLiteral("Opens Help."));
  cmdHelpAbout = MakeAction(this, "cmdHelpAbout", QStringLiteral("About..."),
                            QStringLiteral("Displays program name, version, copyright and license information."));
  connect(cmdHelpAbout, &QAction::triggered, this, &TfrmMain::cmdHelpAboutClick);
  mnuHelp->addAction(cmdHelpTopics);
  mnuHelp->addSeparator();
  mnuHelp->addAction(cmdHelpAbout);
  connect(cmdHelpTopics, &QAction::triggered, this, [this] { ShowHelpContents(this); });
  auto* menuHelpKey = new THelpKeyWatcher(this);
  for (QMenu* menu : {mnuFile, mnuView, mnuHelp}) {
    menu->setProperty("HelpContext", MainHelpContext);
    menuHelpKey->Watch(menu);
  }
}

void TfrmMain::CreateToolbar() {
  toolbarMain = addToolBar(QStringLiteral("Toolbar"));
  toolbarMain->setObjectName(QStringLiteral("toolbarMain"));
  toolbarMain->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
  toolbarMain->setMovable(false);
  toolbarMain->setFloatable(false);
  toolbarMain->setIconSize(QSize(24, 24));
  toolbarMain->toggleViewAction()->setEnabled(false);
  toolbarMain->addAction(tbSubfolders);
  toolbarMain->addSeparator();
  for (QAction* toggle : pageToggles_) toolbarMain->addAction(toggle);
  toolbarMain->addSeparator();
  toolbarMain->addAction(tbReports);
  toolbarMain->addSeparator();
  toolbarMain->addAction(tbFileTypes);
  tbSep = toolbarMain->addSeparator();
  tbSep->setObjectName(QStringLiteral("tbSep"));
  toolbarMain->addAction(tbUpdates);
}

void TfrmMain::CreateCentralArea() {
  splitLeftClient = new QSplitter(Qt::Horizontal, this);
  splitLeftClient->setObjectName(QStringLiteral("splitLeftClient"));
  splitLeftClient->setChildrenCollapsible(false);

  panClientLeft = new QWidget;
  panClientLeft->setObjectName(QStringLiteral("panClientLeft"));
  auto* leftLayout = new QVBoxLayout(panClientLeft);
  leftLayout->setContentsMargins(0, 0, 0, 0);
  pagesLeft = new QTabWidget;
  pagesLeft->setObjectName(QStringLiteral("pagesLeft"));
  pagesLeft->setMinimumWidth(60);
  tvLeftFolders = new TShellFolderTree;
  tvLeftFolders->setObjectName(QStringLiteral("tvLeftFolders"));
  pagesLeft->addTab(tvLeftFolders, QStringLiteral("Folders"));

  auto* customPage = new QWidget;
  auto* customLayout = new QVBoxLayout(customPage);
  customLayout->setContentsMargins(2, 2, 2, 2);
  lvCustomTargets = new QListWidget;
  lvCustomTargets->setObjectName(QStringLiteral("lvCustomTargets"));
  lvCustomTargets->setSelectionMode(QAbstractItemView::SingleSelection);
  lvCustomTargets->setEditTriggers(QAbstractItemView::NoEditTriggers);
  lvCustomTargets->setUniformItemSizes(true);
  customLayout->addWidget(lvCustomTargets);
  auto* customButtons = new QHBoxLayout;
  cmdCustomTargetsRemove = Button("cmdCustomTargetsRemove", QStringLiteral("Remove"));
  cmdCustomTargetsRemoveAll = Button("cmdCustomTargetsRemoveAll", QStringLiteral("Clear"));
  cmdCustomTargetsAdd = Button("cmdCustomTargetsAdd", QStringLiteral("Add..."));
  for (QPushButton* b : {cmdCustomTargetsRemove, cmdCustomTargetsRemoveAll, cmdCustomTargetsAdd}) {
    // The pane is narrow (177 pixels at start): the buttons share what there is.
    b->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    b->setMinimumWidth(24);
    customButtons->addWidget(b);
  }
  customButtons->setSpacing(2);
  customLayout->addLayout(customButtons);
  pagesLeft->addTab(customPage, QStringLiteral("Custom"));
  leftLayout->addWidget(pagesLeft);
  splitLeftClient->addWidget(panClientLeft);

  splitClientBottom = new QSplitter(Qt::Vertical);
  splitClientBottom->setObjectName(QStringLiteral("splitClientBottom"));
  splitClientBottom->setChildrenCollapsible(false);
  listModel_ = new TMP3ListModel(FoundFileList, RowCache, this);
  listModel_->SetRowBuilder([this](const std::string& path) {
    return GetRowValues(*ID3Engine1, path, UsedInfoTypes, localeFormat_);
  });
  lvMP3s = new TMP3ListView(listModel_);
  lvMP3s->setObjectName(QStringLiteral("lvMP3s"));
  splitClientBottom->addWidget(lvMP3s);

  panClientBottom = new QStackedWidget;
  panClientBottom->setObjectName(QStringLiteral("panClientBottom"));
  rtfMP3Details = new TDetailsView;
  rtfMP3Details->setObjectName(QStringLiteral("rtfMP3Details"));
  panClientBottom->addWidget(rtfMP3Details);

  panSearch = new TSearchPage;
  panClientBottom->addWidget(panSearch);
  panPlayer = new TMediaPlayerPage;
  panClientBottom->addWidget(panPlayer);
  // Previous and Next move the list selection; the selection loads the file. No wrap-around.
  connect(panPlayer, &TMediaPlayerPage::PreviousRequested, this, [this] {
    if (ListCurrentRow() > 0) SelectListRow(ListCurrentRow() - 1);
  });
  connect(panPlayer, &TMediaPlayerPage::NextRequested, this, [this] {
    const int row = ListCurrentRow();
    if (row >= 0 && row < ListRowCount() - 1) SelectListRow(row + 1);
  });

  panClientBottom->addWidget(CreateActionsPage());

  auto* noFilesPage = new QWidget;
  noFilesPage->setObjectName(QStringLiteral("pageNoMP3"));
  auto* noFilesLayout = new QVBoxLayout(noFilesPage);
  txtNOMP3 = WrappedLabel("txtNOMP3");
  txtNOMP3->setAlignment(Qt::AlignCenter);
  noFilesLayout->addWidget(txtNOMP3);
  panClientBottom->addWidget(noFilesPage);

  splitClientBottom->addWidget(panClientBottom);
  splitClientBottom->setStretchFactor(0, 1);
  splitClientBottom->setStretchFactor(1, 0);
  splitLeftClient->addWidget(splitClientBottom);
  splitLeftClient->setStretchFactor(0, 0);
  splitLeftClient->setStretchFactor(1, 1);
  setCentralWidget(splitLeftClient);
  paneLimits_ = new TPaneLimits(splitLeftClient, splitClientBottom, this);

  connect(tvLeftFolders, &TShellFolderTree::SelectionChanged, this, &TfrmMain::tvLeftFoldersChange);
  connect(pagesLeft, &QTabWidget::currentChanged, this, [this] {
    if (!MainWindowCreating) pagesLeftChange();
  });
  connect(lvMP3s, &TMP3ListView::RowSelectionChanged, this, [this](int, bool selected) {
    if (!rowsBeingCleared_ && !followingSort_) lvMP3sSelectItem(selected);
  });
  connect(lvMP3s, &TMP3ListView::HeaderClicked, this, &TfrmMain::lvMP3sColumnClick);
  PopupMP3ListColumns = new QMenu(this);
  PopupMP3ListColumns->setObjectName(QStringLiteral("PopupMP3ListColumns"));
  QAction* popMP3ListColumnsConfiguration =
      MakeAction(this, "popMP3ListColumnsConfiguration", QStringLiteral("Choose Details..."),
                 QStringLiteral("Configures the columns displayed in the list."));
  PopupMP3ListColumns->addAction(popMP3ListColumnsConfiguration);
  connect(popMP3ListColumnsConfiguration, &QAction::triggered, this,
          &TfrmMain::popMP3ListColumnsConfigurationClick);
  connect(lvMP3s, &TMP3ListView::HeaderContextMenuRequested, this,
          [this](const QPoint& at) { PopupMP3ListColumns->popup(at); });
  shellActions_ = new TFileShellActions(this);
  connect(lvMP3s, &TMP3ListView::RowContextMenuRequested, this, [this](int row, const QPoint& at) {
    shellActions_->ShowContextMenu(PathToQString(listModel_->PathOfRow(row)), at);
  });
  connect(lvMP3s, &TMP3ListView::RowDoubleClicked, this, [this] {
    if (const int row = ListCurrentRow(); row >= 0) shellActions_->OpenDefault(PathToQString(listModel_->PathOfRow(row)));
  });
  connect(lvMP3s, &TMP3ListView::CheckMarksChanged, this,
          [this] { ApplyActionButtonsRule(CountCheckedFiles()); });
  connect(panClientBottom, &QStackedWidget::currentChanged, this, &TfrmMain::OnVisiblePageChanged);

  connect(lvCustomTargets, &QListWidget::itemSelectionChanged, this, &TfrmMain::lvCustomTargetsSelectItem);
  connect(cmdCustomTargetsRemove, &QPushButton::clicked, this, &TfrmMain::cmdCustomTargetsRemoveClick);
  connect(cmdCustomTargetsRemoveAll, &QPushButton::clicked, this, &TfrmMain::cmdCustomTargetsRemoveAllClick);
  connect(cmdCustomTargetsAdd, &QPushButton::clicked, this, [this] { AddAndScanLocation({}); });
}

QWidget* TfrmMain::CreateActionsPage() {
  auto* page = new QWidget;
  page->setObjectName(QStringLiteral("pageDestroy"));
  auto* layout = new QVBoxLayout(page);
  layout->setContentsMargins(0, 0, 0, 0);
  PageControl1 = new QTabWidget;
  PageControl1->setObjectName(QStringLiteral("PageControl1"));
  layout->addWidget(PageControl1);

  auto makeTab = [this](const QString& caption, QLabel* about, std::initializer_list<QPushButton*> buttons) {
    auto* tab = new QWidget;
    auto* tabLayout = new QVBoxLayout(tab);
    tabLayout->addWidget(about);
    auto* row = new QHBoxLayout;
    for (QPushButton* b : buttons) row->addWidget(b);
    row->addStretch(1);
    tabLayout->addLayout(row);
    tabLayout->addStretch(1);
    PageControl1->addTab(tab, caption);
    return tabLayout;
  };

  txtSelectDeselectAllPageAbout = WrappedLabel("txtSelectDeselectAllPageAbout");
  cmdDestroySelectAll = Button("cmdDestroySelectAll", QStringLiteral("Select All"));
  cmdDestroyDeselectAll = Button("cmdDestroyDeselectAll", QStringLiteral("Deselect All"));
  makeTab(QStringLiteral("Select/Deselect All"), txtSelectDeselectAllPageAbout,
          {cmdDestroySelectAll, cmdDestroyDeselectAll});
  connect(cmdDestroySelectAll, &QPushButton::clicked, this, [this] { cmdDestroySelectAllClick(1); });
  connect(cmdDestroyDeselectAll, &QPushButton::clicked, this, [this] { cmdDestroySelectAllClick(0); });

  txtCopyMovePageAbout = WrappedLabel("txtCopyMovePageAbout");
  cmdCopy = Button("cmdCopy", QStringLiteral("Copy..."));
  cmdMove = Button("cmdMove", QStringLiteral("Move..."));
  makeTab(QStringLiteral("Copy/Move"), txtCopyMovePageAbout, {cmdCopy, cmdMove});
  connect(cmdCopy, &QPushButton::clicked, this, [this] { cmdCopyClick(0); });
  connect(cmdMove, &QPushButton::clicked, this, [this] { cmdCopyClick(1); });

  txtDeleteDestroyPageAbout = WrappedLabel("txtDeleteDestroyPageAbout");
  cmdDelete = Button("cmdDelete", QStringLiteral("Delete"));
  cmdDestroy = Button("cmdDestroy", QStringLiteral("Destroy"));
  auto* deleteLayout = makeTab(QStringLiteral("Delete/Destroy"), txtDeleteDestroyPageAbout, {cmdDelete, cmdDestroy});
  connect(cmdDelete, &QPushButton::clicked, this, [this] { cmdDeleteClick(0); });
  connect(cmdDestroy, &QPushButton::clicked, this, [this] { cmdDeleteClick(1); });
  auto* label3 = WrappedLabel("Label3");
  label3->setText(QStringLiteral("To find out more about the differences between normal deletion and secure "
                                 "destruction, click the Help button below."));
  cmdDeleteHelp = Button("cmdDeleteHelp", QStringLiteral("Help"));
  deleteLayout->insertWidget(2, label3);
  deleteLayout->insertWidget(3, cmdDeleteHelp, 0, Qt::AlignLeft);
  connect(cmdDeleteHelp, &QPushButton::clicked, this, [this] { ShowHelpContext(this, DeleteDestroyHelpContext); });

  ApplyActionButtonsRule(0);
  PageControl1->setCurrentIndex(0);
  return page;
}

void TfrmMain::CreateStatusBar() {
  auto* bar = statusBar();
  bar->setObjectName(QStringLiteral("sbStatusBar"));
  sbPanel0 = new QLabel;
  sbPanel0->setObjectName(QStringLiteral("sbStatusBarPanel0"));
  sbPanel0->setFixedWidth(500);
  sbPanel1 = new TStatusProgressPanel;
  sbPanel2 = new QLabel;
  sbPanel2->setObjectName(QStringLiteral("sbStatusBarPanel2"));
  sbPanel2->setFixedWidth(50);
  // Normal (not permanent) widgets: a status tip replaces all three with one full-width text.
  bar->addWidget(sbPanel0);
  bar->addWidget(sbPanel1);
  bar->addWidget(sbPanel2);
}

// ---------------------------------------------------------------------------------------------
// Activation, command line, closing

bool TfrmMain::event(QEvent* event) {
  const bool result = QMainWindow::event(event);
  if (event->type() == QEvent::Show && !shownOnce_) {
    shownOnce_ = true;
    // The panes get their built-in sizes once the window has its own.
    splitLeftClient->setSizes({177, std::max(0, splitLeftClient->width() - 177)});
    splitClientBottom->setSizes({std::max(0, splitClientBottom->height() - 184), 184});
    // Some desktops never activate a window that was not clicked (focus stealing prevention,
    // no window manager at all): the start-up work must not wait for that forever. A window that
    // is not put on any screen is never activated at all.
    if (testAttribute(Qt::WA_DontShowOnScreen))
      RunFirstActivation();
    else
      QTimer::singleShot(1500, this, &TfrmMain::RunFirstActivation);
  }
  if (event->type() == QEvent::WindowActivate) RunFirstActivation();
  return result;
}

void TfrmMain::RunFirstActivation() {
  if (activated_) return;
  activated_ = true;
  // Let the activation finish before the first scan opens its modal window.
  QTimer::singleShot(0, this, &TfrmMain::FormActivate);
}

void TfrmMain::FormActivate() {
  // A run nobody watches can never ask for help: its report must not wait for the help
  // collection's database, nor fail because the help is damaged.
  if (!Unattended()) InitializeHelp(this);
  ApplyWindowSettings();
  pagesLeftChange();
  ProcessCommandLine();
  startedUp_ = true;
}

void TfrmMain::ProcessCommandLine() {
  const TCommandLine command = ParseCommandLine(commandLine_);
  switch (command.Kind) {
    case TCommandKind::Scan:
      if (command.Subfolders != TSubfoldersSwitch::Unchanged)
        SetSubfoldersOption(command.Subfolders == TSubfoldersSwitch::On);
      // Stored as given, a relative path would mean another folder at the next start.
      if (AddAndScanLocation(AbsoluteFromWorkingFolder(command.ScanPath))) ShowCustomTab();
      break;
    case TCommandKind::Report:
      exitStatus_ = TfrmReports::RunUnattendedReport(this, command.ReportType, command.ReportLocations,
                                                     command.ReportOutput);
      QTimer::singleShot(0, this, &QWidget::close);
      break;
    case TCommandKind::None:
      break;
  }
}

void TfrmMain::closeEvent(QCloseEvent* event) {
  FormClose();
  event->accept();
}

void TfrmMain::FormClose() {
  // Each file is tried even when an earlier one failed; closing never stops for a failed write.
  // A file that could not be read at start keeps its contents: defaults written over it would
  // lose the user's settings.
  QStringList failures;
  auto attempt = [&](const std::string& path, auto&& save) {
    if (unreadableKeptFiles_.Contains(path)) {
      failures.append(ToQString(unreadableKeptFiles_.LeftUnchangedText(path)));
      return;
    }
    try {
      save();
    } catch (const std::exception& error) {
      failures.append(ToQString(error.what()));
    }
  };
  attempt(DataFile(DefaultColumnFileName),
          [] { SaveColumnConfiguration(DataFile(DefaultColumnFileName), UsedInfoTypes, UnusedInfoTypes); });
  attempt(CustomLocationsFile(), [this] { SaveCustomLocations(); });
  attempt(MainIniFile(), [this] { SaveWindowSettings(); });
  if (!failures.isEmpty())
    ShowFailure(this, QStringLiteral("Some settings could not be saved:\r\n\r\n") + failures.join(QStringLiteral("\r\n")));
  // The help window has no owner that would take it along: the program ends with this window.
  ShutDownHelp();
}

// ---------------------------------------------------------------------------------------------
// Scanning

bool TfrmMain::SubfoldersOption() const { return mnuFileScanSubfolders->isChecked(); }

void TfrmMain::SetSubfoldersOption(bool on) {
  mnuFileScanSubfolders->setChecked(on);
  tbSubfolders->setChecked(on);
}

void TfrmMain::tbSubfoldersClick() {
  // Both controls arrive here already flipped by Qt; the menu item's state is the option.
  const bool on = sender() == tbSubfolders ? tbSubfolders->isChecked() : mnuFileScanSubfolders->isChecked();
  SetSubfoldersOption(on);
  pagesLeftChange();
}

void TfrmMain::tvLeftFoldersChange() {
  if (MainWindowCreating) return;
  ScanFolder(tvLeftFolders->SelectedPath());
}

void TfrmMain::pagesLeftChange() {
  if (pagesLeft->currentIndex() == 0) {
    ScanFolder(tvLeftFolders->SelectedPath());
    return;
  }
  ScanFolder(CustomItemPath(lvCustomTargets->currentItem()));
}

void TfrmMain::cmdViewRefreshClick() { ScanFolder(CurrentScanPath); }

void TfrmMain::ScanFolder(const std::string& path) {
  QString caption = ToQString(ApplicationTitle);
  if (!path.empty()) caption += QStringLiteral(" - ") + PathToQString(path);
  setWindowTitle(caption);
  txtNOMP3->setText(NoFilesText());
  ShowBottomPage(pageNoMP3);
  ClosePlayer();
  ClearListRows();
  UpdateFileCount();
  if (path.empty()) return;

  lvMP3s->setUpdatesEnabled(false);
  std::exception_ptr failure;
  try {
    RowCache.clear();
    FoundFileList.clear();
    CurrentScanPath = path;
    TfrmScanning scanning(this);
    scanning.SetFolder(path);
    scanning.SetRecursive(SubfoldersOption());
    scanning.SetResultList(&FoundFileList);
    scanning.exec();
    SortFoundFiles();
  } catch (...) {
    failure = std::current_exception();
  }
  SetListRowCount(static_cast<int>(FoundFileList.size()));
  lvMP3s->setUpdatesEnabled(true);
  UpdateFileCount();
  if (ListRowCount() > 0) {
    txtNOMP3->setText(SelectFileText());
    SelectListRow(0);
    if (tbDestroy->isChecked()) tbMP3DetailsClick(pageDestroy);
  }
  if (failure) std::rethrow_exception(failure);
}

TSortResult TfrmMain::SortFoundFiles() {
  return TfrmSortProgress::Run(this, SortReadsFiles(UsedInfoTypes, sortColumn_), [this](const TSortProgress& progress) {
    return ::SortFoundFiles(FoundFileList, RowCache, *ID3Engine1, UsedInfoTypes, sortColumn_, sortAscending_,
                            localeFormat_, progress);
  });
}

void TfrmMain::ClosePlayer() { panPlayer->StopAndClose(); }

void TfrmMain::LoadSearchSites() {
  connect(panSearch, &TSearchPage::ProgressCellsChanged, sbPanel1, &TStatusProgressPanel::SetProgress);
  const QString failure = panSearch->LoadSites();
  // Told once, when the window is up; an unattended report shows no box at all.
  const bool unattended = !commandLine_.empty() && UpperCaseAscii(commandLine_[0]) == "/REPORT";
  if (!failure.isEmpty() && !unattended) {
    QTimer::singleShot(0, this, [this, failure] { ShowFailure(this, failure); });
  }
}

// ---------------------------------------------------------------------------------------------
// The file list

void TfrmMain::BuildColumns() { lvMP3s->BuildColumns(UsedInfoTypes); }

void TfrmMain::ClearListRows() {
  rowsBeingCleared_ = true;
  listModel_->SetRowsBeingCleared(true);
  lvMP3s->setUpdatesEnabled(false);
  listModel_->ResetRows(0);
  lvMP3s->setUpdatesEnabled(true);
  listModel_->SetRowsBeingCleared(false);
  rowsBeingCleared_ = false;
}

void TfrmMain::SetListRowCount(int count) { listModel_->ResetRows(count); }

int TfrmMain::ListRowCount() const { return listModel_->rowCount(); }

int TfrmMain::ListCurrentRow() const { return lvMP3s->CurrentRow(); }

void TfrmMain::SelectListRow(int row) { lvMP3s->SelectRow(row); }

void TfrmMain::lvMP3sColumnClick(int column) {
  const int formerColumn = sortColumn_;
  const bool formerAscending = sortAscending_;
  if (column == sortColumn_) sortAscending_ = !sortAscending_;
  else sortColumn_ = column;
  const int current = ListCurrentRow();
  const TSortResult sorted = SortFoundFiles();
  if (!sorted.Completed) {
    // Cancelled: the list keeps its order, so the sort state stays what it was too.
    sortColumn_ = formerColumn;
    sortAscending_ = formerAscending;
    return;
  }
  listModel_->RefreshAllRows();
  FollowFileAfterSort(current, sorted.FormerIndex);
  const int checked = CountCheckedFiles();
  ApplyActionButtonsRule(checked);
  if (VisibleBottomPage() != pageDestroy) UpdateFileCount();
}

void TfrmMain::FollowFileAfterSort(int formerRow, const std::vector<std::size_t>& formerIndex) {
  // The pages describe the file that was selected: the selection goes where that file went.
  const auto found = std::find(formerIndex.begin(), formerIndex.end(), static_cast<std::size_t>(formerRow));
  if (formerRow < 0 || found == formerIndex.end()) return;
  followingSort_ = true;
  SelectListRow(static_cast<int>(found - formerIndex.begin()));
  followingSort_ = false;
}

void TfrmMain::lvMP3sSelectItem(bool selected) {
  panPlayer->ClearPositionGuard();
  if (!selected) {
    ShowBottomPage(pageNoMP3);
    return;
  }
  lvMP3s->ScrollToRow(ListCurrentRow());
  BuildDetails(listModel_->PathOfRow(ListCurrentRow()));
  PrepareSearchAndPlayer(ListCurrentRow());
  for (int tag = 0; tag < 4; ++tag) {
    if (pageToggles_[static_cast<std::size_t>(tag)]->isChecked()) ShowBottomPage(tag);
  }
  UpdateFileCount();
}

void TfrmMain::PrepareSearchAndPlayer(int row) {
  const QString firstColumn = listModel_->CaptionOfRow(row);  // builds the row's texts
  TStringList captions;
  for (const std::string& line : UsedInfoTypes) captions.emplace_back(InfoCaptionOf(line));
  const auto index = static_cast<std::size_t>(row);
  panSearch->PrepareForRow(captions, index < RowCache.size() ? RowCache[index].Texts : TStringList());
  panPlayer->LoadFile(listModel_->PathOfRow(row),
                      ToQString(NowPlayingText(CurrentTitle, CurrentArtist, ToStdString(firstColumn))));
}

void TfrmMain::BuildDetails(const std::string& path) {
  const TDetails details = ::BuildDetails(*ID3Engine1, path, UsedInfoTypes, UnusedInfoTypes, localeFormat_);
  rtfMP3Details->ShowDetails(details.Lines);
  CurrentTitle = details.CurrentTitle;
  CurrentArtist = details.CurrentArtist;
  // The page keeps what could be read; the reason the rest is missing goes to the error box.
  if (!details.Error.empty()) ShowFailure(this, ToQString(details.Error));
}

void TfrmMain::popMP3ListColumnsConfigurationClick() {
  TfrmMP3InfosConfig dialog(this);
  dialog.Fill(UsedInfoTypes, UnusedInfoTypes);
  if (dialog.exec() != QDialog::Accepted) return;
  ClearListRows();
  const TStringList previous = UsedInfoTypes;
  dialog.ReadBack(UsedInfoTypes, UnusedInfoTypes);
  // The old sort column may name another column now, or none at all.
  if (UsedInfoTypes != previous) {
    sortColumn_ = 0;
    sortAscending_ = true;
  }
  BuildColumns();
  ScanFolder(CurrentScanPath);
}

void TfrmMain::cmdViewFileTypesClick() {
  TfrmExtensions dialog(this);
  if (dialog.exec() != QDialog::Accepted) return;
  try {
    ApplyFileTypes();
  } catch (const std::exception& error) {
    // The file was written a moment ago; if it cannot be read back, scan for what a fresh
    // program scans for rather than for nothing.
    ScanFilter = std::string(DefaultScanFilter);
    ShowFailure(this, ToQString(error.what()));
  }
  pagesLeftChange();
}

void TfrmMain::cmdHelpAboutClick() {
  TfrmAbout about(this);
  about.exec();
}

void TfrmMain::UpdateFileCount() { SetFileCountText(QString::number(ListRowCount()) + QStringLiteral(" file(s)")); }

void TfrmMain::SetFileCountText(const QString& text) { sbPanel0->setText(text); }

int TfrmMain::CountCheckedFiles() {
  int count = 0;
  for (const TFoundFile& file : FoundFileList) count += file.Checked == 1 ? 1 : 0;
  SetFileCountText(QString::number(ListRowCount()) + QStringLiteral(" file(s), ") + QString::number(count) +
                   QStringLiteral(" selected for deletion/destruction"));
  return count;
}

void TfrmMain::ApplyActionButtonsRule(int checkedCount) {
  for (QPushButton* b : {cmdDelete, cmdDestroy, cmdCopy, cmdMove}) b->setEnabled(checkedCount > 0);
}

void TfrmMain::cmdDestroySelectAllClick(int tag) {
  listModel_->SetAllChecks(tag);
  ApplyActionButtonsRule(CountCheckedFiles());
}

// ---------------------------------------------------------------------------------------------
// Pages and views

int TfrmMain::VisibleBottomPage() const { return panClientBottom->currentIndex(); }

void TfrmMain::ShowBottomPage(int index) { panClientBottom->setCurrentIndex(index); }

void TfrmMain::OnVisiblePageChanged(int index) { lvMP3s->SetChecksVisible(index == pageDestroy); }

void TfrmMain::tbMP3DetailsClick(int tag) {
  UpdateFileCount();
  ShowBottomPage(ListCurrentRow() >= 0 ? tag : static_cast<int>(pageNoMP3));
  pageItems_[static_cast<std::size_t>(tag)]->setChecked(true);
  pageToggles_[static_cast<std::size_t>(tag)]->setChecked(true);
  if (tag == pageDestroy && ListRowCount() > 0) {
    ShowBottomPage(pageDestroy);
    ApplyActionButtonsRule(CountCheckedFiles());
    SetViewStyle(TViewStyle::Details);
  }
}

void TfrmMain::SetViewStyle(TViewStyle style) {
  viewStyle_ = style;
  viewStyleItems_[static_cast<std::size_t>(style)]->setChecked(true);
  lvMP3s->SetViewStyle(static_cast<TMP3ListView::TStyle>(style));
  mnuViewChooseDetails->setEnabled(style == TViewStyle::Details);
}

void TfrmMain::ViewMenuAboutToShow() {
  const bool actionsDown = tbDestroy->isChecked();
  mnuViewChooseDetails->setEnabled(viewStyle_ == TViewStyle::Details);
  for (QAction* item : {mnuViewIcons, mnuViewSmallIcons, mnuViewList}) item->setEnabled(!actionsDown);
}

void TfrmMain::mnuViewToolbarClick() { toolbarMain->setVisible(mnuViewToolbar->isChecked()); }

void TfrmMain::mnuViewStatusBarClick() { statusBar()->setVisible(mnuViewStatusBar->isChecked()); }

void TfrmMain::mnuViewExplorerBarClick() {
  const bool show = mnuViewExplorerBar->isChecked();
  if (show == panClientLeft->isVisibleTo(this)) return;
  if (!show) {
    explorerWidth_ = ExplorerWidth();
    panClientLeft->setVisible(false);
    return;
  }
  panClientLeft->setVisible(true);
  SetExplorerWidth(explorerWidth_);
}

int TfrmMain::ExplorerWidth() const {
  const int shown = panClientLeft->isVisibleTo(this) ? splitLeftClient->sizes().value(0) : 0;
  return shown > 0 ? shown : explorerWidth_;
}

void TfrmMain::SetExplorerWidth(int width) {
  if (width <= 0) return;  // a bar saved while hidden by an older version: keep the built-in width
  explorerWidth_ = width;
  if (!panClientLeft->isVisibleTo(this)) return;
  const QList<int> sizes = splitLeftClient->sizes();
  const int total = sizes.value(0) + sizes.value(1);
  splitLeftClient->setSizes({width, std::max(0, total - width)});
}

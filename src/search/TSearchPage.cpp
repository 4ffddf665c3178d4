#include "search/TSearchPage.h"

#include <QActionGroup>
#include <QComboBox>
#include <QCursor>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QStackedLayout>
#include <QStyle>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

#include "app/ByteString.h"
#include "app/TStatusProgressPanel.h"
#include "core/UnitDataFolder.h"
#include "core/UnitTextFiles.h"
#include "search/FormSearchSites.h"
#include "search/UnitSearchText.h"
#include "shell/TBrowserView.h"

namespace {

const QString HintText = QStringLiteral(
    "To find information about the selected MP3 file on the Internet, use the Search field and the Go "
    "button above.");
const QString SearchingText = QStringLiteral("Searching... Please wait");
const QString NoBrowserText = QStringLiteral("The web browser could not be started.");
const QString NoSiteText =
    QStringLiteral("No search site is configured. Use the Search Site button to customize the list.");

}  // namespace

TSearchPage::TSearchPage(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("pageVarnel"));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(CreateHeader());

  auto* stackHolder = new QWidget;
  browserStack_ = new QStackedLayout(stackHolder);
  browserArea_ = new QWidget;
  browserArea_->setObjectName(QStringLiteral("panBrowser"));
  auto* areaLayout = new QVBoxLayout(browserArea_);
  areaLayout->setContentsMargins(0, 0, 0, 0);
  browserStack_->addWidget(browserArea_);
  panWWWNavigatePleaseWait = new QWidget;
  panWWWNavigatePleaseWait->setObjectName(QStringLiteral("panWWWNavigatePleaseWait"));
  auto* waitLayout = new QVBoxLayout(panWWWNavigatePleaseWait);
  txtWWWNavigatePleaseWait = new QLabel;
  txtWWWNavigatePleaseWait->setObjectName(QStringLiteral("txtWWWNavigatePleaseWait"));
  txtWWWNavigatePleaseWait->setAlignment(Qt::AlignCenter);
  txtWWWNavigatePleaseWait->setWordWrap(true);
  waitLayout->addWidget(txtWWWNavigatePleaseWait);
  browserStack_->addWidget(panWWWNavigatePleaseWait);
  browserStack_->setCurrentWidget(browserArea_);
  layout->addWidget(stackHolder, 1);

  popSearchSites = new QMenu(this);
  popSearchSites->setObjectName(QStringLiteral("popSearchSites"));
  connect(popSearchSites, &QMenu::aboutToShow, this, &TSearchPage::PopSearchSitesPopup);
}

TSearchPage::~TSearchPage() = default;

QToolButton* TSearchPage::HeaderButton(const char* name, const QString& hint) {
  auto* button = new QToolButton;
  button->setObjectName(QLatin1String(name));
  button->setToolTip(hint);
  button->setStatusTip(hint);
  button->setAutoRaise(true);
  return button;
}

QWidget* TSearchPage::CreateHeader() {
  panBrowserHeader = new QWidget;
  panBrowserHeader->setObjectName(QStringLiteral("panBrowserHeader"));
  auto* row = new QHBoxLayout(panBrowserHeader);
  row->setContentsMargins(4, 2, 4, 2);
  row->setSpacing(2);
  Label2 = new QLabel(QStringLiteral("Search "));
  Label2->setObjectName(QStringLiteral("Label2"));
  row->addWidget(Label2);

  cbWhatToSearch = new QComboBox;
  cbWhatToSearch->setObjectName(QStringLiteral("cbWhatToSearch"));
  cbWhatToSearch->setEditable(true);
  // The list holds proposals only: typed texts are never added to it.
  cbWhatToSearch->setInsertPolicy(QComboBox::NoInsert);
  cbWhatToSearch->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  cbWhatToSearch->setMinimumContentsLength(10);
  cbWhatToSearch->installEventFilter(this);
  cbWhatToSearch->lineEdit()->installEventFilter(this);
  connect(cbWhatToSearch, &QComboBox::activated, this, [this] { Go(); });
  Label2->setBuddy(cbWhatToSearch);
  row->addWidget(cbWhatToSearch, 1);

  toolWWWGo = HeaderButton("toolWWWGo", QStringLiteral("Search the Internet"));
  toolWWWGo->setText(QStringLiteral("Go"));
  toolWWWGo->setToolButtonStyle(Qt::ToolButtonTextOnly);
  toolWebBack = HeaderButton("toolWebBack", QStringLiteral("Back"));
  toolWebForward = HeaderButton("toolWebForward", QStringLiteral("Forward"));
  toolWebStop = HeaderButton("toolWebStop", QStringLiteral("Stop"));
  toolWebRefresh = HeaderButton("toolWebRefresh", QStringLiteral("Refresh"));
  toolWebSearchSite = HeaderButton("toolWebSearchSite", QStringLiteral("Search Site To Use"));
  for (QToolButton* b : {toolWWWGo, toolWebBack, toolWebForward, toolWebStop, toolWebRefresh, toolWebSearchSite}) {
    row->addWidget(b);
  }

  connect(toolWWWGo, &QToolButton::clicked, this, &TSearchPage::Go);
  // Browser commands that cannot be carried out (Back without history) do nothing.
  connect(toolWebBack, &QToolButton::clicked, this, [this] {
    if (TheWebBrowser != nullptr) TheWebBrowser->Back();
  });
  connect(toolWebForward, &QToolButton::clicked, this, [this] {
    if (TheWebBrowser != nullptr) TheWebBrowser->Forward();
  });
  connect(toolWebStop, &QToolButton::clicked, this, [this] {
    if (TheWebBrowser != nullptr) TheWebBrowser->Stop();
  });
  connect(toolWebRefresh, &QToolButton::clicked, this, [this] {
    if (TheWebBrowser != nullptr) TheWebBrowser->Reload();
  });
  connect(toolWebSearchSite, &QToolButton::clicked, this, &TSearchPage::toolWebSearchSiteClick);
  return panBrowserHeader;
}

void TSearchPage::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  // The buttons' pictures are decoded when the page is first shown rather than at the program's
  // start: the style decodes every size of each one.
  if (!toolWebBack->icon().isNull()) return;
  toolWebBack->setIcon(style()->standardIcon(QStyle::SP_ArrowBack));
  toolWebForward->setIcon(style()->standardIcon(QStyle::SP_ArrowForward));
  toolWebStop->setIcon(style()->standardIcon(QStyle::SP_BrowserStop));
  toolWebRefresh->setIcon(style()->standardIcon(QStyle::SP_BrowserReload));
  toolWebSearchSite->setIcon(style()->standardIcon(QStyle::SP_FileDialogDetailedView));
}

TBrowserView* TSearchPage::EnsureBrowser() {
  if (TheWebBrowser != nullptr) return TheWebBrowser;
  TheWebBrowser = TBrowserView::Create(browserArea_);
  if (TheWebBrowser == nullptr) return nullptr;
  TheWebBrowser->setObjectName(QStringLiteral("TheWebBrowser"));
  connect(TheWebBrowser, &TBrowserView::LoadProgress, this, [this](int progress) { OnProgressChange(progress, 100); });
  connect(TheWebBrowser, &TBrowserView::LoadFinished, this, &TSearchPage::NavigateComplete);
  browserArea_->layout()->addWidget(TheWebBrowser);
  return TheWebBrowser;
}

// ---------------------------------------------------------------------------------------------
// Sites

QString TSearchPage::LoadSites() {
  QString failure;
  try {
    sites_ = LoadSearchSites(ShippedDataFile(SearchSitesFileName));
  } catch (const EFileError& error) {
    sites_ = TSearchSites();
    failure = ToQString(error.what());
  }
  // The menu may be rebuilt from one of its own entries ("Customize..."): the old entries go
  // once that entry's signal has returned.
  for (QAction* item : popSearchSites->actions()) {
    popSearchSites->removeAction(item);
    item->deleteLater();
  }
  if (siteGroup_ != nullptr) siteGroup_->deleteLater();
  siteGroup_ = new QActionGroup(this);
  siteGroup_->setExclusive(true);
  for (const TSearchSiteEntry& entry : sites_.Entries) {
    const QString caption = ToQString(entry.Caption);
    QAction* item = popSearchSites->addAction(caption);
    item->setCheckable(true);
    item->setData(entry.Tag);
    item->setStatusTip(QStringLiteral("Searches the Internet using ") + caption);
    siteGroup_->addAction(item);
    const int tag = entry.Tag;
    connect(item, &QAction::triggered, this, [this, tag] { SiteChosen(tag); });
  }
  currentSite_ = sites_.FirstSite();
  popSearchSites->addSeparator()->setStatusTip(QStringLiteral(" "));
  QAction* customize = popSearchSites->addAction(QStringLiteral("Customize..."));
  customize->setObjectName(QStringLiteral("popSearchSitesCustomize"));
  customize->setStatusTip(QStringLiteral("Customizes the Internet search sites."));
  connect(customize, &QAction::triggered, this, &TSearchPage::CustomizeClick);
  return failure;
}

void TSearchPage::PopSearchSitesPopup() {
  for (QAction* item : siteGroup_->actions()) item->setChecked(item->data().toInt() == currentSite_);
}

void TSearchPage::toolWebSearchSiteClick() { popSearchSites->popup(QCursor::pos()); }

void TSearchPage::SiteChosen(int tag) {
  currentSite_ = tag;
  Go();
}

void TSearchPage::CustomizeClick() {
  {
    TSearchSitesBox box(window());
    box.exec();
  }
  // Confirmed or not, the menu is built again from the file; the dialog has already told the
  // user when the file cannot be read.
  LoadSites();
}

// ---------------------------------------------------------------------------------------------
// Proposals and searching

void TSearchPage::PrepareForRow(const TStringList& captions, const TStringList& values) {
  ShowWaitPanel(HintText);
  cbWhatToSearch->clear();
  cbWhatToSearch->addItems(ToQStringList(BuildSearchProposals(captions, values)));
  if (cbWhatToSearch->count() > 0) cbWhatToSearch->setCurrentIndex(0);
  else cbWhatToSearch->setEditText(QString());
}

void TSearchPage::Go() {
  ShowWaitPanel(SearchingText);
  if (!sites_.IsSite(currentSite_)) {
    ShowWaitPanel(NoSiteText);
    return;
  }
  const std::string query = QueryFromSearchText(ToStdString(cbWhatToSearch->currentText()));
  const std::string url = BuildSearchUrl(sites_.Templates[static_cast<std::size_t>(currentSite_)], query);
  TBrowserView* browser = EnsureBrowser();
  if (browser == nullptr) {
    // The user has been told why; the panel says it too rather than waiting forever.
    ShowWaitPanel(NoBrowserText);
    return;
  }
  // An empty address still completes a navigation, so the wait panel goes away.
  browser->Load(url.empty() ? QUrl(QStringLiteral("about:blank")) : QUrl(ToQString(url)));
}

void TSearchPage::NavigateComplete() {
  browserStack_->setCurrentWidget(browserArea_);
  // The meter empties once the page is there.
  OnProgressChange(0, 0);
}

void TSearchPage::OnProgressChange(int progress, int maximum) {
  Q_EMIT ProgressCellsChanged(TStatusProgressPanel::ProgressBlocks(progress, maximum));
}

void TSearchPage::ShowWaitPanel(const QString& text) {
  txtWWWNavigatePleaseWait->setText(text);
  browserStack_->setCurrentWidget(panWWWNavigatePleaseWait);
}

bool TSearchPage::WaitPanelShown() const { return browserStack_->currentWidget() == panWWWNavigatePleaseWait; }

QString TSearchPage::WaitText() const { return txtWWWNavigatePleaseWait->text(); }

bool TSearchPage::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      Go();
      return true;  // consumed
    }
  }
  return QWidget::eventFilter(watched, event);
}

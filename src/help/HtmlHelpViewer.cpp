#include "help/HtmlHelpViewer.h"

#include <QAction>
#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QHelpContentModel>
#include <QHelpEngine>
#include <QKeySequence>
#include <QSplitter>
#include <QToolBar>
#include <QTreeView>
#include <QVBoxLayout>
#include <algorithm>

#include "app/ByteString.h"
#include "core/UnitGlobals.h"
#include "help/HelpResources.h"
#include "help/THelpBrowser.h"

namespace {

QUrl WithoutFragment(const QUrl& url) { return url.adjusted(QUrl::RemoveFragment); }

// The nearest modal window that is still showing among the owners of `window`: the help window
// moves there when a modal window that opened it from inside another one closes.
QWidget* ShowingModalOwnerOf(QWidget* window) {
  for (QWidget* owner = window->parentWidget(); owner; owner = owner->parentWidget()) {
    owner = owner->window();
    if (owner->isModal() && owner->isVisible()) return owner;
  }
  return nullptr;
}

}  // namespace

HtmlHelpViewer::HtmlHelpViewer(QHelpEngine* engine, QWidget* parent)
    : QWidget(parent, Qt::Window), engine_(engine) {
  EnsureHelpResources();
  setObjectName(QStringLiteral("HtmlHelpViewer"));
  setWindowTitle(ToQString(ApplicationTitle) + QStringLiteral(" Help"));
  setWindowIcon(QIcon(QStringLiteral(":/help/sonarvex.svg")));
  resize(820, 580);

  tvContents_ = new QTreeView(this);
  tvContents_->setObjectName(QStringLiteral("tvContents"));
  tvContents_->setHeaderHidden(true);
  tvContents_->setModel(engine_->contentModel());
  browser_ = new THelpBrowser(engine_, this);
  browser_->setObjectName(QStringLiteral("browser"));

  auto* splitter = new QSplitter(this);
  splitter->addWidget(tvContents_);
  splitter->addWidget(browser_);
  splitter->setStretchFactor(1, 1);
  splitter->setSizes({220, 600});

  BuildToolBar();
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(findChild<QToolBar*>());
  layout->addWidget(splitter, 1);

  connect(tvContents_, &QTreeView::activated, this, &HtmlHelpViewer::tvContentsActivated);
  connect(tvContents_, &QTreeView::clicked, this, &HtmlHelpViewer::tvContentsActivated);
  connect(browser_, &QTextBrowser::sourceChanged, this, &HtmlHelpViewer::BrowserSourceChanged);
  connect(engine_->contentModel(), &QHelpContentModel::contentsCreated, this,
          &HtmlHelpViewer::ContentsCreated);
  ContentsCreated();
}

void HtmlHelpViewer::BuildToolBar() {
  auto* bar = new QToolBar(this);
  bar->setObjectName(QStringLiteral("tbHelp"));
  bar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
  cmdBack_ = bar->addAction(QIcon::fromTheme(QStringLiteral("go-previous")), QStringLiteral("Back"));
  cmdBack_->setShortcut(QKeySequence::Back);
  cmdBack_->setEnabled(false);
  cmdForward_ = bar->addAction(QIcon::fromTheme(QStringLiteral("go-next")), QStringLiteral("Forward"));
  cmdForward_->setShortcut(QKeySequence::Forward);
  cmdForward_->setEnabled(false);
  cmdContents_ = bar->addAction(QIcon::fromTheme(QStringLiteral("go-home")), QStringLiteral("Contents"));
  auto* cmdClose = new QAction(this);
  cmdClose->setShortcut(QKeySequence(Qt::Key_Escape));
  addAction(cmdClose);

  connect(cmdBack_, &QAction::triggered, this, [this] { browser_->backward(); });
  connect(cmdForward_, &QAction::triggered, this, [this] { browser_->forward(); });
  connect(cmdContents_, &QAction::triggered, this, [this] { browser_->setSource(ContentsPage()); });
  connect(cmdClose, &QAction::triggered, this, &QWidget::close);
  connect(browser_, &QTextBrowser::backwardAvailable, cmdBack_, &QAction::setEnabled);
  connect(browser_, &QTextBrowser::forwardAvailable, cmdForward_, &QAction::setEnabled);
}

void HtmlHelpViewer::ShowTopic(const QUrl& topic) {
  if (browser_->source() != topic) browser_->setSource(topic);
  BringToFront();
}

void HtmlHelpViewer::ShowContents() { ShowTopic(ContentsPage()); }

void HtmlHelpViewer::FollowOwner(QWidget* owner) {
  QWidget* host = owner ? owner->window() : nullptr;
  if (host != this) asker_ = host;
  if (host == this) return;
  const bool modalHost = host && host->isModal();
  Reparent(modalHost ? host : nullptr);
}

bool HtmlHelpViewer::eventFilter(QObject* watched, QEvent* event) {
  if (watched == parentWidget() && event->type() == QEvent::Hide) Reparent(ShowingModalOwnerOf(parentWidget()));
  return QWidget::eventFilter(watched, event);
}

void HtmlHelpViewer::Reparent(QWidget* host) {
  QWidget* current = parentWidget();
  if (current == host) return;
  if (current) current->removeEventFilter(this);
  const bool visible = isVisible();
  const QRect placement = geometry();
  setParent(host, Qt::Window);
  // A window that was never shown has no placement of its own yet: it is placed when shown.
  if (placed_) setGeometry(placement);
  if (host) host->installEventFilter(this);
  if (visible) show();
}

QUrl HtmlHelpViewer::CurrentTopic() const { return browser_->source(); }

QUrl HtmlHelpViewer::ContentsPage() const {
  const QString ns = engine_->registeredDocumentations().value(0);
  return QUrl(QStringLiteral("qthelp://") + ns + QStringLiteral("/doc/index.html"));
}

QTextBrowser* HtmlHelpViewer::Browser() const { return browser_; }
QTreeView* HtmlHelpViewer::ContentsTree() const { return tvContents_; }

void HtmlHelpViewer::tvContentsActivated(const QModelIndex& index) {
  const QHelpContentItem* item = engine_->contentModel()->contentItemAt(index);
  if (item && item->url().isValid() && item->url() != browser_->source()) browser_->setSource(item->url());
}

void HtmlHelpViewer::BrowserSourceChanged(const QUrl& topic) {
  const QString title = browser_->documentTitle();
  const QString base = ToQString(ApplicationTitle) + QStringLiteral(" Help");
  setWindowTitle(title.isEmpty() ? base : title + QStringLiteral(" - ") + base);
  SelectInContents(topic);
}

void HtmlHelpViewer::SelectInContents(const QUrl& topic) {
  const QModelIndex found = FindInContents(QModelIndex(), WithoutFragment(topic));
  if (!found.isValid()) return;
  const QSignalBlocker block(tvContents_);
  tvContents_->setCurrentIndex(found);
  tvContents_->scrollTo(found);
}

QModelIndex HtmlHelpViewer::FindInContents(const QModelIndex& parent, const QUrl& topic) const {
  QHelpContentModel* model = engine_->contentModel();
  for (int row = 0; row < model->rowCount(parent); ++row) {
    const QModelIndex index = model->index(row, 0, parent);
    const QHelpContentItem* item = model->contentItemAt(index);
    if (item && WithoutFragment(item->url()) == topic) return index;
    const QModelIndex inside = FindInContents(index, topic);
    if (inside.isValid()) return inside;
  }
  return {};
}

void HtmlHelpViewer::ContentsCreated() {
  tvContents_->expandToDepth(0);
  SelectInContents(browser_->source());
}

void HtmlHelpViewer::BringToFront() {
  if (isMinimized()) showNormal();
  if (!placed_) PlaceNearAsker();
  placed_ = true;
  show();
  raise();
  activateWindow();
}

void HtmlHelpViewer::PlaceNearAsker() {
  // Like any new window: centred on the window that asked, whole within the screen's free area
  // (title bar included, so the window manager's frame can be grabbed).
  const QWidget* asker = asker_.data();
  const QScreen* screen = asker != nullptr ? asker->screen() : QGuiApplication::primaryScreen();
  if (screen == nullptr) return;
  const QRect area = screen->availableGeometry();
  // Before the first showing the frame is unknown; the asker's frame is the best guess.
  const QSize frame = asker != nullptr && asker->isVisible() ? asker->frameGeometry().size() - asker->size() : QSize();
  resize(size().boundedTo(area.size() - frame));
  QRect outer(QPoint(), size() + frame);
  outer.moveCenter(asker != nullptr && asker->isVisible() ? asker->frameGeometry().center() : area.center());
  outer.moveLeft(std::clamp(outer.left(), area.left(), std::max(area.left(), area.right() + 1 - outer.width())));
  outer.moveTop(std::clamp(outer.top(), area.top(), std::max(area.top(), area.bottom() + 1 - outer.height())));
  move(outer.topLeft());
}

#include "shell/TShellFolderTree.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDesktopServices>
#include <QDir>
#include <QDirIterator>
#include <QFileIconProvider>
#include <QHeaderView>
#include <QMenu>
#include <QMouseEvent>
#include <QStorageInfo>
#include <QUrl>

#include "app/ByteString.h"

namespace {

constexpr int PathRole = Qt::UserRole + 1;
constexpr int PopulatedRole = Qt::UserRole + 2;

// A child that only makes the expand arrow appear until the real children are listed.
constexpr int PlaceholderRole = Qt::UserRole + 3;

bool IsPseudoFileSystem(const QStorageInfo& volume) {
  static const QStringList pseudo = {
      QStringLiteral("proc"),   QStringLiteral("sysfs"),     QStringLiteral("tmpfs"),
      QStringLiteral("devtmpfs"), QStringLiteral("devpts"),  QStringLiteral("cgroup"),
      QStringLiteral("cgroup2"), QStringLiteral("overlay"),  QStringLiteral("squashfs"),
      QStringLiteral("securityfs"), QStringLiteral("debugfs"), QStringLiteral("tracefs"),
      QStringLiteral("mqueue"), QStringLiteral("hugetlbfs"), QStringLiteral("fusectl"),
      QStringLiteral("configfs"), QStringLiteral("pstore"),  QStringLiteral("bpf"),
      QStringLiteral("autofs"), QStringLiteral("binfmt_misc"), QStringLiteral("nsfs")};
  return pseudo.contains(QString::fromLatin1(volume.fileSystemType()));
}

}  // namespace

TShellFolderTree::TShellFolderTree(QWidget* parent)
    : QTreeWidget(parent), iconProvider_(new QFileIconProvider) {
  setHeaderHidden(true);
  setColumnCount(1);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setUniformRowHeights(true);
  setContextMenuPolicy(Qt::DefaultContextMenu);
  connect(this, &QTreeWidget::itemExpanded, this, &TShellFolderTree::PopulateChildren);
  connect(this, &QTreeWidget::currentItemChanged, this, [this] { Q_EMIT SelectionChanged(); });
}

TShellFolderTree::~TShellFolderTree() { delete iconProvider_; }

void TShellFolderTree::RootAtDesktop() {
  clear();
  auto* desktop = new QTreeWidgetItem(this, {QStringLiteral("Desktop")});
  desktop->setIcon(0, iconProvider_->icon(QFileIconProvider::Desktop));
  desktop->setData(0, PathRole, QString());
  desktop->setData(0, PopulatedRole, true);

  const QString home = QDir::homePath();
  AddFolderNode(desktop, QDir(home).dirName().isEmpty() ? home : QDir(home).dirName(), home);
  AddFolderNode(desktop, QStringLiteral("/"), QStringLiteral("/"));
  QStringList seen = {QStringLiteral("/"), home};
  for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
    const QString root = volume.rootPath();
    if (!volume.isValid() || !volume.isReady() || IsPseudoFileSystem(volume) || seen.contains(root))
      continue;
    seen.append(root);
    const QString caption = volume.displayName().isEmpty() ? root : volume.displayName();
    AddFolderNode(desktop, caption == root ? root : caption + QStringLiteral(" (") + root + QLatin1Char(')'),
                  root);
  }
  desktop->setExpanded(true);
  setCurrentItem(desktop);
}

std::string TShellFolderTree::NodePath(const QTreeWidgetItem* node) {
  if (node == nullptr) return {};
  return QStringToPath(node->data(0, PathRole).toString());
}

std::string TShellFolderTree::SelectedPath() const { return NodePath(currentItem()); }

bool TShellFolderTree::SelectPath(const std::string& path) {
  const QString target = QDir::cleanPath(PathToQString(path));
  QTreeWidgetItem* best = nullptr;
  QTreeWidgetItem* desktop = DesktopNode();
  if (desktop == nullptr) return false;
  // Start from the deepest top folder that contains the target.
  for (int i = 0; i < desktop->childCount(); ++i) {
    QTreeWidgetItem* child = desktop->child(i);
    const QString root = child->data(0, PathRole).toString();
    const bool contains = target == root || root == QStringLiteral("/") ||
                          target.startsWith(root.endsWith(QLatin1Char('/')) ? root : root + QLatin1Char('/'));
    if (contains && (best == nullptr || root.size() > best->data(0, PathRole).toString().size()))
      best = child;
  }
  while (best != nullptr && best->data(0, PathRole).toString() != target) {
    PopulateChildren(best);
    best->setExpanded(true);
    QTreeWidgetItem* next = nullptr;
    for (int i = 0; i < best->childCount() && next == nullptr; ++i) {
      const QString childPath = best->child(i)->data(0, PathRole).toString();
      if (childPath.isEmpty()) continue;
      if (target == childPath || target.startsWith(childPath + QLatin1Char('/'))) next = best->child(i);
    }
    best = next;
  }
  if (best == nullptr) return false;
  setCurrentItem(best);
  scrollToItem(best);
  return true;
}

QTreeWidgetItem* TShellFolderTree::AddFolderNode(QTreeWidgetItem* parent, const QString& caption,
                                                 const QString& path) {
  auto* node = new QTreeWidgetItem(parent, {caption});
  node->setData(0, PathRole, path);
  node->setData(0, PopulatedRole, false);
  node->setIcon(0, iconProvider_->icon(QFileIconProvider::Folder));
  node->setToolTip(0, path);
  if (HasSubfolders(path)) {
    auto* placeholder = new QTreeWidgetItem(node, {QString()});
    placeholder->setData(0, PlaceholderRole, true);
    placeholder->setFlags(Qt::NoItemFlags);
  }
  return node;
}

void TShellFolderTree::PopulateChildren(QTreeWidgetItem* node) {
  if (node == nullptr || node->data(0, PopulatedRole).toBool()) return;
  node->setData(0, PopulatedRole, true);
  qDeleteAll(node->takeChildren());
  const QString path = node->data(0, PathRole).toString();
  QDir dir(path);
  // Folder links are listed like folders (the walk guards against link cycles); hidden folders
  // are left out, as file managers do.
  const QStringList names =
      dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase | QDir::LocaleAware);
  for (const QString& name : names) AddFolderNode(node, name, dir.filePath(name));
}

bool TShellFolderTree::HasSubfolders(const QString& path) {
  QDirIterator it(path, QDir::Dirs | QDir::NoDotAndDotDot);
  return it.hasNext();
}

void TShellFolderTree::mousePressEvent(QMouseEvent* event) {
  // The right button selects too, as the shell's own tree does.
  if (event->button() == Qt::RightButton) {
    if (QTreeWidgetItem* item = itemAt(event->position().toPoint()); item != nullptr) setCurrentItem(item);
  }
  QTreeWidget::mousePressEvent(event);
}

void TShellFolderTree::contextMenuEvent(QContextMenuEvent* event) {
  QTreeWidgetItem* item = itemAt(event->pos());
  const QString path = item != nullptr ? item->data(0, PathRole).toString() : QString();
  if (path.isEmpty()) return;
  QMenu menu(this);
  menu.addAction(QStringLiteral("Open"), this,
                 [path] { QDesktopServices::openUrl(QUrl::fromLocalFile(path)); });
  menu.addAction(QStringLiteral("Copy Path"), this,
                 [path] { QApplication::clipboard()->setText(path); });
  menu.exec(event->globalPos());
}

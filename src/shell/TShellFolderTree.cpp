#include "shell/TShellFolderTree.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDesktopServices>
#include <QDir>
#include <QHeaderView>
#include <QMenu>
#include <QMouseEvent>
#include <QStorageInfo>
#include <QUrl>

#include <algorithm>

#include "app/ByteString.h"
#include "core/UnitGlobals.h"
#include "scan/UnitScan.h"
#include "shell/ShellIcons.h"

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

QByteArray Bytes(const std::string& path) { return QByteArray(path.data(), static_cast<qsizetype>(path.size())); }

std::string PathOf(const QTreeWidgetItem* node) {
  const QByteArray bytes = node->data(0, PathRole).toByteArray();
  return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

// The path without repeated or trailing separators ("/" stays "/").
std::string Normalised(const std::string& path) {
  std::string result;
  for (const char c : path) {
    if (c == '/' && !result.empty() && result.back() == '/') continue;
    result += c;
  }
  while (result.size() > 1 && result.back() == '/') result.pop_back();
  return result;
}

bool IsInside(const std::string& target, const std::string& folder) {
  if (folder.empty()) return false;
  if (target == folder || folder == "/") return true;
  return target.size() > folder.size() && target.compare(0, folder.size(), folder) == 0 &&
         target[folder.size()] == '/';
}

}  // namespace

TShellFolderTree::TShellFolderTree(QWidget* parent)
    : QTreeWidget(parent) {
  setHeaderHidden(true);
  setColumnCount(1);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setUniformRowHeights(true);
  // Long names are shown whole: the column grows to its widest name and the tree scrolls.
  header()->setStretchLastSection(false);
  header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
  setTextElideMode(Qt::ElideNone);
  setContextMenuPolicy(Qt::DefaultContextMenu);
  connect(this, &QTreeWidget::itemExpanded, this, &TShellFolderTree::PopulateChildren);
  connect(this, &QTreeWidget::currentItemChanged, this, [this] { Q_EMIT SelectionChanged(); });
}


void TShellFolderTree::RootAtDesktop() {
  clear();
  auto* desktop = new QTreeWidgetItem(this, {QStringLiteral("Desktop")});
  desktop->setIcon(0, DesktopIcon());
  desktop->setData(0, PathRole, QByteArray());
  desktop->setData(0, PopulatedRole, true);

  const QString home = QDir::homePath();
  AddFolderNode(desktop, QDir(home).dirName().isEmpty() ? home : QDir(home).dirName(), QStringToPath(home));
  AddFolderNode(desktop, QStringLiteral("/"), "/");
  QStringList seen = {QStringLiteral("/"), home};
  for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
    const QString root = volume.rootPath();
    if (!volume.isValid() || !volume.isReady() || IsPseudoFileSystem(volume) || seen.contains(root))
      continue;
    seen.append(root);
    const QString caption = volume.displayName().isEmpty() ? root : volume.displayName();
    AddFolderNode(desktop, caption == root ? root : caption + QStringLiteral(" (") + root + QLatin1Char(')'),
                  QStringToPath(root));
  }
  desktop->setExpanded(true);
  setCurrentItem(desktop);
}

std::string TShellFolderTree::NodePath(const QTreeWidgetItem* node) {
  if (node == nullptr) return {};
  return PathOf(node);
}

std::string TShellFolderTree::SelectedPath() const { return NodePath(currentItem()); }

bool TShellFolderTree::SelectPath(const std::string& path) {
  const std::string target = Normalised(path);
  QTreeWidgetItem* best = nullptr;
  QTreeWidgetItem* desktop = DesktopNode();
  if (desktop == nullptr || target.empty()) return false;
  // Start from the deepest top folder that contains the target.
  for (int i = 0; i < desktop->childCount(); ++i) {
    QTreeWidgetItem* child = desktop->child(i);
    const std::string root = Normalised(PathOf(child));
    if (IsInside(target, root) && (best == nullptr || root.size() > Normalised(PathOf(best)).size())) best = child;
  }
  while (best != nullptr && Normalised(PathOf(best)) != target) {
    PopulateChildren(best);
    best->setExpanded(true);
    QTreeWidgetItem* next = nullptr;
    for (int i = 0; i < best->childCount() && next == nullptr; ++i) {
      if (IsInside(target, PathOf(best->child(i)))) next = best->child(i);
    }
    best = next;
  }
  if (best == nullptr) return false;
  setCurrentItem(best);
  scrollToItem(best);
  return true;
}

QTreeWidgetItem* TShellFolderTree::AddFolderNode(QTreeWidgetItem* parent, const QString& caption,
                                                 const std::string& path) {
  auto* node = new QTreeWidgetItem(parent, {caption});
  node->setData(0, PathRole, Bytes(path));
  node->setData(0, PopulatedRole, false);
  node->setIcon(0, FolderIcon());
  node->setToolTip(0, PathToQString(path));
  if (HasSubfolderNames(path, false)) {
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
  const std::string path = PathOf(node);
  // The walk's own listing: a name that is not valid UTF-8 is a folder like any other. Folder
  // links are listed like folders (the walk guards against link cycles); hidden folders are left
  // out, as file managers do.
  struct TChild {
    QString Caption;
    std::string Name;
  };
  std::vector<TChild> children;
  for (std::string& name : ListSubfolderNames(path, false)) children.push_back({PathToQString(name), std::move(name)});
  std::sort(children.begin(), children.end(), [](const TChild& a, const TChild& b) {
    const int c = QString::localeAwareCompare(a.Caption.toCaseFolded(), b.Caption.toCaseFolded());
    return c != 0 ? c < 0 : a.Name < b.Name;
  });
  const std::string prefix = WithTrailingBackslash(path);
  for (const TChild& child : children) AddFolderNode(node, child.Caption, prefix + child.Name);
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
  const QString path = item != nullptr ? PathToQString(PathOf(item)) : QString();
  if (path.isEmpty()) return;
  QMenu menu(this);
  menu.addAction(QStringLiteral("Open"), this,
                 [path] { QDesktopServices::openUrl(QUrl::fromLocalFile(path)); });
  menu.addAction(QStringLiteral("Copy Path"), this,
                 [path] { QApplication::clipboard()->setText(path); });
  menu.exec(event->globalPos());
}

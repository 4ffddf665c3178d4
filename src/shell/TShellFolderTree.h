#pragma once
// The folder tree of the left pane: a "Desktop" root (no file-system path) with the home folder,
// the file system root and the mounted volumes below it. Folders are listed lazily, when a node
// is first expanded, and only folders are shown. Each node keeps its path as the file system's
// bytes, so a folder whose name is not valid UTF-8 is listed, chosen and scanned as it is.

#include <QTreeWidget>
#include <string>


class TShellFolderTree : public QTreeWidget {
  Q_OBJECT

 public:
  explicit TShellFolderTree(QWidget* parent = nullptr);

  // Rebuilds the tree from the desktop root and selects that root.
  void RootAtDesktop();

  // File-system path of a node: empty for the desktop root and for no node.
  static std::string NodePath(const QTreeWidgetItem* node);
  std::string SelectedPath() const;

  // Expands the tree down to the folder and selects it; false when it cannot be reached.
  bool SelectPath(const std::string& path);
  QTreeWidgetItem* DesktopNode() const { return topLevelItem(0); }

 Q_SIGNALS:
  // The selected node changed (a scan follows unless the main window is still being created).
  void SelectionChanged();

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  QTreeWidgetItem* AddFolderNode(QTreeWidgetItem* parent, const QString& caption, const std::string& path);
  void PopulateChildren(QTreeWidgetItem* node);
};

#pragma once
// What the desktop offers for one file of the list: its context menu (Open, Open Containing
// Folder, Copy Path, Properties), its default action, and the file type's description.

#include <QObject>
#include <QPoint>
#include <QString>
#include <string>

class QMenu;
class QWidget;

class TFileShellActions : public QObject {
  Q_OBJECT

 public:
  // Menus, boxes and the Properties dialog are shown over the owner.
  explicit TFileShellActions(QWidget* owner);

  // Pops up the file's menu at the screen position and runs the chosen entry.
  void ShowContextMenu(const QString& path, const QPoint& globalPos);
  // The menu itself, for callers (and tests) that show it their own way; the caller owns it.
  QMenu* CreateContextMenu(const QString& path, QWidget* parent);

  // Opens the file in the program the desktop associates with it (the default action).
  // A failure is reported in a box and returned as false.
  bool OpenDefault(const QString& path);
  bool OpenContainingFolder(const QString& path);
  static void CopyPath(const QString& path);
  void ShowProperties(const QString& path);

 private:
  QWidget* Owner_;
};

// The file type's description as the MIME database gives it for the file name ("MP3 audio"),
// at most 80 characters, empty when the type is unknown. Installed as the core's type name
// provider; it never opens the file, so sorting by type stays cheap.
std::string MimeTypeDescription(const std::string& path);

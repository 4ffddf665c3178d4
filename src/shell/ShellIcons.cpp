#include "shell/ShellIcons.h"

#include <QFileIconProvider>
#include <QFileInfo>

namespace {

const QFileIconProvider& Provider() {
  static const QFileIconProvider provider;
  return provider;
}

}  // namespace

// The kept icons are never destroyed: an icon must not outlive the application object, and these
// last the run.
QIcon FolderIcon() {
  static const QIcon* const icon = new QIcon(Provider().icon(QAbstractFileIconProvider::Folder));
  return *icon;
}

QIcon DesktopIcon() {
  static const QIcon* const icon = new QIcon(Provider().icon(QAbstractFileIconProvider::Desktop));
  return *icon;
}

QIcon LocationIcon(const QString& location) {
  const QFileInfo info(location);
  if (info.isAbsolute() && info.exists()) return Provider().icon(info);
  return FolderIcon();
}

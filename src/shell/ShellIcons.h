#pragma once
// Icons of places as the desktop shows them, shared by the folder trees and the location lists.
// The folder and desktop icons are made once for the whole run: each making decodes the style's
// pictures anew, and the trees ask for them node by node.

#include <QIcon>
#include <QString>

QIcon FolderIcon();
QIcon DesktopIcon();
// A location in a list: the file system's own icon for a local entry that exists, the folder
// icon for anything else (typos, unmounted shares), without a file-system wait.
QIcon LocationIcon(const QString& location);

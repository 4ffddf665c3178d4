#include "scan/TFileShellActions.h"

#include <QClipboard>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHash>
#include <QMenu>
#include <QMimeDatabase>
#include <QUrl>
#include <QWidget>
#include <memory>
#include <mutex>

#include "app/ByteString.h"
#include "app/UiPrompts.h"
#include "scan/FormFileProperties.h"

namespace {

constexpr qsizetype MaxTypeNameLength = 80;

}  // namespace

TFileShellActions::TFileShellActions(QWidget* owner) : QObject(owner), Owner_(owner) {}

QMenu* TFileShellActions::CreateContextMenu(const QString& path, QWidget* parent) {
  auto* menu = new QMenu(parent);
  menu->setObjectName(QStringLiteral("popFileShell"));
  QAction* open = menu->addAction(QStringLiteral("Open"), this, [this, path] { OpenDefault(path); });
  menu->setDefaultAction(open);
  menu->addAction(QStringLiteral("Open Containing Folder"), this,
                  [this, path] { OpenContainingFolder(path); });
  menu->addSeparator();
  menu->addAction(QStringLiteral("Copy Path"), this, [path] { CopyPath(path); });
  menu->addSeparator();
  menu->addAction(QStringLiteral("Properties"), this, [this, path] { ShowProperties(path); });
  return menu;
}

void TFileShellActions::ShowContextMenu(const QString& path, const QPoint& globalPos) {
  std::unique_ptr<QMenu> menu(CreateContextMenu(path, Owner_));
  menu->exec(globalPos);
}

bool TFileShellActions::OpenDefault(const QString& path) {
  if (!QFileInfo::exists(path)) {
    ShowFailure(Owner_, QStringLiteral("Unable to open\r\n\r\n") % path %
                            QStringLiteral("\r\n\r\nThe file no longer exists."));
    return false;
  }
  if (QDesktopServices::openUrl(QUrl::fromLocalFile(path))) return true;
  ShowFailure(Owner_, QStringLiteral("Unable to open\r\n\r\n") % path %
                          QStringLiteral("\r\n\r\nNo program is associated with this type of file."));
  return false;
}

bool TFileShellActions::OpenContainingFolder(const QString& path) {
  const QString folder = QFileInfo(path).absolutePath();
  if (QDesktopServices::openUrl(QUrl::fromLocalFile(folder))) return true;
  ShowFailure(Owner_, QStringLiteral("Unable to open the folder\r\n\r\n") %
                          QDir::toNativeSeparators(folder));
  return false;
}

void TFileShellActions::CopyPath(const QString& path) {
  QClipboard* clipboard = QGuiApplication::clipboard();
  if (clipboard != nullptr) clipboard->setText(path);
}

void TFileShellActions::ShowProperties(const QString& path) {
  TfrmFileProperties dialog(path, Owner_);
  dialog.exec();
}

std::string MimeTypeDescription(const std::string& path) {
  static const QMimeDatabase database;
  const QMimeType type = database.mimeTypeForFile(PathToQString(path), QMimeDatabase::MatchExtension);
  if (!type.isValid() || type.isDefault()) return {};
  // Every look-up hands back a fresh type whose description is read from the database again;
  // a list or report of thousands of files of one type asks for the same few texts.
  // Reports ask from several threads at once; the database locks itself, the texts kept here
  // are locked by this function.
  static QHash<QString, std::string> descriptions;
  static std::mutex descriptionsLock;
  const QString name = type.name();
  const std::lock_guard<std::mutex> lock(descriptionsLock);
  if (const auto known = descriptions.constFind(name); known != descriptions.constEnd()) return *known;
  QString comment = type.comment();
  if (comment.size() > MaxTypeNameLength) {
    qsizetype cut = MaxTypeNameLength;
    // Never split a character made of two UTF-16 units.
    if (comment.at(cut - 1).isHighSurrogate()) --cut;
    comment.truncate(cut);
  }
  return *descriptions.insert(name, ToStdString(comment));
}

#include "shell/TProgramModules.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibrary>

namespace {

QStringList& FolderOverride() {
  static QStringList folders;
  return folders;
}

bool InsideBuildTree(const QString& folder) {
  const QString build = QDir(QStringLiteral(SONARVEX_BUILD_DIR)).canonicalPath();
  const QString path = QDir(folder).canonicalPath();
  return !build.isEmpty() && (path == build || path.startsWith(build + QLatin1Char('/')));
}

}  // namespace

void SetModuleFolders(const QStringList& folders) { FolderOverride() = folders; }

QStringList ModuleFolders() {
  if (!FolderOverride().isEmpty()) return FolderOverride();
  const QString own = QCoreApplication::applicationDirPath();
  QStringList folders{own};
  if (InsideBuildTree(own)) folders << QStringLiteral(SONARVEX_BUILD_PROGRAM_DIR);
  return folders;
}

TModuleEntry LoadModuleEntry(const QString& fileName, const char* versionEntry, int version, const char* createEntry) {
  using TVersionFunction = int (*)();
  TModuleEntry result;
  const QStringList folders = ModuleFolders();
  for (const QString& folder : folders) {
    const QString path = QDir(folder).filePath(fileName);
    if (!QFileInfo::exists(path)) continue;
    QLibrary library(path);
    if (!library.load()) {
      if (result.Failure.isEmpty()) result.Failure = library.errorString();
      continue;
    }
    const auto answer = reinterpret_cast<TVersionFunction>(library.resolve(versionEntry));
    const QFunctionPointer create = library.resolve(createEntry);
    if (answer == nullptr || create == nullptr || answer() != version) {
      if (result.Failure.isEmpty()) result.Failure = path + QStringLiteral(" does not belong to this version of the program.");
      continue;
    }
    result.Create = create;
    return result;
  }
  if (result.Failure.isEmpty())
    result.Failure = fileName + QStringLiteral(" was not found in ") + folders.join(QStringLiteral(", ")) + QLatin1Char('.');
  return result;
}

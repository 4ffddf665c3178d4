#include "scan/TFileShellActions.h"

#include <QClipboard>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QFile>
#include <QHash>
#include <QStandardPaths>
#include <QMenu>
#include <QMimeDatabase>
#include <QUrl>
#include <QWidget>
#include <algorithm>
#include <array>
#include <cctype>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string_view>
#include <vector>

#include "app/ByteString.h"
#include "app/UiPrompts.h"
#include "scan/FormFileProperties.h"

namespace {

constexpr qsizetype MaxTypeNameLength = 80;

const QMimeDatabase& MimeDatabase() {
  static const QMimeDatabase database;
  return database;
}

std::string_view FileNameOf(std::string_view path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

// A name from its first dot on: for most names, all the database's patterns look at.
std::string_view EndingOf(std::string_view name) {
  const std::size_t dot = name.find('.');
  return dot == std::string_view::npos ? std::string_view() : name.substr(dot);
}

// The database's patterns that may match a name by more than its ending: whole names
// ("makefile"), beginnings ("readme*", "[0-9][0-9][0-9].vdr") and endings that reach into the
// part before the first dot. A pattern "*" + tail, where the tail begins with a dot or holds
// no dot and no wildcard, can only ever see the ending. Read from the database's own pattern
// lists ("weight:type:pattern[:flags]" lines), in lower case; nullopt when there are none to
// read (the database then decides every name itself). Most begin with a plain byte and can only
// match names that begin with it: they are kept by that byte.
struct TStemPatterns {
  std::array<std::vector<std::string>, 256> ByFirstByte;
  std::vector<std::string> Others;  // beginning with a wildcard or a set
};

std::optional<TStemPatterns> ReadStemPatterns() {
  const QStringList lists = QStandardPaths::locateAll(QStandardPaths::GenericDataLocation, QStringLiteral("mime/globs2"));
  if (lists.isEmpty()) return std::nullopt;
  TStemPatterns found;
  for (const QString& list : lists) {
    QFile file(list);
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
    while (!file.atEnd()) {
      const QList<QByteArray> fields = file.readLine().trimmed().split(':');
      if (fields.size() < 3 || fields[0].startsWith('#') || fields[2].isEmpty()) continue;
      const QByteArray& pattern = fields[2];
      const QByteArray tail = pattern.mid(1);
      const bool byEnding = pattern.startsWith('*') && !tail.contains('*') &&
                            (tail.startsWith('.') || (!tail.contains('.') && !tail.contains('?') && !tail.contains('[')));
      if (byEnding) continue;
      std::string lower = pattern.toLower().toStdString();
      const auto first = static_cast<unsigned char>(lower[0]);
      if (first == '*' || first == '?' || first == '[')
        found.Others.push_back(std::move(lower));
      else
        found.ByFirstByte[first].push_back(std::move(lower));
    }
  }
  return found;
}

const std::optional<TStemPatterns>& StemPatterns() {
  static const std::optional<TStemPatterns> patterns = ReadStemPatterns();
  return patterns;
}

// Where the pattern element at `at` ends when it matches c ("?", "[a-z0-9]", "[!x]" or a
// plain byte); npos when it does not match. An unclosed "[" is a plain byte.
std::size_t ElementEnd(std::string_view pattern, std::size_t at, char c) {
  if (pattern[at] == '?') return at + 1;
  const std::size_t close = pattern[at] == '[' ? pattern.find(']', at + 2) : std::string_view::npos;
  if (close == std::string_view::npos) return pattern[at] == c ? at + 1 : std::string_view::npos;
  std::size_t i = at + 1;
  const bool negated = pattern[i] == '!' || pattern[i] == '^';
  if (negated) ++i;
  bool found = false;
  for (; i < close; ++i) {
    if (i + 2 < close && pattern[i + 1] == '-') {
      found = found || (c >= pattern[i] && c <= pattern[i + 2]);
      i += 2;
    } else {
      found = found || c == pattern[i];
    }
  }
  return found != negated ? close + 1 : std::string_view::npos;
}

// A glob pattern ("*", "?", "[...]") against a whole name, byte by byte: the database's
// patterns are plain ASCII.
bool GlobMatches(std::string_view pattern, std::string_view name) {
  std::size_t p = 0;
  std::size_t n = 0;
  std::size_t starAt = std::string_view::npos;
  std::size_t starName = 0;
  while (n < name.size()) {
    if (p < pattern.size() && pattern[p] == '*') {
      starAt = ++p;
      starName = n;
      continue;
    }
    if (p < pattern.size()) {
      if (const std::size_t end = ElementEnd(pattern, p, name[n]); end != std::string_view::npos) {
        p = end;
        ++n;
        continue;
      }
    }
    if (starAt == std::string_view::npos) return false;
    p = starAt;
    n = ++starName;
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

bool StemMayDecide(std::string_view name) {
  const std::optional<TStemPatterns>& patterns = StemPatterns();
  if (!patterns) return true;
  if (name.empty()) return false;
  std::string lower(name);
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  const auto matches = [&lower](const std::vector<std::string>& list) {
    return std::any_of(list.begin(), list.end(), [&lower](const std::string& p) { return GlobMatches(p, lower); });
  };
  return matches(patterns->ByFirstByte[static_cast<unsigned char>(lower[0])]) || matches(patterns->Others);
}

// A list or report of thousands of files of one type asks for the same few texts, and the
// database weighs every pattern for every name and reads a type's description anew each time:
// descriptions are kept by type, and by name ending for the endings that decide alone. Reports
// ask from several threads at once.
struct TDescriptions {
  std::mutex Lock;
  QHash<QString, std::string> ByType;
  std::map<std::string, std::string, std::less<>> ByEnding;
};

TDescriptions& Descriptions() {
  static TDescriptions descriptions;
  return descriptions;
}

// Endings longer than this are a title's dot ("Vol. 2.mp3"), seldom met twice.
constexpr std::size_t MaxKeptEnding = 16;

// Called with the descriptions locked.
std::string LookUpDescription(const std::string& path) {
  const QMimeType type = MimeDatabase().mimeTypeForFile(PathToQString(path), QMimeDatabase::MatchExtension);
  if (!type.isValid() || type.isDefault()) return {};
  const QString name = type.name();
  if (const auto known = Descriptions().ByType.constFind(name); known != Descriptions().ByType.constEnd()) return *known;
  QString comment = type.comment();
  if (comment.size() > MaxTypeNameLength) {
    qsizetype cut = MaxTypeNameLength;
    // Never split a character made of two UTF-16 units.
    if (comment.at(cut - 1).isHighSurrogate()) --cut;
    comment.truncate(cut);
  }
  return *Descriptions().ByType.insert(name, ToStdString(comment));
}

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
  const std::string_view name = FileNameOf(path);
  const std::string_view ending = EndingOf(name);
  const bool byEnding = !ending.empty() && ending.size() <= MaxKeptEnding && !StemMayDecide(name);
  TDescriptions& descriptions = Descriptions();
  const std::lock_guard<std::mutex> lock(descriptions.Lock);
  if (byEnding) {
    if (const auto known = descriptions.ByEnding.find(ending); known != descriptions.ByEnding.end()) return known->second;
  }
  std::string description = LookUpDescription(path);
  if (byEnding) descriptions.ByEnding.emplace(std::string(ending), description);
  return description;
}

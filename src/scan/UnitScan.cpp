#include "scan/UnitScan.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <memory>
#include <set>
#include <utility>
#include <vector>

namespace {

enum class TEntryKind { Folder, File, Other };

struct TDirCloser {
  void operator()(DIR* dir) const { ::closedir(dir); }
};
using TDirHandle = std::unique_ptr<DIR, TDirCloser>;

char UpperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

bool IsDotOrDotDot(const char* name) {
  return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

TEntryKind KindOfMode(mode_t mode) {
  if (S_ISDIR(mode)) return TEntryKind::Folder;
  if (S_ISREG(mode)) return TEntryKind::File;
  return TEntryKind::Other;
}

// Links count as what they point to, so a link to a folder is a folder. A dangling link is still
// an entry of the folder and stays a candidate, as any non-folder entry does. Pipes, sockets and
// devices are not files at all: offering one as a media file would make the first reader block.
TEntryKind KindOfEntry(DIR* dir, const dirent& entry) {
  switch (entry.d_type) {
    case DT_DIR: return TEntryKind::Folder;
    case DT_REG: return TEntryKind::File;
    case DT_LNK:
    case DT_UNKNOWN: break;
    default: return TEntryKind::Other;
  }
  struct stat info {};
  if (::fstatat(::dirfd(dir), entry.d_name, &info, 0) == 0) return KindOfMode(info.st_mode);
  if (::fstatat(::dirfd(dir), entry.d_name, &info, AT_SYMLINK_NOFOLLOW) == 0 && S_ISLNK(info.st_mode))
    return TEntryKind::File;
  return TEntryKind::Other;  // vanished between listing and looking
}

struct TWalk {
  TFoundFileList& Result;
  const std::string& Filter;
  const TScanProgressEvent& Progress;
  std::set<std::pair<dev_t, ino_t>> Entered;  // recursive walk only
};

// Lists one folder: matching, progress and cancel check per entry. When subfolders is given, the
// folder's subfolders are collected for the caller (one listing serves both passes) and a folder
// already entered in this walk is treated as empty. Returns false when the walk was cancelled.
bool ListFolder(TWalk& walk, const std::string& folder, std::vector<std::string>* subfolders) {
  const TDirHandle dir(::opendir(folder.c_str()));
  if (!dir) return true;
  if (subfolders != nullptr) {
    struct stat info {};
    if (::fstat(::dirfd(dir.get()), &info) != 0) return true;
    if (!walk.Entered.emplace(info.st_dev, info.st_ino).second) return true;
  }
  const std::string prefix = WithTrailingBackslash(folder);
  std::string entryPath;
  while (const dirent* entry = ::readdir(dir.get())) {
    if (IsDotOrDotDot(entry->d_name)) continue;
    const TEntryKind kind = KindOfEntry(dir.get(), *entry);
    if (kind == TEntryKind::File && MatchesScanFilter(entry->d_name, walk.Filter))
      walk.Result.push_back(TFoundFile{prefix + entry->d_name, 0});
    else if (kind == TEntryKind::Folder && subfolders != nullptr)
      subfolders->emplace_back(entry->d_name);
    if (walk.Progress) {
      entryPath.assign(prefix).append(entry->d_name);
      walk.Progress(folder, entryPath);
      if (ScanCancelRequested) return false;
    }
  }
  return true;
}

bool ListTree(TWalk& walk, const std::string& folder) {
  if (walk.Progress) {
    walk.Progress(folder, std::string());
    if (ScanCancelRequested) return false;
  }
  std::vector<std::string> subfolders;
  if (!ListFolder(walk, folder, &subfolders)) return false;
  const std::string prefix = WithTrailingBackslash(folder);
  for (const auto& name : subfolders)
    if (!ListTree(walk, prefix + name)) return false;
  return true;
}

// Calls found(name) for each subfolder of the folder until it returns false.
template <typename TFound>
void ForEachSubfolder(const std::string& folder, bool hidden, TFound&& found) {
  const TDirHandle dir(::opendir(folder.c_str()));
  if (!dir) return;
  while (const dirent* entry = ::readdir(dir.get())) {
    if (IsDotOrDotDot(entry->d_name) || (!hidden && entry->d_name[0] == '.')) continue;
    if (KindOfEntry(dir.get(), *entry) == TEntryKind::Folder && !found(entry->d_name)) return;
  }
}

}  // namespace

std::vector<std::string> ListSubfolderNames(const std::string& folder, bool hidden) {
  std::vector<std::string> names;
  ForEachSubfolder(folder, hidden, [&names](const char* name) {
    names.emplace_back(name);
    return true;
  });
  return names;
}

bool HasSubfolderNames(const std::string& folder, bool hidden) {
  bool any = false;
  ForEachSubfolder(folder, hidden, [&any](const char*) {
    any = true;
    return false;
  });
  return any;
}

bool MatchesScanFilter(std::string_view entryName, std::string_view filter) {
  const auto dot = entryName.rfind('.');
  if (dot == std::string_view::npos) return false;
  const std::string_view extension = entryName.substr(dot);
  const std::size_t length = extension.size();
  for (auto quote = filter.find('"'); quote != std::string_view::npos && quote + length + 1 < filter.size();
       quote = filter.find('"', quote + 1)) {
    if (filter[quote + length + 1] != '"') continue;
    std::size_t i = 0;
    while (i < length && UpperAscii(extension[i]) == filter[quote + 1 + i]) ++i;
    if (i == length) return true;
  }
  return false;
}

void ListMatchingFiles(TFoundFileList& result, const std::string& folder, const std::string& filter,
                       const TScanProgressEvent& progress) {
  TWalk walk{result, filter, progress, {}};
  ListFolder(walk, folder, nullptr);
}

void ListMatchingFilesRecursive(TFoundFileList& result, const std::string& folder,
                                const std::string& filter, const TScanProgressEvent& progress) {
  TWalk walk{result, filter, progress, {}};
  ListTree(walk, folder);
}

std::string MinimizeFolderName(const std::string& folder, int maxWidth,
                               const TTextWidthMeasure& measure) {
  if (measure(folder) <= maxWidth) return folder;
  std::size_t begin = 0;
  while (begin < folder.size() && folder[begin] == '/') ++begin;
  std::size_t end = folder.size();
  while (end > begin && folder[end - 1] == '/') --end;
  if (begin == end) return folder;  // the root alone
  const std::string root = begin > 0 ? "/" : "";
  const std::string trailing = folder.substr(end);
  const std::string body = folder.substr(begin, end - begin);
  const auto lastSlash = body.rfind('/');
  const std::string last = lastSlash == std::string::npos ? body : body.substr(lastSlash + 1);
  if (lastSlash != std::string::npos) {
    // Cut leading names, never the last one: the fewest cuts that fit. Each cut makes the text
    // shorter, so the places are searched by halving; a deep folder (thousands of names) is
    // measured a dozen times, not once per name.
    std::vector<std::size_t> cuts;
    for (std::size_t cut = body.find('/'); cut != std::string::npos && cut < lastSlash; cut = body.find('/', cut + 1))
      cuts.push_back(cut);
    const auto candidateAt = [&](std::size_t k) { return root + "..." + body.substr(cuts[k]) + trailing; };
    std::size_t low = 0;
    std::size_t high = cuts.size();  // first place known to fit (cuts.size(): none known)
    while (low < high) {
      const std::size_t middle = low + (high - low) / 2;
      if (measure(candidateAt(middle)) <= maxWidth)
        high = middle;
      else
        low = middle + 1;
    }
    if (high < cuts.size()) return candidateAt(high);
    const std::string candidate = root + ".../" + last + trailing;
    if (measure(candidate) <= maxWidth) return candidate;
    if (!root.empty()) {
      const std::string withoutRoot = ".../" + last + trailing;
      if (measure(withoutRoot) <= maxWidth) return withoutRoot;
    }
  }
  return last;
}

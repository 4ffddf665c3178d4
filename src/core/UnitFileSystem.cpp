#include "core/UnitFileSystem.h"

#include <pwd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <vector>

namespace {

// The folder above an absolute path; the root stays the root.
std::string ParentFolder(std::string folder) {
  while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  const std::size_t slash = folder.find_last_of('/');
  if (slash == std::string::npos) return folder;
  folder.erase(slash == 0 ? 1 : slash);
  return folder;
}

std::string WorkingFolder() {
  std::vector<char> buffer(4096);
  while (::getcwd(buffer.data(), buffer.size()) == nullptr) {
    if (errno != ERANGE || buffer.size() > (1u << 20)) return {};
    buffer.resize(buffer.size() * 2);
  }
  return buffer.data();
}

}  // namespace

bool FileExistsByFind(const std::string& path, struct stat& found) {
  if (path.empty() || path.back() == '/') return false;
  // An embedded NUL would silently shorten the name the system sees.
  if (path.find('\0') != std::string::npos) return false;
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0) return false;
  found = st;
  return true;
}

bool FileExistsByFind(const std::string& path) {
  struct stat ignored {};
  return FileExistsByFind(path, ignored);
}

std::string AbsoluteAgainst(std::string_view path, std::string_view base) {
  if (path.empty() || path.front() == '/' || base.empty()) return std::string(path);
  std::string folder(base);
  for (;;) {
    if (path == "." || path == "..") {
      if (path == "..") folder = ParentFolder(folder);
      return folder;
    }
    std::size_t step = 0;
    if (path.starts_with("./")) {
      step = 2;
    } else if (path.starts_with("../")) {
      folder = ParentFolder(folder);
      step = 3;
    } else {
      break;
    }
    path.remove_prefix(step);
    while (path.starts_with('/')) path.remove_prefix(1);
    if (path.empty()) return folder;
  }
  if (folder.back() != '/') folder += '/';
  return folder + std::string(path);
}

std::string AbsoluteFromWorkingFolder(std::string_view path) {
  if (path.empty() || path.front() == '/') return std::string(path);
  return AbsoluteAgainst(path, WorkingFolder());
}

std::string HomeFolder() {
  if (const char* home = std::getenv("HOME"); home != nullptr && home[0] == '/') return home;
  std::vector<char> buffer(16384);
  struct passwd entry {};
  struct passwd* found = nullptr;
  if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found != nullptr &&
      found->pw_dir != nullptr && found->pw_dir[0] == '/')
    return found->pw_dir;
  return {};
}

std::string AbsoluteTypedLocation(std::string_view typed) {
  if (typed == "~" || typed.starts_with("~/")) {
    std::string home = HomeFolder();
    if (!home.empty()) {
      while (home.size() > 1 && home.back() == '/') home.pop_back();
      typed.remove_prefix(1);
      return home == "/" && !typed.empty() ? std::string(typed) : home + std::string(typed);
    }
  }
  return AbsoluteFromWorkingFolder(typed);
}

bool FileIsMissing(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) != 0 && errno == ENOENT;
}

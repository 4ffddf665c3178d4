#include "core/UnitFileSystem.h"

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

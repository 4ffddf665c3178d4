#include "core/UnitFileSystem.h"

#include <sys/stat.h>

bool FileExistsByFind(const std::string& path) {
  if (path.empty() || path.back() == '/') return false;
  // An embedded NUL would silently shorten the name the system sees.
  if (path.find('\0') != std::string::npos) return false;
  struct stat st {};
  return ::lstat(path.c_str(), &st) == 0;
}

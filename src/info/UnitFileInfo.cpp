#include "info/UnitFileInfo.h"

#include <fcntl.h>
#include <sys/stat.h>

namespace {

TFileTime FromStatx(const struct statx_timestamp& ts) {
  return FileTimeFromUnix(ts.tv_sec, ts.tv_nsec);
}

std::uint32_t AttributesOf(const std::string& path, std::uint32_t mode) {
  std::uint32_t bits = 0;
  if ((mode & S_IWUSR) == 0) {
    bits |= AttrReadOnly;
  }
  if (FileNamePart(path).starts_with('.')) {
    bits |= AttrHidden;
  }
  if (S_ISSOCK(mode) || S_ISCHR(mode) || S_ISBLK(mode) || S_ISFIFO(mode)) {
    bits |= AttrSystem;
  }
  if (S_ISDIR(mode)) {
    bits |= AttrDirectory;
  }
  return bits;
}

}  // namespace

TFileInfo LookUpFile(const std::string& path) {
  if (path.empty() || path.find('\0') != std::string::npos) {
    return TFileInfo{};
  }
  struct statx sx {};
  const unsigned mask = STATX_BASIC_STATS | STATX_BTIME;
  if (statx(AT_FDCWD, path.c_str(), AT_STATX_SYNC_AS_STAT, mask, &sx) != 0) {
    return TFileInfo{};
  }
  return FileInfoOf(path, sx);
}

TFileInfo FileInfoOf(const std::string& path, const struct statx& sx) {
  TFileInfo info;
  info.Found = true;
  info.Size = static_cast<std::int64_t>(sx.stx_size);
  if ((sx.stx_mask & STATX_BTIME) != 0) {
    info.Created = FromStatx(sx.stx_btime);
  }
  info.Modified = FromStatx(sx.stx_mtime);
  info.Accessed = FromStatx(sx.stx_atime);
  info.Attributes = AttributesOf(path, sx.stx_mode);
  return info;
}

std::string FileNamePart(const std::string& path) {
  const auto slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string FolderPart(const std::string& path) {
  const auto slash = path.find_last_of('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

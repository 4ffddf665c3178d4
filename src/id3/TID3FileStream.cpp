#include "id3/TID3FileStream.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>
#include <utility>

#include "id3/ID3Errors.h"

namespace {

// Reads that miss the window refill it with at least this much.
constexpr std::size_t WindowSize = 4096;
// A file up to this size is read whole by its first read: one system call costs more than
// copying the rest, and the readers after the tag (audio headers, ID3v1) then need none.
constexpr std::int64_t WholeFileSize = 64 * 1024;

int OpenOrFail(const std::string& path, int flags, mode_t mode) {
  int fd;
  do {
    fd = ::open(path.c_str(), flags | O_CLOEXEC, mode);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) throw EID3FileError("Cannot open file \"" + path + "\": " + std::strerror(errno));
  return fd;
}

}  // namespace

TID3FileStream::TID3FileStream(int fd, std::string path) : fd_(fd), path_(std::move(path)) {
  if (::statx(fd_, "", AT_EMPTY_PATH | AT_STATX_SYNC_AS_STAT, STATX_BASIC_STATS | STATX_BTIME, &status_) != 0) {
    const int error = errno;
    ::close(fd_);
    fd_ = -1;
    throw EID3FileError("Cannot read file \"" + path_ + "\": " + std::strerror(error));
  }
  if (!S_ISREG(status_.stx_mode)) {
    ::close(fd_);
    fd_ = -1;
    throw EID3FileError("Cannot open file \"" + path_ + "\": it is not a regular file");
  }
  size_ = static_cast<std::int64_t>(status_.stx_size);
  identity_ = TID3FileIdentity{
      static_cast<std::uint64_t>(makedev(status_.stx_dev_major, status_.stx_dev_minor)), status_.stx_ino, size_,
      static_cast<std::int64_t>(status_.stx_mtime.tv_sec), static_cast<std::int64_t>(status_.stx_mtime.tv_nsec)};
}

TID3FileStream::TID3FileStream(const std::string& path, TMode mode)
    // Non-blocking, so that a pipe or device under the name cannot stall the open; regular files
    // are not affected by the flag.
    : TID3FileStream(OpenOrFail(path, (mode == TMode::Read ? O_RDONLY : O_RDWR) | O_NONBLOCK, 0), path) {}

TID3FileStream TID3FileStream::CreateNew(const std::string& path, unsigned permissions) {
  return TID3FileStream(OpenOrFail(path, O_RDWR | O_CREAT | O_EXCL, static_cast<mode_t>(permissions)), path);
}

TID3FileStream::TID3FileStream(TID3FileStream&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)),
      path_(std::move(other.path_)),
      size_(other.size_),
      identity_(other.identity_),
      status_(other.status_),
      position_(other.position_),
      window_(std::exchange(other.window_, TWindow{})),
      windowStart_(other.windowStart_) {}

TID3FileStream::~TID3FileStream() {
  if (fd_ >= 0) ::close(fd_);
}

void TID3FileStream::Fail(const char* what) const {
  throw EID3FileError(std::string("Cannot ") + what + " file \"" + path_ + "\": " + std::strerror(errno));
}

std::size_t TID3FileStream::Read(void* buffer, std::size_t count) {
  count = std::min<std::size_t>(count, static_cast<std::size_t>(Remaining()));
  if (count == 0) return 0;
  if (!WindowHolds(position_, count) && count < WindowSize) Prefetch(WindowSize);
  const std::size_t got = ReadAt(position_, buffer, count);
  position_ += static_cast<std::int64_t>(got);
  return got;
}

std::string TID3FileStream::ReadBytes(std::size_t count) {
  count = std::min<std::size_t>(count, static_cast<std::size_t>(Remaining()));
  if (WindowHolds(position_, count)) {
    // Straight from the window: a frame's data is copied once, never zero-filled first.
    std::string bytes(window_.data() + (position_ - windowStart_), count);
    position_ += static_cast<std::int64_t>(count);
    return bytes;
  }
  std::string bytes(count, '\0');
  bytes.resize(Read(bytes.data(), bytes.size()));
  return bytes;
}

void TID3FileStream::Prefetch(std::size_t count) {
  count = std::min<std::size_t>(count, static_cast<std::size_t>(Remaining()));
  if (WindowHolds(position_, count)) return;
  if (size_ <= WholeFileSize) {
    Load(0, static_cast<std::size_t>(size_));
  } else {
    Load(position_, count);
  }
}

bool TID3FileStream::WindowHolds(std::int64_t offset, std::size_t count) const {
  return offset >= windowStart_ &&
         offset + static_cast<std::int64_t>(count) <= windowStart_ + static_cast<std::int64_t>(window_.size());
}

void TID3FileStream::Load(std::int64_t offset, std::size_t count) {
  window_.Reserve(count);
  window_.Size = 0;  // empty should the read fail
  windowStart_ = offset;
  window_.Size = ReadFromFile(offset, window_.data(), count);
}

std::size_t TID3FileStream::ReadAt(std::int64_t offset, void* buffer, std::size_t count) const {
  if (WindowHolds(offset, count)) {
    std::memcpy(buffer, window_.data() + (offset - windowStart_), count);
    return count;
  }
  return ReadFromFile(offset, buffer, count);
}

std::optional<std::string_view> TID3FileStream::Loaded(std::int64_t offset, std::size_t count) const {
  if (!WindowHolds(offset, count)) return std::nullopt;
  return std::string_view(window_.data() + (offset - windowStart_), count);
}

std::size_t TID3FileStream::ReadFromFile(std::int64_t offset, void* buffer, std::size_t count) const {
  char* out = static_cast<char*>(buffer);
  std::size_t done = 0;
  while (done < count) {
    const ssize_t got = ::pread(fd_, out + done, count - done, offset + static_cast<std::int64_t>(done));
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) Fail("read");
    if (got == 0) break;
    done += static_cast<std::size_t>(got);
  }
  return done;
}

void TID3FileStream::Write(const void* buffer, std::size_t count) {
  window_.clear();
  const char* in = static_cast<const char*>(buffer);
  std::size_t done = 0;
  while (done < count) {
    const ssize_t put = ::pwrite(fd_, in + done, count - done, position_ + static_cast<std::int64_t>(done));
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) Fail("write");
    done += static_cast<std::size_t>(put);
  }
  position_ += static_cast<std::int64_t>(count);
  size_ = std::max(size_, position_);
}

void TID3FileStream::SetSize(std::int64_t size) {
  window_.clear();
  if (::ftruncate(fd_, size) != 0) Fail("resize");
  size_ = size;
}

void TID3FileStream::Flush() {
  if (::fsync(fd_) != 0 && errno != EINVAL) Fail("flush");
}

void TID3FileStream::Allocate(std::int64_t size) {
  if (size <= size_) return;
  const int error = ::posix_fallocate(fd_, 0, size);
  if (error != 0) {
    // A failed reservation may still have grown the file: give it back its length.
    if (::ftruncate(fd_, size_) != 0) {
      // The length was never changed, or cannot be restored; the first error is the one to tell.
    }
    errno = error;
    Fail("make room in");
  }
  window_.clear();
  size_ = size;
}

TID3FileStream::TOwnership TID3FileStream::Ownership() const {
  struct stat info {};
  if (::fstat(fd_, &info) != 0) Fail("read");
  return TOwnership{static_cast<unsigned>(info.st_uid), static_cast<unsigned>(info.st_gid),
                    static_cast<unsigned>(info.st_mode & 07777), static_cast<std::uint64_t>(info.st_nlink)};
}

bool TID3FileStream::TakeOwnership(const TOwnership& from) {
  // The owner first: changing it clears the set-user-ID and set-group-ID bits.
  const bool owned = ::fchown(fd_, static_cast<uid_t>(from.User), static_cast<gid_t>(from.Group)) == 0;
  if (::fchmod(fd_, static_cast<mode_t>(from.Permissions)) != 0) Fail("set the permissions of");
  return owned;
}

#include "actions/UnitBasicDestroy.h"

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <unistd.h>

namespace {

int SystemSetLease(int fd, int type) { return ::fcntl(fd, F_SETLEASE, type); }

constexpr TDestroySystemCalls SystemCalls{::write, ::fsync, SystemSetLease, ::unlink};

// The descriptor holding the write lease, -1 when none.
volatile std::sig_atomic_t LeasedFd = -1;

// A lease break is signalled with SIGIO, whose default action ends the process. The lease only
// has to keep the destruction from starting on a file that is in use; an open that comes later
// (another program, or this one repainting a row between two blocks) must not wait for the lease
// to time out, so the lease is given up at once and the destruction goes on.
void OnLeaseBreak(int) {
  const int saved = errno;
  if (LeasedFd >= 0) ::fcntl(LeasedFd, F_SETLEASE, F_UNLCK);
  errno = saved;
}

void KeepLeaseBreaksHarmless() {
  static const bool installed = [] {
    struct sigaction current {};
    if (::sigaction(SIGIO, nullptr, &current) == 0 && current.sa_handler != SIG_DFL) return true;
    struct sigaction action {};
    action.sa_handler = OnLeaseBreak;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    return ::sigaction(SIGIO, &action, nullptr) == 0;
  }();
  (void)installed;
}

// Only a plain file with this one name whose owner may write it is ever overwritten.
bool Destroyable(const struct stat& st) {
  return S_ISREG(st.st_mode) && st.st_nlink == 1 && (st.st_mode & S_IWUSR) != 0;
}

// The open file as the one resource of a destruction: the lease (if one was taken) is given
// back before the descriptor is closed.
class TOpenFile {
 public:
  explicit TOpenFile(int fd) : fd_(fd) {}
  ~TOpenFile() { Close(); }
  TOpenFile(const TOpenFile&) = delete;
  TOpenFile& operator=(const TOpenFile&) = delete;

  int Fd() const { return fd_; }
  void SetLeased() {
    leased_ = true;
    LeasedFd = fd_;
  }
  void Close() {
    if (fd_ < 0) return;
    if (leased_) {
      LeasedFd = -1;
      DestroySystemCalls().SetLease(fd_, F_UNLCK);
    }
    ::close(fd_);
    fd_ = -1;
  }

 private:
  int fd_;
  bool leased_ = false;
};

// The Windows rule "opened with no sharing" on Linux: a write lease is granted only while no
// other open file description of the file exists. Where leases are not available, look for the
// file among the open descriptors of the processes we may see.
bool TakeExclusiveUse(TOpenFile& file, const struct stat& st) {
  KeepLeaseBreaksHarmless();
  if (DestroySystemCalls().SetLease(file.Fd(), F_WRLCK) == 0) {
    file.SetLeased();
    return true;
  }
  if (errno != EINVAL && errno != EACCES && errno != ENOSYS) return false;  // EAGAIN: in use
  return !FileOpenElsewhere(st.st_dev, st.st_ino, file.Fd());
}

bool WriteZeroBlocks(int fd, std::uint64_t size, const DestroyProgressEvent& progress) {
  const std::uint64_t blockCount = DestroyBlockCount(size);
  if (blockCount > static_cast<std::uint64_t>(INT32_MAX)) return false;
  const auto maximum = static_cast<std::int32_t>(blockCount);
  const auto remainder = static_cast<std::size_t>(size % DestroyBlockSize);
  const auto buffer = std::make_unique<char[]>(DestroyBlockSize);  // value-initialised: zeros
  for (std::int32_t position = 1; position <= maximum; ++position) {
    const std::size_t length = position == maximum ? remainder : DestroyBlockSize;
    if (DestroySystemCalls().Write(fd, buffer.get(), length) != static_cast<ssize_t>(length)) return false;
    if (progress) {
      bool cancel = false;
      progress(position, maximum, cancel);
      if (cancel) return false;
    }
  }
  return true;
}

std::string FolderOf(const std::string& name) {
  const std::size_t slash = name.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : name.substr(0, slash);
}

// Makes the removal of the name durable. The contents are already zeroed and synced, so a
// folder that cannot be synced (some file systems refuse) does not undo the destruction.
void SyncFolderOf(const std::string& name) {
  const int dir = ::open(FolderOf(name).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir < 0) return;
  ::fsync(dir);
  ::close(dir);
}

bool IsNumber(const char* text) {
  if (*text == '\0') return false;
  for (; *text != '\0'; ++text) {
    if (*text < '0' || *text > '9') return false;
  }
  return true;
}

bool FolderHoldsFile(const std::string& fdFolder, dev_t device, ino_t inode, int skipFd) {
  DIR* dir = ::opendir(fdFolder.c_str());
  if (dir == nullptr) return false;
  bool found = false;
  while (const dirent* entry = ::readdir(dir)) {
    if (!IsNumber(entry->d_name)) continue;
    if (skipFd >= 0 && std::atoi(entry->d_name) == skipFd) continue;
    struct stat st {};
    if (::stat((fdFolder + '/' + entry->d_name).c_str(), &st) == 0 && st.st_dev == device &&
        st.st_ino == inode) {
      found = true;
      break;
    }
  }
  ::closedir(dir);
  return found;
}

}  // namespace

TDestroySystemCalls& DestroySystemCalls() {
  static TDestroySystemCalls calls = SystemCalls;
  return calls;
}

void ResetDestroySystemCalls() { DestroySystemCalls() = SystemCalls; }

bool FileOpenElsewhere(dev_t device, ino_t inode, int ownFd) {
  DIR* proc = ::opendir("/proc");
  if (proc == nullptr) return false;
  const std::string self = std::to_string(::getpid());
  bool found = false;
  while (const dirent* entry = ::readdir(proc)) {
    if (!IsNumber(entry->d_name)) continue;
    const bool isSelf = self == entry->d_name;
    if (FolderHoldsFile(std::string("/proc/") + entry->d_name + "/fd", device, inode, isSelf ? ownFd : -1)) {
      found = true;
      break;
    }
  }
  ::closedir(proc);
  return found;
}

bool DestroyFile(const std::string& name, const DestroyProgressEvent& progress) {
  struct stat found {};
  if (!FileExistsByFind(name, found)) return false;
  // Checked before the open too, so that a device or FIFO is never even opened.
  if (!Destroyable(found)) return false;

  TOpenFile file(::open(name.c_str(), O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
  if (file.Fd() < 0) return false;
  struct stat st {};
  if (::fstat(file.Fd(), &st) != 0 || !Destroyable(st) || st.st_dev != found.st_dev || st.st_ino != found.st_ino)
    return false;
  if (!TakeExclusiveUse(file, st)) return false;
  ::posix_fadvise(file.Fd(), 0, 0, POSIX_FADV_SEQUENTIAL);

  if (!WriteZeroBlocks(file.Fd(), static_cast<std::uint64_t>(st.st_size), progress)) return false;
  // The zeros must be on the disk before the unlink frees the blocks, or the old contents stay.
  if (DestroySystemCalls().Sync(file.Fd()) != 0) return false;
  file.Close();

  if (DestroySystemCalls().Unlink(name.c_str()) != 0) return false;
  SyncFolderOf(name);
  return true;
}

#include "shell/UnitFileOperation.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr std::size_t ChunkSize = 8u << 20;  // progress and cancel checks between chunks
constexpr std::size_t BufferSize = 1u << 20;

std::string BaseName(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::string JoinPath(const std::string& folder, const std::string& name) {
  return !folder.empty() && folder.back() == '/' ? folder + name : folder + '/' + name;
}

std::string SystemError(const std::string& what, const std::string& path, int error) {
  return what + " \"" + path + "\": " + std::strerror(error);
}

bool SameFile(const struct stat& a, const struct stat& b) { return a.st_dev == b.st_dev && a.st_ino == b.st_ino; }

void SyncFolder(const std::string& folder) {
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

// Puts a finished file in place. Without `replace`, a name that appeared meanwhile is never
// overwritten.
int RenameInto(const std::string& from, const std::string& to, bool replace) {
  if (replace) return ::rename(from.c_str(), to.c_str());
  if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return 0;
  if (errno != EINVAL && errno != ENOSYS) return -1;
  // File systems without the no-replace flag: the target was free a moment ago.
  struct stat st {};
  if (::lstat(to.c_str(), &st) == 0) {
    errno = EEXIST;
    return -1;
  }
  return ::rename(from.c_str(), to.c_str());
}

class TFd {
 public:
  explicit TFd(int fd = -1) : fd_(fd) {}
  ~TFd() {
    if (fd_ >= 0) ::close(fd_);
  }
  TFd(const TFd&) = delete;
  TFd& operator=(const TFd&) = delete;
  int Get() const { return fd_; }
  int Release() {
    const int fd = fd_;
    fd_ = -1;
    return fd;
  }

 private:
  int fd_;
};

enum class TOutcome { Done, Skipped, Cancelled, Failed };

class TFileOperation {
 public:
  TFileOperation(TFileOperationKind kind, const std::vector<std::string>& sources, std::string targetFolder,
                 const TFileOperationCallbacks& callbacks)
      : kind_(kind), sources_(sources), folder_(std::move(targetFolder)), callbacks_(callbacks) {}

  TFileOperationResult Run() {
    TFileOperationResult result;
    progress_.FileCount = sources_.size();
    for (const std::string& s : sources_) {
      struct stat st {};
      if (::stat(s.c_str(), &st) == 0) progress_.TotalSize += static_cast<std::uint64_t>(st.st_size);
    }
    for (std::size_t i = 0; i < sources_.size(); ++i) {
      progress_.FileIndex = i;
      const TOutcome outcome = RunOne(sources_[i]);
      if (outcome == TOutcome::Cancelled) {
        result.Cancelled = true;
        break;
      }
      (outcome == TOutcome::Done ? result.Done : result.Skipped) += 1;
    }
    return result;
  }

 private:
  // One file, again for as long as the user answers a failure with Retry.
  TOutcome RunOne(const std::string& source) {
    const std::uint64_t totalBefore = progress_.TotalDone;
    for (;;) {
      error_.clear();
      progress_.TotalDone = totalBefore;
      const TOutcome outcome = Attempt(source);
      if (outcome != TOutcome::Failed) return outcome;
      const TErrorChoice choice = callbacks_.Error ? callbacks_.Error(source, error_) : TErrorChoice::Skip;
      if (choice == TErrorChoice::Cancel) return TOutcome::Cancelled;
      if (choice == TErrorChoice::Skip) return TOutcome::Skipped;
    }
  }

  TOutcome Fail(std::string message) {
    error_ = std::move(message);
    return TOutcome::Failed;
  }

  bool Report(std::uint64_t fileDone) {
    progress_.TotalDone += fileDone - progress_.FileDone;
    progress_.FileDone = fileDone;
    return !callbacks_.Progress || callbacks_.Progress(progress_);
  }

  TOutcome Attempt(const std::string& source) {
    struct stat own {};
    if (::lstat(source.c_str(), &own) != 0) return Fail(SystemError("Cannot find", source, errno));
    const bool moveLink = kind_ == TFileOperationKind::Move && S_ISLNK(own.st_mode);
    struct stat st = own;
    if (!moveLink && ::stat(source.c_str(), &st) != 0) return Fail(SystemError("Cannot open", source, errno));
    if (!moveLink && !S_ISREG(st.st_mode)) return Fail("\"" + source + "\" is not a file.");

    std::string target = JoinPath(folder_, BaseName(source));
    progress_.Source = source;
    progress_.Target = target;
    progress_.FileSize = moveLink ? 0 : static_cast<std::uint64_t>(st.st_size);
    progress_.FileDone = 0;
    if (!Report(0)) return TOutcome::Cancelled;

    bool replace = false;
    struct stat existing {};
    if (::lstat(target.c_str(), &existing) == 0) {
      struct stat followed {};
      const bool same = kind_ == TFileOperationKind::Move
                            ? SameFile(existing, own)
                            : ::stat(target.c_str(), &followed) == 0 && SameFile(followed, st);
      if (same && kind_ == TFileOperationKind::Move) return TOutcome::Done;  // already there
      if (same) {
        target = FreeCopyName(BaseName(source));
        progress_.Target = target;
      } else {
        if (S_ISDIR(existing.st_mode)) return Fail("A folder named \"" + target + "\" is already there.");
        switch (AskConflict(source, target)) {
          case TConflictChoice::Skip: return TOutcome::Skipped;
          case TConflictChoice::Cancel: return TOutcome::Cancelled;
          default: replace = true;
        }
      }
    }
    if (kind_ == TFileOperationKind::Copy) return CopyTo(source, target, replace, false);
    return MoveTo(source, target, replace, moveLink);
  }

  TConflictChoice AskConflict(const std::string& source, const std::string& target) {
    if (replaceAll_) return TConflictChoice::Replace;
    if (skipAll_ || !callbacks_.Conflict) return TConflictChoice::Skip;
    const TConflictChoice choice = callbacks_.Conflict(source, target);
    if (choice == TConflictChoice::ReplaceAll) replaceAll_ = true;
    if (choice == TConflictChoice::SkipAll) skipAll_ = true;
    if (choice == TConflictChoice::ReplaceAll) return TConflictChoice::Replace;
    if (choice == TConflictChoice::SkipAll) return TConflictChoice::Skip;
    return choice;
  }

  std::string FreeCopyName(const std::string& name) const {
    for (int n = 1;; ++n) {
      const std::string candidate = JoinPath(folder_, CopyOfName(name, n));
      struct stat st {};
      if (::lstat(candidate.c_str(), &st) != 0) return candidate;
    }
  }

  TOutcome MoveTo(const std::string& source, const std::string& target, bool replace, bool isLink) {
    if (RenameInto(source, target, replace) == 0) {
      Report(progress_.FileSize);
      return TOutcome::Done;
    }
    if (errno != EXDEV) return Fail(SystemError("Cannot move", source, errno));
    // Another file system: a whole, synced copy first; the source goes only after that.
    const TOutcome copied = isLink ? CopyLink(source, target, replace) : CopyTo(source, target, replace, true);
    if (copied != TOutcome::Done) return copied;
    if (::unlink(source.c_str()) != 0) return Fail(SystemError("Copied, but cannot delete", source, errno));
    SyncFolder(FolderOf(source));
    return TOutcome::Done;
  }

  TOutcome CopyLink(const std::string& source, const std::string& target, bool replace) {
    std::string contents(4096, '\0');
    const ssize_t n = ::readlink(source.c_str(), contents.data(), contents.size());
    if (n < 0 || static_cast<std::size_t>(n) >= contents.size()) return Fail(SystemError("Cannot read the link", source, errno));
    contents.resize(static_cast<std::size_t>(n));
    const std::string temp = TempName(target);
    if (::symlink(contents.c_str(), temp.c_str()) != 0) return Fail(SystemError("Cannot create", temp, errno));
    if (RenameInto(temp, target, replace) != 0) {
      const int error = errno;
      ::unlink(temp.c_str());
      return Fail(SystemError("Cannot create", target, error));
    }
    SyncFolder(folder_);
    return TOutcome::Done;
  }

  static std::string TempName(const std::string& target) {
    return JoinPath(FolderOf(target), "." + BaseName(target) + ".part-" + std::to_string(::getpid()));
  }

  // The copy is made under a temporary name beside the target and put in place when whole.
  TOutcome CopyTo(const std::string& source, const std::string& target, bool replace, bool durable) {
    TFd in(::open(source.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY));
    struct stat st {};
    if (in.Get() < 0 || ::fstat(in.Get(), &st) != 0) return Fail(SystemError("Cannot open", source, errno));
    std::string temp = JoinPath(FolderOf(target), "." + BaseName(target) + ".XXXXXX");
    TFd out(::mkostemp(temp.data(), O_CLOEXEC));
    if (out.Get() < 0) return Fail(SystemError("Cannot create a file in", FolderOf(target), errno));

    std::string error;
    bool cancelled = false;
    const bool copied = CopyFileContents(in.Get(), out.Get(), static_cast<std::uint64_t>(st.st_size),
                                         [&](std::uint64_t done) { return (cancelled = !Report(done)) == false; },
                                         error);
    const TOutcome outcome = copied ? Finish(out, temp, st, durable) : TOutcome::Failed;
    if (outcome != TOutcome::Done) {
      ::unlink(temp.c_str());
      if (cancelled) return TOutcome::Cancelled;
      return error_.empty() ? Fail(error) : TOutcome::Failed;
    }
    if (RenameInto(temp, target, replace) != 0) {
      const int renameError = errno;
      ::unlink(temp.c_str());
      return Fail(SystemError("Cannot create", target, renameError));
    }
    if (durable) SyncFolder(FolderOf(target));
    return TOutcome::Done;
  }

  // Times, permission bits, the sync a move needs, and the size check, before the rename.
  TOutcome Finish(TFd& out, const std::string& temp, const struct stat& st, bool durable) {
    const struct timespec times[2] = {st.st_atim, st.st_mtim};
    ::futimens(out.Get(), times);
    ::fchmod(out.Get(), st.st_mode & 07777 & ~static_cast<mode_t>(S_ISUID | S_ISGID));
    if (durable && ::fsync(out.Get()) != 0) return Fail(SystemError("Cannot write", temp, errno));
    struct stat written {};
    if (::fstat(out.Get(), &written) != 0 || written.st_size != st.st_size)
      return Fail("The copy \"" + temp + "\" does not have the size of the original.");
    if (::close(out.Release()) != 0) return Fail(SystemError("Cannot write", temp, errno));
    return TOutcome::Done;
  }

  TFileOperationKind kind_;
  const std::vector<std::string>& sources_;
  std::string folder_;
  const TFileOperationCallbacks& callbacks_;
  TFileOperationProgress progress_;
  std::string error_;
  bool replaceAll_ = false;
  bool skipAll_ = false;
};

// read/write for what copy_file_range cannot do (across some file systems, special files).
bool CopyByBuffer(int in, int out, std::uint64_t done, const std::function<bool(std::uint64_t)>& chunkDone,
                  std::string& error) {
  const auto buffer = std::make_unique<char[]>(BufferSize);
  std::uint64_t sinceReport = 0;
  for (;;) {
    const ssize_t n = ::read(in, buffer.get(), BufferSize);
    if (n == 0) break;
    if (n < 0) {
      if (errno == EINTR) continue;
      error = std::string("Cannot read: ") + std::strerror(errno);
      return false;
    }
    for (ssize_t written = 0; written < n;) {
      const ssize_t w = ::write(out, buffer.get() + written, static_cast<std::size_t>(n - written));
      if (w < 0 && errno == EINTR) continue;
      if (w <= 0) {
        error = std::string("Cannot write: ") + std::strerror(w < 0 ? errno : ENOSPC);
        return false;
      }
      written += w;
    }
    done += static_cast<std::uint64_t>(n);
    sinceReport += static_cast<std::uint64_t>(n);
    if (sinceReport >= ChunkSize) {
      sinceReport = 0;
      if (!chunkDone(done)) return false;
    }
  }
  return chunkDone(done);
}

}  // namespace

std::string CopyOfName(const std::string& fileName, int number) {
  const std::size_t dot = fileName.rfind('.');
  const bool hasExtension = dot != std::string::npos && dot > 0;
  const std::string stem = hasExtension ? fileName.substr(0, dot) : fileName;
  const std::string extension = hasExtension ? fileName.substr(dot) : std::string();
  const std::string mark = number <= 1 ? " (copy)" : " (copy " + std::to_string(number) + ")";
  return stem + mark + extension;
}

bool CopyFileContents(int sourceFd, int targetFd, std::uint64_t size,
                      const std::function<bool(std::uint64_t done)>& chunkDone, std::string& error) {
  (void)size;  // copied to the end of the data, whatever the size was when the copy began
  std::uint64_t done = 0;
  for (;;) {
    const ssize_t n = ::copy_file_range(sourceFd, nullptr, targetFd, nullptr, ChunkSize, 0);
    if (n == 0) return chunkDone(done);
    if (n < 0) {
      if (errno == EINTR) continue;
      if (errno == EXDEV || errno == ENOSYS || errno == EINVAL || errno == EOPNOTSUPP || errno == EPERM)
        return CopyByBuffer(sourceFd, targetFd, done, chunkDone, error);
      error = std::string("Cannot copy: ") + std::strerror(errno);
      return false;
    }
    done += static_cast<std::uint64_t>(n);
    if (!chunkDone(done)) return false;
  }
}

TFileOperationResult RunFileOperation(TFileOperationKind kind, const std::vector<std::string>& sources,
                                      const std::string& targetFolder, const TFileOperationCallbacks& callbacks) {
  return TFileOperation(kind, sources, targetFolder, callbacks).Run();
}

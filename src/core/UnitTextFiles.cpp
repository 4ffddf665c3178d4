#include "core/UnitTextFiles.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <utility>

namespace {

constexpr std::string_view Utf8ByteOrderMark = "\xEF\xBB\xBF";

std::string ErrorText(const char* what, const std::string& path, int error) {
  return std::string(what) + " \"" + path + "\". " + std::strerror(error);
}

class TFileDescriptor {
 public:
  explicit TFileDescriptor(int fd) : fd_(fd) {}
  ~TFileDescriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  TFileDescriptor(const TFileDescriptor&) = delete;
  TFileDescriptor& operator=(const TFileDescriptor&) = delete;
  int get() const { return fd_; }
  int release() {
    const int fd = fd_;
    fd_ = -1;
    return fd;
  }

 private:
  int fd_;
};

}  // namespace

std::string ReadWholeFile(const std::string& path, std::size_t maxSize) {
  // Without O_NONBLOCK, opening a FIFO would wait for a writer that never comes.
  TFileDescriptor fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
  if (fd.get() < 0) throw EFileError(ErrorText("Cannot open file", path, errno));
  struct stat st {};
  if (::fstat(fd.get(), &st) != 0) throw EFileError(ErrorText("Cannot read file", path, errno));
  if (S_ISDIR(st.st_mode)) throw EFileError(ErrorText("Cannot read file", path, EISDIR));
  if (!S_ISREG(st.st_mode)) throw EFileError("Cannot read file \"" + path + "\". It is not a regular file.");
  std::string content;
  char buffer[65536];
  for (;;) {
    const ssize_t n = ::read(fd.get(), buffer, sizeof buffer);
    if (n < 0) {
      if (errno == EINTR) continue;
      throw EFileError(ErrorText("Cannot read file", path, errno));
    }
    if (n == 0) break;
    if (content.size() + static_cast<std::size_t>(n) > maxSize)
      throw EFileError(ErrorText("Cannot read file", path, EFBIG));
    content.append(buffer, static_cast<std::size_t>(n));
  }
  return content;
}

std::vector<std::string> SplitTextLines(std::string_view text) {
  if (text.starts_with(Utf8ByteOrderMark)) text.remove_prefix(Utf8ByteOrderMark.size());
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c != '\r' && c != '\n') continue;
    lines.emplace_back(text.substr(start, i - start));
    if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    start = i + 1;
  }
  if (start < text.size()) lines.emplace_back(text.substr(start));
  return lines;
}

std::vector<std::string> ReadTextLines(const std::string& path) {
  return SplitTextLines(ReadWholeFile(path));
}

bool WriteAll(int fd, std::string_view data) {
  while (!data.empty()) {
    const ssize_t n = ::write(fd, data.data(), data.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

void WriteFileAtomically(const std::string& path, std::string_view content) {
  ReplaceFileAtomically(path, [content](int fd) { return WriteAll(fd, content); });
}

TFileReplacement::TFileReplacement(std::string path) : path_(std::move(path)) {
  std::string pattern = path_ + ".XXXXXX";
  fd_ = ::mkstemp(pattern.data());
  if (fd_ < 0) throw EFileError(ErrorText("Cannot create file", path_, errno));
  temporary_ = pattern;
  // Keep the permissions of the file being replaced; a new file gets the usual 0644 less umask.
  struct stat st {};
  mode_t mode = 0644;
  if (::stat(path_.c_str(), &st) == 0) {
    mode = st.st_mode & 07777;
  } else {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    mode &= ~mask;
  }
  if (::fchmod(fd_, mode) != 0) Fail(errno);
}

TFileReplacement::~TFileReplacement() {
  if (fd_ >= 0) ::close(fd_);
  if (!committed_) ::unlink(temporary_.c_str());
}

void TFileReplacement::Fail(int error) {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  ::unlink(temporary_.c_str());
  committed_ = true;  // nothing left to remove
  throw EFileError(ErrorText("Cannot write file", path_, error));
}

void TFileReplacement::Flush() {
  if (flushed_) return;
  if (::fsync(fd_) != 0) Fail(errno);
  flushed_ = true;
}

void TFileReplacement::Commit() {
  Flush();
  const int fd = std::exchange(fd_, -1);
  if (::close(fd) != 0) Fail(errno);
  if (::rename(temporary_.c_str(), path_.c_str()) != 0) Fail(errno);
  committed_ = true;
}

void ReplaceFileAtomically(const std::string& path, const std::function<bool(int fd)>& write) {
  // Whatever stops the writer (memory, a reader it waited for) leaves no temporary behind.
  TFileReplacement replacement(path);
  if (!write(replacement.Fd())) replacement.Fail(errno);
  replacement.Commit();
}

void WriteTextLines(const std::string& path, const std::vector<std::string>& lines) {
  std::string content;
  for (const auto& line : lines) {
    content += line;
    content += "\r\n";
  }
  WriteFileAtomically(path, content);
}

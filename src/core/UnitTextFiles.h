#pragma once
// Plain text list files of the program folder: read with CR LF, LF or CR line ends,
// written with CR LF and replaced atomically (temporary file, then rename).

#include <cstddef>
#include <stdexcept>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

// Raised when a file cannot be read or written; the message names the file.
class EFileError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Settings and list files are small; anything larger is treated as unreadable.
inline constexpr std::size_t MaxTextFileSize = 16u * 1024u * 1024u;

// Whole file as bytes. Throws EFileError when it is missing, unreadable, too large or not a
// regular file (a folder, FIFO or device is never waited on).
std::string ReadWholeFile(const std::string& path, std::size_t maxSize = MaxTextFileSize);
// Splits text at CR LF, lone LF or lone CR. A final line end does not start another line; a
// UTF-8 byte-order mark at the start is dropped.
std::vector<std::string> SplitTextLines(std::string_view text);
std::vector<std::string> ReadTextLines(const std::string& path);

// Writes through a temporary file in the same folder, flushed to disk, then renamed over the
// target, so readers see the old file or the new one and never a half-written one.
// Throws EFileError (the target untouched) when any step fails.
void WriteFileAtomically(const std::string& path, std::string_view content);
// Writes all of data to fd; false (errno set) when a write fails.
bool WriteAll(int fd, std::string_view data);
// The same replacement, the content put into the temporary file by `write`, which returns false
// (errno set) when it fails.
void ReplaceFileAtomically(const std::string& path, const std::function<bool(int fd)>& write);
// The same replacement in steps, for content made over time or on another thread: the
// temporary file is made at once (EFileError "Cannot create file"), filled through Fd(), then
// flushed and renamed over the target by Commit(). Fail() and every failing step remove the
// temporary file and throw EFileError "Cannot write file"; destruction without Commit() removes
// it too.
class TFileReplacement {
 public:
  explicit TFileReplacement(std::string path);
  ~TFileReplacement();
  TFileReplacement(const TFileReplacement&) = delete;
  TFileReplacement& operator=(const TFileReplacement&) = delete;
  int Fd() const { return fd_; }
  // Forces the content to the disk (once); Commit() does it when not done yet.
  void Flush();
  void Commit();
  [[noreturn]] void Fail(int error);

 private:
  std::string path_;
  std::string temporary_;
  int fd_ = -1;
  bool flushed_ = false;
  bool committed_ = false;
};
// Every line followed by CR LF.
void WriteTextLines(const std::string& path, const std::vector<std::string>& lines);

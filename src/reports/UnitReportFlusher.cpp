#include "reports/UnitReportFlusher.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <new>
#include <string_view>
#include <system_error>
#include <vector>

#include "core/UnitTextFiles.h"

namespace {

// Appends bytes [offset, end) of `from` to `to`, advancing offset; false (errno set) on failure.
bool CopyRange(int from, int to, off_t& offset, off_t end) {
  // The kernel copies without the data passing through the program where it can.
  while (offset < end) {
    const ssize_t copied = ::copy_file_range(from, &offset, to, nullptr, static_cast<std::size_t>(end - offset), 0);
    if (copied > 0) continue;
    if (copied == 0) {
      errno = EIO;  // the report is shorter than it was said to be
      return false;
    }
    if (errno == EINTR) continue;
    if (errno != EXDEV && errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP) return false;
    break;
  }
  std::vector<char> buffer;
  try {
    buffer.resize(1 << 20);
  } catch (const std::bad_alloc&) {
    errno = ENOMEM;
    return false;
  }
  while (offset < end) {
    const std::size_t want = static_cast<std::size_t>(std::min<off_t>(end - offset, static_cast<off_t>(buffer.size())));
    const ssize_t got = ::pread(from, buffer.data(), want, offset);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) {
      if (got == 0) errno = EIO;
      return false;
    }
    if (!WriteAll(to, std::string_view(buffer.data(), static_cast<std::size_t>(got)))) return false;
    offset += got;
  }
  return true;
}

}  // namespace

TReportFlusher::TReportFlusher(int report, const std::string& copyPath) : report_(report) {
  if (!copyPath.empty()) {
    try {
      copy_ = std::make_unique<TFileReplacement>(copyPath);
    } catch (const EFileError& error) {
      copyFailure_ = error.what();
    }
  }
  try {
    thread_ = std::thread([this] { Run(); });
  } catch (const std::system_error&) {
    // No thread to be had: Finish() does the one round there is, at the end.
  }
}

TReportFlusher::~TReportFlusher() { Abandon(); }

void TReportFlusher::Grown(off_t size) {
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    written_ = size;
  }
  wake_.notify_one();
}

int TReportFlusher::Finish() {
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    finishing_ = true;
  }
  wake_.notify_one();
  if (thread_.joinable()) {
    thread_.join();
  } else if (!finished_) {
    Round(written_);
  }
  finished_ = true;
  return reportError_;
}

void TReportFlusher::Abandon() {
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    finishing_ = true;
    abandoned_ = true;
  }
  wake_.notify_one();
  if (thread_.joinable()) thread_.join();
  finished_ = true;
}

std::string TReportFlusher::CommitCopy() {
  if (copy_ && copyFailure_.empty()) {
    try {
      copy_->Commit();
    } catch (const EFileError& error) {
      copyFailure_ = error.what();
    }
  }
  copy_.reset();
  return copyFailure_;
}

void TReportFlusher::Run() {
  off_t done = 0;
  for (;;) {
    off_t target = 0;
    bool last = false;
    {
      std::unique_lock<std::mutex> lock(mutex_);
      wake_.wait(lock, [this, done] { return finishing_ || written_ > done; });
      if (abandoned_) return;
      target = written_;
      last = finishing_;
    }
    if (target > done) Round(target);
    done = target;
    if (last) return;
  }
}

// Copies what the copy lacks up to `size`, then flushes both. A copy that fails is given up (its
// temporary file goes); the report goes on.
void TReportFlusher::Round(off_t size) {
  if (copy_ && copyFailure_.empty()) {
    try {
      if (!CopyRange(report_, copy_->Fd(), copied_, size) || ::fdatasync(copy_->Fd()) != 0) copy_->Fail(errno);
    } catch (const EFileError& error) {
      copyFailure_ = error.what();
    }
  }
  if (reportError_ == 0 && ::fdatasync(report_) != 0) reportError_ = errno;
}

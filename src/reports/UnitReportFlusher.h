#pragma once
// Puts a report on the disk while its rows are still being made, and makes the user's copy of
// it as it grows, on a thread of its own. Data reaches the disk for good only when it is
// flushed, and a flush takes about as long again as writing the data did: done once at the end,
// it would all come after the rows, for the whole report and again for its copy. So the report
// (and its copy) are flushed round after round as they grow, and the end waits for the last
// round only.

#include <sys/types.h>

#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

class TFileReplacement;

class TReportFlusher {
 public:
  // `report` is the open report file, written at its end and kept open while this lives;
  // `copyPath` the file the user asked for, or empty. The copy replaces that file only when
  // CommitCopy() puts it in place.
  TReportFlusher(int report, const std::string& copyPath);
  ~TReportFlusher();
  TReportFlusher(const TReportFlusher&) = delete;
  TReportFlusher& operator=(const TReportFlusher&) = delete;

  // The report holds `size` bytes now, all of them written.
  void Grown(off_t size);
  // Brings the flushing (and the copy) up to what is written and ends the thread. Returns the
  // error of a failed flush of the report, 0 when there was none: it must fail the report, as a
  // later flush of the same file would not report it again.
  int Finish();
  // Ends the thread without another round: the report is given up, the copy with it.
  void Abandon();
  // After Finish(): flushes the copy and puts it in place. The text of its failure, or empty.
  std::string CommitCopy();

 private:
  void Run();
  void Round(off_t size);

  const int report_;
  std::unique_ptr<TFileReplacement> copy_;
  std::string copyFailure_;
  off_t copied_ = 0;
  int reportError_ = 0;
  std::mutex mutex_;
  std::condition_variable wake_;
  off_t written_ = 0;  // guarded by mutex_, as are the two flags after it
  bool finishing_ = false;
  bool abandoned_ = false;
  bool finished_ = false;
  std::thread thread_;
};

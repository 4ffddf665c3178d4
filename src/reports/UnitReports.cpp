#include "reports/UnitReports.h"

#include <sys/mman.h>
#include <sys/types.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <exception>
#include <memory>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

#include "core/UnitTextFiles.h"
#include "id3/ID3Engine.h"
#include "info/UnitInfoValues.h"
#include "reports/UnitReportFlusher.h"

namespace {

std::string FormatNow(const std::string& pattern, const std::tm& tm) {
  if (pattern.empty()) return std::string();
  char buffer[256];
  const std::size_t n = std::strftime(buffer, sizeof buffer, pattern.c_str(), &tm);
  return std::string(buffer, n);
}

bool NeedsQuotes(std::string_view field, char delimiter) {
  for (const char c : field) {
    if (static_cast<unsigned char>(c) <= 32 || c == '"' || c == delimiter) return true;
  }
  return false;
}

void AppendQuoted(std::string& out, std::string_view field) {
  out += '"';
  for (const char c : field) {
    if (c == '"') out += '"';
    out += c;
  }
  out += '"';
}

void LetEventsRun(const TReportJob& job) {
  if (job.LetEventsRun) job.LetEventsRun();
}

void AppendLine(std::string& out, std::string_view line) {
  out += line;
  out += "\r\n";
}

void AppendDelimited(std::string& out, const TStringList& fields, char delimiter) {
  if (fields.size() == 1 && fields.front().empty()) {
    out += "\"\"";
    return;
  }
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (i > 0) out += delimiter;
    if (NeedsQuotes(fields[i], delimiter)) AppendQuoted(out, fields[i]);
    else out += fields[i];
  }
}

bool IsMarkup(char c) { return c == '&' || c == '<' || c == '>' || c == '"'; }

void AppendEscaped(std::string& out, std::string_view text) {
  std::size_t from = 0;
  for (std::size_t at = 0; at < text.size(); ++at) {
    if (!IsMarkup(text[at])) continue;
    out.append(text, from, at - from);
    switch (text[at]) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      default: out += "&quot;"; break;
    }
    from = at + 1;
  }
  out.append(text, from);
}

constexpr std::string_view CellStart = "<td nowrap><font size=\"2\" face=\"Arial\">";
constexpr std::string_view CellEnd = "</font></td>\r\n";

constexpr std::string_view EmptyCell = "<td nowrap><font size=\"2\" face=\"Arial\">&nbsp;</font></td>\r\n";

void AppendCell(std::string& out, std::string_view text, bool caption) {
  // Most cells of a long report are empty: one append instead of three.
  if (text.empty() && !caption) {
    out += EmptyCell;
    return;
  }
  out += CellStart;
  if (caption) out += "<strong>";
  if (text.empty()) out += "&nbsp;";
  else AppendEscaped(out, text);
  if (caption) out += "</strong>";
  out += CellEnd;
}

void AppendHtmlHead(const TReportJob& job, std::string& out) {
  for (const char* line : {"<html>", "<head>", "<meta charset=\"utf-8\">", "<title>Report</title>",
                           "</head>", "<body bgcolor=\"#FFFFFF\">", "<font size=\"2\" face=\"Arial\">"})
    AppendLine(out, line);
  for (const std::string& line : job.Header) {
    AppendEscaped(out, line);
    AppendLine(out, "<br>");
  }
  AppendLine(out, "<br></font>");
  AppendLine(out, "<table border=\"1\" cellpadding=\"10\" cellspacing=\"0\" width=\"100%\">");
}

constexpr std::string_view HtmlRowStart = "<tr>\r\n";
constexpr std::string_view HtmlRowEnd = "</tr>\r\n";

void AppendRow(TabularFormat format, const TStringList& values, bool caption, std::string& out) {
  if (format == TabularFormat::Html) {
    out += HtmlRowStart;
    for (const std::string& value : values) AppendCell(out, value, caption);
    out += HtmlRowEnd;
    return;
  }
  AppendDelimited(out, values, format == TabularFormat::Comma ? ',' : '\t');
  out += "\r\n";
}

// Asks the kernel to back a large buffer with huge pages where it can, and to put all its pages
// in place at once: a long report keeps megabytes of rows, and faulting them in one small page at
// a time costs more than filling them. Only hints; nothing changes when they are refused.
void PrepareRoom(std::string& text) {
  constexpr std::uintptr_t Page = 4096;
  constexpr std::size_t Worthwhile = std::size_t{2} << 20;
  if (text.capacity() < Worthwhile) return;
  const auto begin = reinterpret_cast<std::uintptr_t>(text.data());
  const std::uintptr_t from = (begin + Page - 1) & ~(Page - 1);
  const std::uintptr_t to = (begin + text.capacity()) & ~(Page - 1);
  if (to <= from) return;
#ifdef MADV_HUGEPAGE
  ::madvise(reinterpret_cast<void*>(from), to - from, MADV_HUGEPAGE);
#endif
#ifdef MADV_POPULATE_WRITE
  ::madvise(reinterpret_cast<void*>(from), to - from, MADV_POPULATE_WRITE);
#endif
}

// A report as it is built: its text in pieces, in order (the head, a piece per block of files,
// the end). Without a sink every piece is kept, to be joined at the end. With one, complete
// pieces are handed on (to the report file) while later ones are still being made, and a piece
// handed on is kept only as room for a later one: memory stays a few blocks, whatever the
// number of files, and the pages once touched serve again.
class TReportText {
 public:
  using TSink = std::function<bool(std::string_view piece)>;
  explicit TReportText(TSink sink = nullptr) : sink_(std::move(sink)) {}

  // A new piece at the end, for the writer to fill.
  std::string& Open() { return pieces_.emplace_back(); }
  void Add(std::string piece) { pieces_.push_back(std::move(piece)); }
  // Hands the pieces not yet handed on to the sink; false once the sink refused one.
  bool Send() {
    for (; sinkOpen_ && sink_ && sent_ < pieces_.size(); ++sent_) {
      sinkOpen_ = sink_(pieces_[sent_]);
      pieces_[sent_].clear();
      spare_.push_back(std::move(pieces_[sent_]));
    }
    return sinkOpen_;
  }
  // The room of pieces handed on, emptied, for the pieces still to come.
  std::vector<std::string> TakeSpare() { return std::exchange(spare_, {}); }
  std::string Joined() const {
    std::size_t size = 0;
    for (const std::string& piece : pieces_) size += piece.size();
    std::string text;
    text.reserve(size);
    for (const std::string& piece : pieces_) text += piece;
    return text;
  }

 private:
  std::vector<std::string> pieces_;
  std::vector<std::string> spare_;
  TSink sink_;
  std::size_t sent_ = 0;
  bool sinkOpen_ = true;
};

// Appends the text of one file to a block of the report, reading it through the given engine.
using TRowWriter = std::function<void(TID3Engine& engine, const TFoundFile& file, TStringList& scratch, std::string& text)>;

// The rows of every file, in the order of the list. Reading tags is most of a report's time, so
// the files are shared out in blocks between this thread and helper threads, each reading with
// its own engine (set up like the job's); finished blocks join the report in order as soon as
// the ones before them are done. Pending events run on this thread only, between its files.
class TRowWriters {
 public:
  TRowWriters(const TReportJob& job, TReportText& report, const TRowWriter& write)
      : job_(job), report_(report), write_(write) {}
  TRowWriters(const TRowWriters&) = delete;
  TRowWriters& operator=(const TRowWriters&) = delete;
  ~TRowWriters() {
    stop_ = true;
    for (std::thread& helper : helpers_) helper.join();
  }

  void Run() {
    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    const std::size_t firstBlocks = (job_.Files->size() + FirstBlockFiles - 1) / FirstBlockFiles;
    const std::size_t helpers = std::min<std::size_t>({cores - 1, MaxHelpers, firstBlocks - 1});
    threads_ = helpers + 1;
    try {
      for (std::size_t i = 0; i < helpers; ++i) helpers_.emplace_back([this] { Help(); });
    } catch (const std::system_error&) {
      // No more threads to be had: the ones started, and this one, do the work.
    }
    Work(*job_.Engine, true);
    for (std::thread& helper : helpers_) helper.join();
    helpers_.clear();
    if (failure_) std::rethrow_exception(failure_);
    AddFinished();
  }

 private:
  static constexpr std::size_t FirstBlockFiles = 32;
  static constexpr std::size_t TargetBlockBytes = std::size_t{4} << 20;
  static constexpr std::size_t BlocksPerThread = 4;
  static constexpr std::size_t MaxHelpers = 7;

  void Help() {
    try {
      TID3Engine engine;
      engine.SetFullID3TagSeek(job_.Engine->FullID3TagSeek());
      engine.SetWriteID3V1(job_.Engine->WriteID3V1());
      Work(engine, false);
    } catch (...) {
      const std::lock_guard<std::mutex> lock(mutex_);
      if (!failure_) failure_ = std::current_exception();
      stop_ = true;
    }
  }

  void Work(TID3Engine& engine, bool mainThread) {
    TStringList scratch;
    const std::size_t count = job_.Files->size();
    while (!stop_) {
      const std::size_t files = BlockSize();
      const std::size_t begin = nextFile_.fetch_add(files);
      if (begin >= count) break;
      const std::size_t end = std::min(count, begin + files);
      std::string text = TakeSpare();
      // Room for the block at once, once a block tells how long rows are: no growing by copies,
      // and its pages put in place at once, two megabytes at a time where the kernel can.
      const std::size_t room = rowBytes_ * (end - begin) + rowBytes_ * (end - begin) / 4;
      if (room > text.capacity()) {
        text = std::string();
        text.reserve(room);
        PrepareRoom(text);
      }
      for (std::size_t i = begin; i < end && !stop_; ++i) {
        if (mainThread) LetEventsRun(job_);
        write_(engine, (*job_.Files)[i], scratch, text);
      }
      if (rowBytes_ == 0) rowBytes_ = std::max<std::size_t>(1, text.size() / (end - begin));
      {
        const std::lock_guard<std::mutex> lock(mutex_);
        finished_.push_back({begin, end, std::move(text)});
      }
      if (mainThread) AddFinished();
    }
  }

  // Files per block: a few at first, then as many as fill some megabytes (the report keeps every
  // block, and large ones are backed by large pages), while every thread still gets several.
  std::size_t BlockSize() const {
    const std::size_t rowBytes = rowBytes_;
    if (rowBytes == 0) return FirstBlockFiles;
    const std::size_t byBytes = TargetBlockBytes / rowBytes;
    const std::size_t byShare = job_.Files->size() / (threads_ * BlocksPerThread);
    return std::max(FirstBlockFiles, std::min(byBytes, byShare));
  }

  // Adds the finished blocks that follow the report's last one (on the main thread only, the one
  // that owns the report) and sends them on.
  void AddFinished() {
    for (std::optional<std::string> block = TakeNextBlock(); block; block = TakeNextBlock()) {
      report_.Add(std::move(*block));
    }
    report_.Send();
    std::vector<std::string> spare = report_.TakeSpare();
    const std::lock_guard<std::mutex> lock(mutex_);
    for (std::string& text : spare) spare_.push_back(std::move(text));
  }

  // The largest room a block handed on has left, if any.
  std::string TakeSpare() {
    const std::lock_guard<std::mutex> lock(mutex_);
    if (spare_.empty()) return std::string();
    auto largest = std::max_element(spare_.begin(), spare_.end(), [](const std::string& a, const std::string& b) {
      return a.capacity() < b.capacity();
    });
    std::string text = std::move(*largest);
    spare_.erase(largest);
    return text;
  }

  std::optional<std::string> TakeNextBlock() {
    const std::lock_guard<std::mutex> lock(mutex_);
    for (auto it = finished_.begin(); it != finished_.end(); ++it) {
      if (it->Begin != filesAdded_) continue;
      std::string text = std::move(it->Text);
      filesAdded_ = it->End;
      finished_.erase(it);
      return text;
    }
    return std::nullopt;
  }

  struct TBlock {
    std::size_t Begin;
    std::size_t End;
    std::string Text;
  };

  const TReportJob& job_;
  TReportText& report_;
  const TRowWriter& write_;
  std::size_t threads_ = 1;
  std::vector<std::thread> helpers_;
  std::atomic<std::size_t> nextFile_{0};
  std::atomic<bool> stop_{false};
  std::atomic<std::size_t> rowBytes_{0};
  std::mutex mutex_;
  std::vector<TBlock> finished_;
  std::vector<std::string> spare_;
  std::size_t filesAdded_ = 0;  // the files whose rows are in the report, in order
  std::exception_ptr failure_;
};

void WriteRows(const TReportJob& job, TReportText& report, const TRowWriter& write) {
  if (job.Files == nullptr || job.Files->empty()) return;
  TRowWriters(job, report, write).Run();
}

void WriteShortList(const TReportJob& job, TReportText& report) {
  std::string& out = report.Open();
  for (const std::string& line : job.Header) AppendLine(out, line);
  AppendLine(out, "");
  if (job.Files != nullptr) {
    for (const TFoundFile& file : *job.Files) AppendLine(out, file.Path);
  }
}

void WriteDetailedList(const TReportJob& job, TReportText& report) {
  std::string& head = report.Open();
  for (const std::string& line : job.Header) AppendLine(head, line);
  WriteRows(job, report, [&job](TID3Engine& engine, const TFoundFile& file, TStringList& lines, std::string& text) {
    lines.clear();
    lines.emplace_back();
    CollectReportValues(engine, file.Path, job.Columns, lines, ReportValueMode::LabelledValues, job.Format);
    for (const std::string& line : lines) AppendLine(text, line);
  });
}

void WriteTabularReport(const TReportJob& job, TabularFormat format, TReportText& report) {
  TStringList captions;
  CollectReportValues(*job.Engine, std::string(), job.Columns, captions, ReportValueMode::Captions, job.Format);
  std::string& head = report.Open();
  if (format == TabularFormat::Html) AppendHtmlHead(job, head);
  AppendRow(format, captions, true, head);
  if (format == TabularFormat::Html) {
    // Each value goes into its cell as it is made: no list of a row's values in between.
    WriteRows(job, report, [&job](TID3Engine& engine, const TFoundFile& file, TStringList& /*fields*/, std::string& text) {
      text += HtmlRowStart;
      VisitReportValues(engine, file.Path, job.Columns, job.Format,
                        [&text](std::string_view, std::string&& value) { AppendCell(text, value, false); });
      text += HtmlRowEnd;
    });
  } else {
    WriteRows(job, report, [&job, format](TID3Engine& engine, const TFoundFile& file, TStringList& fields, std::string& text) {
      fields.clear();
      CollectReportValues(engine, file.Path, job.Columns, fields, ReportValueMode::Values, job.Format);
      AppendRow(format, fields, false, text);
    });
  }
  if (format == TabularFormat::Html) {
    std::string& tail = report.Open();
    for (const char* line : {"</table>", "</body>", "</html>"}) AppendLine(tail, line);
  }
}

void BuildReport(const TReportJob& job, TReportText& report) {
  switch (job.Type) {
    case 0: WriteShortList(job, report); break;
    case 1: WriteDetailedList(job, report); break;
    case 2: WriteTabularReport(job, TabularFormat::Html, report); break;
    case 3: WriteTabularReport(job, TabularFormat::Comma, report); break;
    case 4: WriteTabularReport(job, TabularFormat::Tab, report); break;
    default: break;
  }
}

}  // namespace

bool IsReportType(int type) { return type >= 0 && type < ReportTypeCount; }

std::string_view ReportFileName(int type) {
  return type == static_cast<int>(TReportType::HtmlTable) ? "REPORT.HTM" : "REPORT.TXT";
}

TStringList BuildReportHeader(const TStringList& targets, std::time_t now, const TLocaleFormat& fmt) {
  std::tm local{};
  localtime_r(&now, &local);
  TStringList lines{"Sonarvex Report", "", "Produced by Corvantis Sonarvex", ""};
  lines.push_back("Generated on " + FormatNow(fmt.ShortDateFormat, local) + " at " +
                  FormatNow(fmt.LongTimeFormat, local));
  lines.emplace_back();
  lines.emplace_back("Locations to audit:");
  lines.insert(lines.end(), targets.begin(), targets.end());
  return lines;
}

void CollectReportValues(TID3Engine& engine, const std::string& path, const TStringList& columns,
                         TStringList& list, ReportValueMode mode, const TLocaleFormat& fmt) {
  VisitReportValues(engine, path, columns, fmt, [&list, mode](std::string_view caption, std::string&& value) {
    switch (mode) {
      case ReportValueMode::Captions: list.emplace_back(caption); break;
      case ReportValueMode::LabelledValues:
        if (!value.empty()) list.push_back(std::string(caption) + ": " + value);
        break;
      case ReportValueMode::Values: list.push_back(std::move(value)); break;
    }
  });
}

std::string DelimitedText(const TStringList& fields, char delimiter) {
  std::string out;
  AppendDelimited(out, fields, delimiter);
  return out;
}

std::string HtmlEscape(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  AppendEscaped(out, text);
  return out;
}

std::string BuildReportText(const TReportJob& job) {
  TReportText report;
  BuildReport(job, report);
  return report.Joined();
}

// The report file is written a megabyte at a time, each handed to the flusher at once. Small
// flushes matter: while the storage makes data permanent, a file read that misses the cache
// waits, and the rows read thousands of files meanwhile.
constexpr std::size_t FlushStep = std::size_t{1} << 20;

bool WriteReportFile(const TReportJob& job, const std::string& path, const std::string& copyTo,
                     std::string* copyFailure) {
  if (!IsReportType(job.Type)) return false;
  TFileReplacement file(path);
  const int fd = file.Fd();
  TReportFlusher flusher(fd, copyTo);
  // The file is written while the rows are still being read: memory holds a few blocks of
  // rows, not the whole report.
  int error = 0;
  off_t written = 0;
  TReportText report([fd, &error, &written, &flusher](std::string_view piece) {
    while (!piece.empty()) {
      const std::string_view part = piece.substr(0, FlushStep);
      if (!WriteAll(fd, part)) {
        error = errno;
        return false;
      }
      piece.remove_prefix(part.size());
      written += static_cast<off_t>(part.size());
      flusher.Grown(written);
    }
    return true;
  });
  BuildReport(job, report);
  report.Send();
  if (error != 0) {
    flusher.Abandon();
    file.Fail(error);  // reading the files since may have changed errno
  }
  if (const int flushError = flusher.Finish(); flushError != 0) file.Fail(flushError);
  file.Commit();
  const std::string failure = flusher.CommitCopy();
  if (copyFailure != nullptr) *copyFailure = failure;
  return true;
}


#include "reports/UnitReports.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <cstdint>
#include <cstring>
#include <exception>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

#include "core/UnitTextFiles.h"
#include "id3/ID3Engine.h"
#include "info/UnitInfoValues.h"

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

void AppendRow(TabularFormat format, const TStringList& values, bool caption, std::string& out) {
  switch (format) {
    case TabularFormat::Comma: AppendDelimited(out, values, ','); break;
    case TabularFormat::Tab: AppendDelimited(out, values, '\t'); break;
    case TabularFormat::Html:
      AppendLine(out, "<tr>");
      for (const std::string& value : values) AppendCell(out, value, caption);
      out += "</tr>";
      break;
  }
  out += "\r\n";
}

// Asks the kernel to back a large buffer with huge pages where it can: a long report touches
// tens of megabytes once, and faulting them in one small page at a time costs more than filling
// them. Only a hint; nothing changes when it is refused.
void PreferHugePages(std::string& out) {
#ifdef MADV_HUGEPAGE
  constexpr std::uintptr_t Page = 4096;
  constexpr std::size_t Worthwhile = std::size_t{8} << 20;
  if (out.capacity() < Worthwhile) return;
  const auto begin = reinterpret_cast<std::uintptr_t>(out.data());
  const std::uintptr_t from = (begin + Page - 1) & ~(Page - 1);
  const std::uintptr_t to = (begin + out.capacity()) & ~(Page - 1);
  if (to > from) ::madvise(reinterpret_cast<void*>(from), to - from, MADV_HUGEPAGE);
#else
  (void)out;
#endif
}

// Once the first rows are known, room for all of them: the report grows without being copied
// again and again.
void ReserveForRows(std::string& out, std::size_t knownBytes, std::size_t knownRows, std::size_t rows) {
  if (knownRows == 0 || rows <= knownRows) return;
  const std::size_t expected = knownBytes / knownRows * rows;
  out.reserve(out.size() + expected + expected / 4);
  PreferHugePages(out);
}

// Appends the text of one file to a block of the report, reading it through the given engine.
using TRowWriter = std::function<void(TID3Engine& engine, const TFoundFile& file, TStringList& scratch, std::string& text)>;

// The rows of every file, in the order of the list. Reading tags is most of a report's time, so
// the files are shared out in blocks between this thread and helper threads, each reading with
// its own engine (set up like the job's); finished blocks are appended in order as soon as the
// ones before them are done. Pending events run on this thread only, between its files.
class TRowWriters {
 public:
  TRowWriters(const TReportJob& job, std::string& out, const TRowWriter& write)
      : job_(job), out_(out), write_(write), blocks_((job.Files->size() + BlockFiles - 1) / BlockFiles) {}
  TRowWriters(const TRowWriters&) = delete;
  TRowWriters& operator=(const TRowWriters&) = delete;
  ~TRowWriters() {
    stop_ = true;
    for (std::thread& helper : helpers_) helper.join();
  }

  void Run() {
    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    const std::size_t helpers = std::min<std::size_t>({cores - 1, MaxHelpers, blocks_ > 0 ? blocks_ - 1 : 0});
    for (std::size_t i = 0; i < helpers; ++i) helpers_.emplace_back([this] { Help(); });
    Work(*job_.Engine, true);
    for (std::thread& helper : helpers_) helper.join();
    helpers_.clear();
    if (failure_) std::rethrow_exception(failure_);
    AppendFinished();
  }

 private:
  static constexpr std::size_t BlockFiles = 32;
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
    for (std::size_t block; !stop_ && (block = next_++) < blocks_;) {
      std::string text;
      const std::size_t end = std::min(job_.Files->size(), (block + 1) * BlockFiles);
      for (std::size_t i = block * BlockFiles; i < end && !stop_; ++i) {
        if (mainThread) LetEventsRun(job_);
        write_(engine, (*job_.Files)[i], scratch, text);
      }
      {
        const std::lock_guard<std::mutex> lock(mutex_);
        finished_.emplace_back(block, std::move(text));
      }
      if (mainThread) AppendFinished();
    }
  }

  // Moves the finished blocks that follow the report's end into it (on the main thread only,
  // the one that owns the report) and hands what is new to the job's sink.
  void AppendFinished() {
    for (std::string block = TakeNextBlock(); !block.empty() || taken_ > appended_; block = TakeNextBlock()) {
      const std::size_t before = out_.size();
      out_ += block;
      if (appended_++ == 0) ReserveForRows(out_, out_.size() - before, std::min(BlockFiles, job_.Files->size()), job_.Files->size());
    }
    if (job_.TextSink && sinkOpen_ && sent_ < out_.size()) {
      sinkOpen_ = job_.TextSink(std::string_view(out_).substr(sent_));
      sent_ = out_.size();
    }
  }

  // The text of the block that follows the report's end when it is finished; taken_ counts it.
  std::string TakeNextBlock() {
    const std::lock_guard<std::mutex> lock(mutex_);
    for (auto it = finished_.begin(); it != finished_.end(); ++it) {
      if (it->first != taken_) continue;
      std::string text = std::move(it->second);
      finished_.erase(it);
      ++taken_;
      return text;
    }
    return {};
  }

  const TReportJob& job_;
  std::string& out_;
  const TRowWriter& write_;
  const std::size_t blocks_;
  std::vector<std::thread> helpers_;
  std::atomic<std::size_t> next_{0};
  std::atomic<bool> stop_{false};
  std::mutex mutex_;
  std::vector<std::pair<std::size_t, std::string>> finished_;
  std::size_t taken_ = 0;     // blocks taken from finished_, in order
  std::size_t appended_ = 0;  // of those, appended to the report
  std::size_t sent_ = 0;      // bytes of the report handed to the sink
  bool sinkOpen_ = true;
  std::exception_ptr failure_;
};

void WriteRows(const TReportJob& job, std::string& out, const TRowWriter& write) {
  if (job.Files == nullptr || job.Files->empty()) return;
  TRowWriters(job, out, write).Run();
}

std::string ErrorText(const char* what, const std::string& path, int error) {
  return std::string(what) + " \"" + path + "\". " + std::strerror(error);
}

class TDescriptor {
 public:
  explicit TDescriptor(int fd) : fd_(fd) {}
  ~TDescriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  TDescriptor(const TDescriptor&) = delete;
  TDescriptor& operator=(const TDescriptor&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

bool CopyContents(int from, int to) {
  // The kernel copies without the data passing through the program where it can.
  for (;;) {
    const ssize_t copied = ::copy_file_range(from, nullptr, to, nullptr, 1 << 30, 0);
    if (copied == 0) return true;
    if (copied < 0) break;
  }
  if (errno != EXDEV && errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP) return false;
  std::vector<char> buffer(1 << 20);
  for (;;) {
    const ssize_t got = ::read(from, buffer.data(), buffer.size());
    if (got == 0) return true;
    if (got < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    std::size_t done = 0;
    while (done < static_cast<std::size_t>(got)) {
      const ssize_t put = ::write(to, buffer.data() + done, static_cast<std::size_t>(got) - done);
      if (put < 0 && errno == EINTR) continue;
      if (put <= 0) return false;
      done += static_cast<std::size_t>(put);
    }
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

std::string WriteShortList(const TReportJob& job) {
  std::string out;
  for (const std::string& line : job.Header) AppendLine(out, line);
  AppendLine(out, "");
  if (job.Files != nullptr) {
    for (const TFoundFile& file : *job.Files) AppendLine(out, file.Path);
  }
  return out;
}

std::string WriteDetailedList(const TReportJob& job) {
  std::string out;
  for (const std::string& line : job.Header) AppendLine(out, line);
  WriteRows(job, out, [&job](TID3Engine& engine, const TFoundFile& file, TStringList& lines, std::string& text) {
    lines.clear();
    lines.emplace_back();
    CollectReportValues(engine, file.Path, job.Columns, lines, ReportValueMode::LabelledValues, job.Format);
    for (const std::string& line : lines) AppendLine(text, line);
  });
  return out;
}

std::string WriteTabularReport(const TReportJob& job, TabularFormat format) {
  std::string out;
  TStringList values;
  CollectReportValues(*job.Engine, std::string(), job.Columns, values, ReportValueMode::Captions,
                      job.Format);
  if (format == TabularFormat::Html) AppendHtmlHead(job, out);
  AppendRow(format, values, true, out);
  WriteRows(job, out, [&job, format](TID3Engine& engine, const TFoundFile& file, TStringList& fields, std::string& text) {
    fields.clear();
    CollectReportValues(engine, file.Path, job.Columns, fields, ReportValueMode::Values, job.Format);
    AppendRow(format, fields, false, text);
  });
  if (format == TabularFormat::Html) {
    for (const char* line : {"</table>", "</body>", "</html>"}) AppendLine(out, line);
  }
  return out;
}

std::string BuildReportText(const TReportJob& job) {
  switch (job.Type) {
    case 0: return WriteShortList(job);
    case 1: return WriteDetailedList(job);
    case 2: return WriteTabularReport(job, TabularFormat::Html);
    case 3: return WriteTabularReport(job, TabularFormat::Comma);
    case 4: return WriteTabularReport(job, TabularFormat::Tab);
    default: break;
  }
  return {};
}

bool WriteReportFile(const TReportJob& job, const std::string& path) {
  if (!IsReportType(job.Type)) return false;
  ReplaceFileAtomically(path, [&job](int fd) {
    // The file is written while the rows are read; the report is still built whole in memory.
    TReportJob writing = job;
    std::size_t written = 0;
    int error = 0;
    writing.TextSink = [fd, &written, &error](std::string_view piece) {
      if (!WriteAll(fd, piece)) {
        error = errno;
        return false;
      }
      written += piece.size();
      return true;
    };
    const std::string text = BuildReportText(writing);
    if (error != 0) {
      errno = error;  // reading the files since may have changed it
      return false;
    }
    return WriteAll(fd, std::string_view(text).substr(written));
  });
  return true;
}

void CopyReportFile(const std::string& from, const std::string& to) {
  const TDescriptor source(::open(from.c_str(), O_RDONLY | O_CLOEXEC));
  if (source.get() < 0) throw EFileError(ErrorText("Cannot open file", from, errno));
  ReplaceFileAtomically(to, [&source](int fd) { return CopyContents(source.get(), fd); });
}

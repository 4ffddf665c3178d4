#include "reports/UnitReports.h"

#include "core/UnitTextFiles.h"
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

std::string TableCell(std::string_view text, bool caption) {
  const std::string shown = text.empty() ? std::string("&nbsp;") : HtmlEscape(text);
  if (caption) {
    return "<td nowrap><font size=\"2\" face=\"Arial\"><strong>" + shown + "</strong></font></td>";
  }
  return "<td nowrap><font size=\"2\" face=\"Arial\">" + shown + "</font></td>";
}

void AppendHtmlHead(const TReportJob& job, TStringList& out) {
  out.insert(out.end(), {"<html>", "<head>", "<meta charset=\"utf-8\">", "<title>Report</title>",
                         "</head>", "<body bgcolor=\"#FFFFFF\">", "<font size=\"2\" face=\"Arial\">"});
  for (const std::string& line : job.Header) out.push_back(HtmlEscape(line) + "<br>");
  out.insert(out.end(), {"<br></font>",
                         "<table border=\"1\" cellpadding=\"10\" cellspacing=\"0\" width=\"100%\">"});
}

void AppendRow(TabularFormat format, const TStringList& values, bool caption, TStringList& out) {
  switch (format) {
    case TabularFormat::Comma: out.push_back(DelimitedText(values, ',')); return;
    case TabularFormat::Tab: out.push_back(DelimitedText(values, '\t')); return;
    case TabularFormat::Html: break;
  }
  out.emplace_back("<tr>");
  for (const std::string& value : values) out.push_back(TableCell(value, caption));
  out.emplace_back("</tr>");
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
  for (TReportValue& item : GetReportValues(engine, path, columns, fmt)) {
    switch (mode) {
      case ReportValueMode::Captions: list.push_back(std::move(item.Caption)); break;
      case ReportValueMode::LabelledValues:
        if (!item.Value.empty()) list.push_back(item.Caption + ": " + item.Value);
        break;
      case ReportValueMode::Values: list.push_back(std::move(item.Value)); break;
    }
  }
}

std::string DelimitedText(const TStringList& fields, char delimiter) {
  if (fields.size() == 1 && fields.front().empty()) return "\"\"";
  std::string out;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (i > 0) out += delimiter;
    if (NeedsQuotes(fields[i], delimiter)) AppendQuoted(out, fields[i]);
    else out += fields[i];
  }
  return out;
}

std::string HtmlEscape(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (const char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      default: out += c; break;
    }
  }
  return out;
}

TStringList WriteShortList(const TReportJob& job) {
  TStringList out = job.Header;
  out.emplace_back();
  if (job.Files != nullptr) {
    for (const TFoundFile& file : *job.Files) out.push_back(file.Path);
  }
  return out;
}

TStringList WriteDetailedList(const TReportJob& job) {
  TStringList out = job.Header;
  if (job.Files == nullptr) return out;
  for (const TFoundFile& file : *job.Files) {
    LetEventsRun(job);
    out.emplace_back();
    CollectReportValues(*job.Engine, file.Path, job.Columns, out, ReportValueMode::LabelledValues,
                        job.Format);
  }
  return out;
}

TStringList WriteTabularReport(const TReportJob& job, TabularFormat format) {
  TStringList out;
  TStringList values;
  CollectReportValues(*job.Engine, std::string(), job.Columns, values, ReportValueMode::Captions,
                      job.Format);
  if (format == TabularFormat::Html) AppendHtmlHead(job, out);
  AppendRow(format, values, true, out);
  if (job.Files != nullptr) {
    for (const TFoundFile& file : *job.Files) {
      LetEventsRun(job);
      values.clear();
      CollectReportValues(*job.Engine, file.Path, job.Columns, values, ReportValueMode::Values,
                          job.Format);
      AppendRow(format, values, false, out);
    }
  }
  if (format == TabularFormat::Html) out.insert(out.end(), {"</table>", "</body>", "</html>"});
  return out;
}

TStringList BuildReportLines(const TReportJob& job) {
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
  WriteTextLines(path, BuildReportLines(job));
  return true;
}

#pragma once
// Report generation without any window: the header, the texts of each file's columns, the five
// report types and the joining of delimited lines. The report wizard and the unattended report
// scan the locations and hand the found files here.

#include <array>
#include <ctime>
#include <functional>
#include <string>
#include <string_view>

#include "core/UnitGlobals.h"
#include "info/UnitFileFormat.h"

class TID3Engine;

// The report types, by their index in the wizard's type list.
enum class TReportType : int { ShortList = 0, DetailedList = 1, HtmlTable = 2, Comma = 3, Tab = 4 };
inline constexpr int ReportTypeCount = 5;
inline constexpr std::array<std::string_view, ReportTypeCount> ReportTypeNames = {
    "Short List (Only File Names)", "List With Details", "Long Table In HTM Format",
    "Comma Delimited Report", "Tab Delimited Report"};
inline constexpr int DefaultReportType = 2;

bool IsReportType(int type);
// "REPORT.HTM" for the HTML table, "REPORT.TXT" for every other type.
std::string_view ReportFileName(int type);

// What CollectReportValues appends for each column.
enum class ReportValueMode { Captions, LabelledValues, Values };
// The three table-shaped reports.
enum class TabularFormat { Html, Comma, Tab };

// "Sonarvex Report", "", "Produced by Corvantis Sonarvex", "", "Generated on DATE at TIME", "",
// "Locations to audit:" and one line per target. DATE and TIME are `now` in the locale's short
// date and long time formats.
TStringList BuildReportHeader(const TStringList& targets, std::time_t now, const TLocaleFormat& fmt);

// Appends the texts of one file's columns to `list`: the captions (path empty, nothing read),
// "caption: value" for each non-empty value, or every value. A file that cannot be opened or
// read adds the texts gathered before the failure and nothing more.
void CollectReportValues(TID3Engine& engine, const std::string& path, const TStringList& columns,
                         TStringList& list, ReportValueMode mode, const TLocaleFormat& fmt);

// One line of fields joined by the delimiter. A field holding a byte from 0 to 32, a double
// quote or the delimiter is put in double quotes with its inner quotes doubled; one empty field
// alone gives "" and no field at all an empty line.
std::string DelimitedText(const TStringList& fields, char delimiter);

// & < > " as entities, so that no tag value or location can become markup.
std::string HtmlEscape(std::string_view text);

// Everything one report is made of. LetEventsRun is called once per file while the lines are
// built, so that a window can stay painted; it may be empty.
struct TReportJob {
  int Type = DefaultReportType;
  TStringList Header;
  const TFoundFileList* Files = nullptr;
  TStringList Columns;
  TID3Engine* Engine = nullptr;
  TLocaleFormat Format;
  std::function<void()> LetEventsRun;
};

// The report's text, every line (the last one too) ended by CR LF; empty for a type outside
// 0 to 4. The whole report is built in memory.
std::string BuildReportText(const TReportJob& job);

// Builds the report and writes it to `path` as its rows are made (memory holds a few blocks of
// rows, whatever the number of files), replacing the file atomically. Throws EFileError
// (the old file untouched) when it cannot be written. A type outside 0 to 4 writes nothing and
// returns false.
// When copyTo is given (the file the user asked for), the same bytes then replace that file too,
// atomically and keeping its permissions: the copy grows with the report, and is put in place
// after it. A copy that fails leaves that file as it was, the report written and the
// copy's message in *copyFailure (empty when the copy was made).
bool WriteReportFile(const TReportJob& job, const std::string& path, const std::string& copyTo = std::string(),
                     std::string* copyFailure = nullptr);


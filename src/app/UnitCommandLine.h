#pragma once
// The program's command line: "/SCAN path [/SUBFOLDERS | /NOSUBFOLDERS]" and
// "/REPORT type output location...". Keywords are compared after ASCII upper-casing;
// the first parameter decides, "/SCAN" being tested before "/REPORT".

#include <string>
#include <vector>

enum class TCommandKind { None, Scan, Report };
enum class TSubfoldersSwitch { Unchanged, On, Off };

struct TCommandLine {
  TCommandKind Kind = TCommandKind::None;
  // /SCAN
  std::string ScanPath;  // may be empty: the location dialog asks for it
  TSubfoldersSwitch Subfolders = TSubfoldersSwitch::Unchanged;
  // /REPORT
  int ReportType = 2;
  std::string ReportOutput;
  std::vector<std::string> ReportLocations;
};

// params are the parameters after the program name, already split as the shell split them.
TCommandLine ParseCommandLine(const std::vector<std::string>& params);

// A decimal integer (optional sign) or the fallback when the text is not one or overflows.
int DecimalOrDefault(const std::string& text, int fallback);

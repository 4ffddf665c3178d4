#include "app/UnitCommandLine.h"

#include <charconv>

#include "core/UnitGlobals.h"

int DecimalOrDefault(const std::string& text, int fallback) {
  const char* first = text.data();
  const char* last = text.data() + text.size();
  if (first != last && *first == '+') ++first;
  int value = 0;
  const auto [end, error] = std::from_chars(first, last, value);
  if (error != std::errc() || end != last || first == last) return fallback;
  return value;
}

TCommandLine ParseCommandLine(const std::vector<std::string>& params) {
  TCommandLine result;
  if (params.empty()) return result;
  const std::string keyword = UpperCaseAscii(params[0]);
  auto param = [&](std::size_t i) { return i < params.size() ? params[i] : std::string(); };
  if (keyword == "/SCAN") {
    result.Kind = TCommandKind::Scan;
    result.ScanPath = param(1);
    const std::string option = UpperCaseAscii(param(2));
    if (option == "/SUBFOLDERS") result.Subfolders = TSubfoldersSwitch::On;
    else if (option == "/NOSUBFOLDERS") result.Subfolders = TSubfoldersSwitch::Off;
  } else if (keyword == "/REPORT") {
    result.Kind = TCommandKind::Report;
    result.ReportType = DecimalOrDefault(param(1), 2);
    result.ReportOutput = param(2);
    for (std::size_t i = 3; i < params.size(); ++i) result.ReportLocations.push_back(params[i]);
  }
  return result;
}

#include "info/UnitColumnConfig.h"

#include <set>

#include "core/UnitTextFiles.h"

namespace {

constexpr std::string_view UsedMarker = "USED";
constexpr std::string_view NotUsedMarker = "NOTUSED";

// The code of a code=caption line: its first four characters (fewer in a short line).
std::string_view CodeOf(std::string_view line) { return line.substr(0, 4); }

// Catalogue types the file names in neither list (it was saved before they existed, or edited
// by hand) go to the end of the unused list, so that they can still be chosen.
void AppendMissingTypes(const TStringList& used, TStringList& unused) {
  std::set<std::string_view> present;
  for (const std::string& line : used) present.insert(CodeOf(line));
  for (const std::string& line : unused) present.insert(CodeOf(line));
  std::vector<std::string_view> missing;
  for (std::string_view type : InfoTypeCatalogue())
    if (!present.contains(CodeOf(type))) missing.push_back(type);
  unused.insert(unused.end(), missing.begin(), missing.end());
}

}  // namespace

void LoadColumnConfiguration(const std::string& path, TStringList& used, TStringList& unused) {
  used.clear();
  unused.clear();
  const std::vector<std::string> lines = ReadTextLines(path);
  TStringList* target = &used;
  for (const std::string& line : lines) {
    if (line == UsedMarker) {
      target = &used;
    } else if (line == NotUsedMarker) {
      target = &unused;
    } else if (!line.empty()) {
      target->push_back(line);
    }
  }
  AppendMissingTypes(used, unused);
}

void SaveColumnConfiguration(const std::string& path, const TStringList& used,
                             const TStringList& unused) {
  std::vector<std::string> lines;
  lines.reserve(used.size() + unused.size() + 2);
  lines.emplace_back(UsedMarker);
  lines.insert(lines.end(), used.begin(), used.end());
  lines.emplace_back(NotUsedMarker);
  lines.insert(lines.end(), unused.begin(), unused.end());
  WriteTextLines(path, lines);
}

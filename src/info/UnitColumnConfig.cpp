#include "info/UnitColumnConfig.h"

#include "core/UnitTextFiles.h"

namespace {

constexpr std::string_view UsedMarker = "USED";
constexpr std::string_view NotUsedMarker = "NOTUSED";

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

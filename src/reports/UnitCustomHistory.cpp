#include "reports/UnitCustomHistory.h"

#include "core/UnitFileSystem.h"
#include "core/UnitDataFolder.h"
#include "core/UnitGlobals.h"
#include "core/UnitTextFiles.h"

#include <unordered_set>

std::string CustomHistoryFile() { return DataFile(CustomHistoryFileName); }

std::vector<std::string> DistinctHistoryEntries(const std::vector<std::string>& lines) {
  std::vector<std::string> entries;
  std::unordered_set<std::string> seen;
  for (const auto& line : lines) {
    if (line.empty()) continue;
    if (!seen.insert(line).second) continue;
    entries.push_back(line);
  }
  return entries;
}

std::vector<std::string> LoadCustomHistory(const std::string& path) {
  if (!FileExistsByFind(path)) return {};
  try {
    return DistinctHistoryEntries(ReadTextLines(path));
  } catch (const EFileError&) {
    return {};
  }
}

void SaveCustomHistory(const std::string& path, const std::vector<std::string>& entries) {
  WriteTextLines(path, entries);
}

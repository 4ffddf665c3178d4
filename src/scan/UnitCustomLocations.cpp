#include "scan/UnitCustomLocations.h"

#include "core/UnitDataFolder.h"
#include "core/UnitGlobals.h"
#include "core/UnitTextFiles.h"

std::string CustomLocationsFile() { return DataFile(CustomLocationsFileName); }

namespace {

std::vector<std::string> WithoutEmpty(std::vector<std::string> lines) {
  std::erase_if(lines, [](const std::string& line) { return line.empty(); });
  return lines;
}

}  // namespace

std::vector<std::string> LoadCustomLocations(const std::string& path) {
  return WithoutEmpty(ReadTextLines(path));
}

std::vector<std::string> LoadCustomLocationsOrEmpty(const std::string& path) {
  try {
    return LoadCustomLocations(path);
  } catch (const EFileError&) {
    return {};
  }
}

void SaveCustomLocations(const std::string& path, const std::vector<std::string>& locations) {
  WriteTextLines(path, WithoutEmpty(locations));
}

bool SameLocation(std::string_view a, std::string_view b) { return a == b; }

std::optional<std::size_t> FindLocation(const std::vector<std::string>& locations, std::string_view path) {
  for (std::size_t i = 0; i < locations.size(); ++i) {
    if (SameLocation(locations[i], path)) return i;
  }
  return std::nullopt;
}

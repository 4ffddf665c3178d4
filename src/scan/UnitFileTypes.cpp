#include "scan/UnitFileTypes.h"

#include "core/UnitDataFolder.h"
#include "core/UnitGlobals.h"
#include "core/UnitTextFiles.h"

std::string FileTypesFile() { return DataFile(FileTypesFileName); }

std::string FileTypesSourceFile() { return ShippedDataFile(FileTypesFileName); }

bool ParseFileTypeLine(std::string_view line, TFileTypeGroup& group) {
  const auto equals = line.find('=');
  if (equals == std::string_view::npos || equals < 2) return false;
  group.Selected = line.front() == '1';
  group.Name = std::string(line.substr(1, equals - 1));
  group.Extensions = std::string(line.substr(equals + 1));
  return true;
}

std::string FormatFileTypeLine(const TFileTypeGroup& group) {
  return (group.Selected ? "1" : "0") + group.Name + "=" + group.Extensions;
}

TFileTypeGroups ParseFileTypes(const std::vector<std::string>& lines) {
  TFileTypeGroups groups;
  TFileTypeGroup group;
  for (const auto& line : lines) {
    if (ParseFileTypeLine(line, group)) groups.push_back(group);
  }
  return groups;
}

TFileTypeGroups LoadFileTypes(const std::string& path) { return ParseFileTypes(ReadTextLines(path)); }

void SaveFileTypes(const std::string& path, const TFileTypeGroups& groups) {
  std::vector<std::string> lines;
  lines.reserve(groups.size());
  for (const auto& group : groups) lines.push_back(FormatFileTypeLine(group));
  WriteTextLines(path, lines);
}

std::string BuildScanFilter(const TFileTypeGroups& groups) {
  if (groups.empty()) return std::string(DefaultScanFilter);
  std::string filter;
  for (const auto& group : groups) {
    if (!group.Selected) continue;
    filter += group.Extensions;
    filter += ',';
  }
  filter = UpperCaseAscii(filter);
  if (!filter.empty() && filter.back() == ',') filter.pop_back();
  return filter;
}

std::string ApplyFileTypes() {
  ScanFilter.clear();
  ScanFilter = BuildScanFilter(LoadFileTypes(FileTypesSourceFile()));
  return ScanFilter;
}

std::vector<std::string> SplitExtensionsText(std::string_view text) {
  std::vector<std::string> items;
  std::size_t i = 0;
  while (i <= text.size()) {
    std::string item;
    std::size_t start = i;
    while (start < text.size() && (text[start] == ' ' || text[start] == '\t')) ++start;
    if (start < text.size() && text[start] == '"') {
      i = start + 1;
      while (i < text.size()) {
        if (text[i] == '"') {
          if (i + 1 < text.size() && text[i + 1] == '"') {
            item += '"';
            i += 2;
            continue;
          }
          ++i;
          break;
        }
        item += text[i++];
      }
    }
    // Whatever follows a closing quote up to the next comma belongs to the same item.
    while (i < text.size() && text[i] != ',') item += text[i++];
    if (!item.empty()) items.push_back(std::move(item));
    ++i;  // past the comma (or the end)
  }
  return items;
}

std::string JoinExtensionLines(const std::vector<std::string>& lines) {
  std::string text;
  for (const auto& line : lines) {
    if (line.empty()) continue;
    text += '"';
    text += line;
    text += "\",";
  }
  if (!text.empty() && text.back() == ',') text.pop_back();
  return text;
}

// fuzz-seconds: 20
// The settings file readers on arbitrary bytes: file types (and the memo split of their
// extensions), custom locations, the location history and MAIN.INI, read and written back.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "app/UnitMainIni.h"
#include "core/UnitGlobals.h"
#include "core/UnitTextFiles.h"
#include "reports/UnitCustomHistory.h"
#include "scan/UnitFileTypes.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const auto lines = SplitTextLines(text);

  const auto groups = ParseFileTypes(lines);
  if (groups.empty() && BuildScanFilter(groups) != DefaultScanFilter) std::abort();
  BuildScanFilter(groups);
  for (const auto& group : groups) {
    if (group.Name.empty() || group.Name.find('=') != std::string::npos) std::abort();
    for (const auto& line : SplitExtensionsText(group.Extensions)) {
      if (line.empty()) std::abort();
    }
  }

  const auto history = DistinctHistoryEntries(lines);
  for (const auto& entry : history) {
    if (entry.empty()) std::abort();
  }

  TIniFile ini = TIniFile::Parse(text);
  const TMainWindowSettings before = ReadMainWindowSettings(ini);
  WriteMainWindowSettings(ini, before);
  const TMainWindowSettings after = ReadMainWindowSettings(TIniFile::Parse(ini.Text()));
  if (after.Toolbar != before.Toolbar || after.Subfolders != before.Subfolders ||
      after.ListViewStyle != before.ListViewStyle) {
    std::abort();
  }
  return 0;
}

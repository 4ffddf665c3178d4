#pragma once
// Process-wide lists and texts shared by the main window, the scan, the list and the actions.
// They live from program start to program end; only the user-interface thread touches them.

#include <array>
#include <string>
#include <string_view>
#include <vector>

// One file of the last scan: its full path (file-system bytes) and its action check flag.
struct TFoundFile {
  std::string Path;
  int Checked = 0;  // 0 = not checked, 1 = checked for an action
};

using TFoundFileList = std::vector<TFoundFile>;
using TStringList = std::vector<std::string>;

extern TFoundFileList FoundFileList;
// Selected extensions, each upper-case, dotted and in double quotes, joined by commas.
extern std::string ScanFilter;
// Folder of the last scan that was given a non-empty path.
extern std::string CurrentScanPath;
extern bool ScanCancelRequested;
// Column configuration: code=caption lines.
extern TStringList UsedInfoTypes;
extern TStringList UnusedInfoTypes;
// Lines of the last Delete or Destroy run.
extern TStringList DestroyLog;
// True from program start until the main window has been created (also when creation fails);
// selection changes of the folder tree start no scan meanwhile.
extern bool MainWindowCreating;

inline constexpr std::string_view ApplicationTitle = "Corvantis Sonarvex";

// The filter a fresh program (or one without a readable file types list) scans with.
inline constexpr std::string_view DefaultScanFilter = "\".MP3\"";

inline constexpr std::size_t InfoTypeCatalogueSize = 96;
// The built-in info types, in catalogue order.
const std::array<std::string_view, InfoTypeCatalogueSize>& InfoTypeCatalogue();
// Used: every entry but "0FUL=Full file name and location", in catalogue order; unused: that one.
void FillDefaultCatalogue(TStringList& used, TStringList& unused);

// Appends the platform's path separator unless the path is empty or already ends with one.
// (The name comes from the platform where the separator is a backslash.)
std::string WithTrailingBackslash(const std::string& path);

// Upper-cases the ASCII letters a to z only; every other byte stays as it is.
std::string UpperCaseAscii(std::string_view text);
bool SameTextAscii(std::string_view a, std::string_view b);

// The program folder: the folder of the executable, with the files shipped with the program.
// The files the program keeps and writes lie in the data folder (core/UnitDataFolder.h), which
// is this same folder wherever the user may write to it. Tests point it at a folder of their
// own; the data folder follows it there until DecideDataFolder() runs again.
const std::string& ProgramFolder();
void SetProgramFolder(const std::string& folder);
// WithTrailingBackslash(ProgramFolder()) + name: for shipped files only.
std::string ProgramFile(std::string_view name);

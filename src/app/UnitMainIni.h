#pragma once
// MAIN.INI: a plain initialisation file (section lines in brackets, key=value lines, CR LF),
// and the main window's settings kept in its section "MAINWINDOW".

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

inline constexpr std::string_view MainIniFileName = "MAIN.INI";
inline constexpr std::string_view MainWindowSection = "MAINWINDOW";
// Stored instead of a placement value that is not known; read back as "not set".
inline constexpr int MissingIniValue = 2147483647;

// MAIN.INI in the program folder.
std::string MainIniFile();

// Reads "42", "-7" or "0x1F" (optional sign, decimal or 0x hexadecimal, 32-bit range, blanks
// around allowed). Anything else is not a number.
std::optional<std::int32_t> ParseIniInteger(std::string_view text);

// An initialisation file held as its lines, so that a save keeps every section, comment and key
// it did not change. Section and key names compare without regard to ASCII case; where a key
// occurs twice in a section, the first one counts.
class TIniFile {
 public:
  TIniFile() = default;
  static TIniFile Parse(std::string_view text);
  // Throws EFileError when the file is missing or unreadable.
  static TIniFile Load(const std::string& path);
  // A missing or unreadable file is an empty one.
  static TIniFile LoadOrEmpty(const std::string& path);

  std::string Text() const;  // every line ended by CR LF
  // Replaces the file atomically; throws EFileError.
  void Save(const std::string& path) const;

  std::optional<std::string> ReadString(std::string_view section, std::string_view key) const;
  // Missing keys and values that are not numbers give nullopt.
  std::optional<std::int32_t> ReadInteger(std::string_view section, std::string_view key) const;
  // Any integer other than 0 is true.
  std::optional<bool> ReadBool(std::string_view section, std::string_view key) const;

  // Adds the section (at the end) and the key (after the section's last key) when missing.
  // Line breaks in names or values would start new lines; they are replaced by blanks.
  void WriteString(std::string_view section, std::string_view key, std::string_view value);
  void WriteInteger(std::string_view section, std::string_view key, std::int32_t value);
  void WriteBool(std::string_view section, std::string_view key, bool value);

 private:
  struct TSectionRange {
    std::size_t Header;  // index of the section line
    std::size_t End;     // one past its last line
  };
  std::optional<TSectionRange> FindSection(std::string_view section) const;
  std::optional<std::size_t> FindKey(const TSectionRange& range, std::string_view key) const;

  std::vector<std::string> lines_;
};

enum class TWindowState { Normal = 0, Minimized = 1, Maximized = 2 };
enum class TListViewStyle { Icons = 0, SmallIcons = 1, List = 2, Details = 3 };

// What MAIN.INI says about the main window, after the read rules; an empty optional means
// "leave the window as it is".
struct TMainWindowSettings {
  std::optional<int> Left;    // placement: missing, not a number or 2147483647 = not set
  std::optional<int> Top;
  std::optional<int> Width;
  std::optional<int> Height;
  std::optional<TWindowState> WindowState;  // only 0, 1 and 2 are states
  bool Toolbar = true;
  bool StatusBar = true;
  bool ExplorerBar = true;
  TListViewStyle ListViewStyle = TListViewStyle::Details;  // values outside 0-3: Details
  std::optional<int> ExplorerWidth;
  std::optional<int> PagesHeight;
  bool Subfolders = false;  // true switches the option on; false leaves it as it is
};

TMainWindowSettings ReadMainWindowSettings(const TIniFile& ini);
// A missing or unreadable file gives every default.
TMainWindowSettings LoadMainWindowSettings(const std::string& path);

// Writes the settings into the section, in the file's key order. The placement keys are written
// only when WindowState is Normal (and the value is set), so a window closed maximised or
// minimised keeps its last normal placement from the file.
void WriteMainWindowSettings(TIniFile& ini, const TMainWindowSettings& settings);
// Loads the file (keeping everything else in it), writes the settings and saves it atomically.
// Throws EFileError when it cannot be written, or when it exists but cannot be read (it is then
// left as it is).
void SaveMainWindowSettings(const std::string& path, const TMainWindowSettings& settings);

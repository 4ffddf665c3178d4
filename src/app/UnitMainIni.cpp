#include "app/UnitMainIni.h"

#include "core/UnitDataFolder.h"
#include "core/UnitFileSystem.h"
#include "core/UnitGlobals.h"
#include "core/UnitTextFiles.h"

#include <limits>

std::string MainIniFile() { return DataFile(MainIniFileName); }

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

int DigitValue(char c, int base) {
  int value = -1;
  if (c >= '0' && c <= '9') value = c - '0';
  else if (c >= 'a' && c <= 'f') value = c - 'a' + 10;
  else if (c >= 'A' && c <= 'F') value = c - 'A' + 10;
  return value < base ? value : -1;
}

// The name of a section line ("[NAME]"), or nullopt for any other line.
std::optional<std::string_view> SectionName(std::string_view line) {
  line = Trimmed(line);
  if (line.empty() || line.front() != '[') return std::nullopt;
  line.remove_prefix(1);
  const auto close = line.find(']');
  return Trimmed(close == std::string_view::npos ? line : line.substr(0, close));
}

// Key and value of a key=value line; comments and other lines have none.
bool SplitKeyLine(std::string_view line, std::string_view& key, std::string_view& value) {
  const auto trimmed = Trimmed(line);
  if (trimmed.empty() || trimmed.front() == ';' || trimmed.front() == '[') return false;
  const auto equals = line.find('=');
  if (equals == std::string_view::npos) return false;
  key = Trimmed(line.substr(0, equals));
  value = Trimmed(line.substr(equals + 1));
  return !key.empty();
}

std::string OneLine(std::string_view text) {
  std::string result(text);
  for (char& c : result) {
    if (c == '\r' || c == '\n') c = ' ';
  }
  return result;
}

}  // namespace

std::optional<std::int32_t> ParseIniInteger(std::string_view text) {
  text = Trimmed(text);
  bool negative = false;
  if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  int base = 10;
  if (text.size() >= 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    base = 16;
    text.remove_prefix(2);
  }
  if (text.empty()) return std::nullopt;
  constexpr std::int64_t limit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
  std::int64_t value = 0;
  for (const char c : text) {
    const int digit = DigitValue(c, base);
    if (digit < 0) return std::nullopt;
    value = value * base + digit;
    if (value > limit) return std::nullopt;
  }
  if (negative) value = -value;
  if (value > std::numeric_limits<std::int32_t>::max()) return std::nullopt;
  return static_cast<std::int32_t>(value);
}

TIniFile TIniFile::Parse(std::string_view text) {
  TIniFile ini;
  ini.lines_ = SplitTextLines(text);
  return ini;
}

TIniFile TIniFile::Load(const std::string& path) { return Parse(ReadWholeFile(path)); }

TIniFile TIniFile::LoadOrEmpty(const std::string& path) {
  try {
    return Load(path);
  } catch (const EFileError&) {
    return {};
  }
}

std::string TIniFile::Text() const {
  std::string text;
  for (const auto& line : lines_) {
    text += line;
    text += "\r\n";
  }
  return text;
}

void TIniFile::Save(const std::string& path) const { WriteFileAtomically(path, Text()); }

std::optional<TIniFile::TSectionRange> TIniFile::FindSection(std::string_view section) const {
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    const auto name = SectionName(lines_[i]);
    if (!name || !SameTextAscii(*name, section)) continue;
    std::size_t end = i + 1;
    while (end < lines_.size() && !SectionName(lines_[end])) ++end;
    return TSectionRange{i, end};
  }
  return std::nullopt;
}

std::optional<std::size_t> TIniFile::FindKey(const TSectionRange& range, std::string_view key) const {
  std::string_view name, value;
  for (std::size_t i = range.Header + 1; i < range.End; ++i) {
    if (SplitKeyLine(lines_[i], name, value) && SameTextAscii(name, key)) return i;
  }
  return std::nullopt;
}

std::optional<std::string> TIniFile::ReadString(std::string_view section, std::string_view key) const {
  const auto range = FindSection(section);
  if (!range) return std::nullopt;
  const auto index = FindKey(*range, key);
  if (!index) return std::nullopt;
  std::string_view name, value;
  SplitKeyLine(lines_[*index], name, value);
  return std::string(value);
}

std::optional<std::int32_t> TIniFile::ReadInteger(std::string_view section, std::string_view key) const {
  const auto text = ReadString(section, key);
  if (!text) return std::nullopt;
  return ParseIniInteger(*text);
}

std::optional<bool> TIniFile::ReadBool(std::string_view section, std::string_view key) const {
  const auto value = ReadInteger(section, key);
  if (!value) return std::nullopt;
  return *value != 0;
}

void TIniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
  const std::string line = OneLine(key) + "=" + OneLine(value);
  const auto range = FindSection(section);
  if (!range) {
    lines_.push_back("[" + OneLine(section) + "]");
    lines_.push_back(line);
    return;
  }
  if (const auto index = FindKey(*range, key)) {
    lines_[*index] = line;
    return;
  }
  // After the section's last non-blank line, so a blank line before the next section stays there.
  std::size_t at = range->End;
  while (at > range->Header + 1 && Trimmed(lines_[at - 1]).empty()) --at;
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at), line);
}

void TIniFile::WriteInteger(std::string_view section, std::string_view key, std::int32_t value) {
  WriteString(section, key, std::to_string(value));
}

void TIniFile::WriteBool(std::string_view section, std::string_view key, bool value) {
  WriteString(section, key, value ? "1" : "0");
}

namespace {

std::optional<int> ReadPlacement(const TIniFile& ini, std::string_view key) {
  const auto value = ini.ReadInteger(MainWindowSection, key);
  if (!value || *value >= MissingIniValue) return std::nullopt;
  return *value;
}

bool ReadFlag(const TIniFile& ini, std::string_view key, bool missing) {
  return ini.ReadBool(MainWindowSection, key).value_or(missing);
}

void WriteOptional(TIniFile& ini, std::string_view key, const std::optional<int>& value) {
  if (value) ini.WriteInteger(MainWindowSection, key, *value);
}

}  // namespace

TMainWindowSettings ReadMainWindowSettings(const TIniFile& ini) {
  TMainWindowSettings s;
  s.Left = ReadPlacement(ini, "LEFT");
  s.Top = ReadPlacement(ini, "TOP");
  s.Width = ReadPlacement(ini, "WIDTH");
  s.Height = ReadPlacement(ini, "HEIGHT");
  const auto state = ini.ReadInteger(MainWindowSection, "WINDOWSTATE");
  if (state && *state >= 0 && *state <= 2) s.WindowState = static_cast<TWindowState>(*state);
  s.Toolbar = ReadFlag(ini, "TOOLBAR", true);
  s.StatusBar = ReadFlag(ini, "STATUSBAR", true);
  s.ExplorerBar = ReadFlag(ini, "EXPLORERBAR", true);
  const auto style = ini.ReadInteger(MainWindowSection, "LISTVIEWSTYLE");
  if (style && *style >= 0 && *style <= 3) s.ListViewStyle = static_cast<TListViewStyle>(*style);
  s.ExplorerWidth = ReadPlacement(ini, "EXPLORERWIDTH");
  s.PagesHeight = ReadPlacement(ini, "PAGESHEIGHT");
  s.Subfolders = ReadFlag(ini, "SUBFOLDERS", false);
  return s;
}

TMainWindowSettings LoadMainWindowSettings(const std::string& path) {
  return ReadMainWindowSettings(TIniFile::LoadOrEmpty(path));
}

void WriteMainWindowSettings(TIniFile& ini, const TMainWindowSettings& s) {
  const auto state = s.WindowState.value_or(TWindowState::Normal);
  if (state == TWindowState::Normal) {
    WriteOptional(ini, "LEFT", s.Left);
    WriteOptional(ini, "TOP", s.Top);
    WriteOptional(ini, "WIDTH", s.Width);
    WriteOptional(ini, "HEIGHT", s.Height);
  }
  ini.WriteInteger(MainWindowSection, "WINDOWSTATE", static_cast<int>(state));
  ini.WriteBool(MainWindowSection, "TOOLBAR", s.Toolbar);
  ini.WriteBool(MainWindowSection, "STATUSBAR", s.StatusBar);
  ini.WriteBool(MainWindowSection, "EXPLORERBAR", s.ExplorerBar);
  ini.WriteInteger(MainWindowSection, "LISTVIEWSTYLE", static_cast<int>(s.ListViewStyle));
  WriteOptional(ini, "EXPLORERWIDTH", s.ExplorerWidth);
  WriteOptional(ini, "PAGESHEIGHT", s.PagesHeight);
  ini.WriteBool(MainWindowSection, "SUBFOLDERS", s.Subfolders);
}

void SaveMainWindowSettings(const std::string& path, const TMainWindowSettings& settings) {
  TIniFile ini;
  try {
    ini = TIniFile::Load(path);
  } catch (const EFileError& error) {
    // Saving the window's keys alone over a file that exists would lose everything else in it.
    if (!FileIsMissing(path)) throw EFileError(std::string(error.what()) + " The file was left unchanged.");
  }
  WriteMainWindowSettings(ini, settings);
  ini.Save(path);
}

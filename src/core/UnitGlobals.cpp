#include "core/UnitGlobals.h"

#include <algorithm>
#include <climits>
#include <unistd.h>

#include "core/UnitDataFolder.h"
#include "id3/ID3Lists.h"

TFoundFileList FoundFileList;
std::string ScanFilter;
std::string CurrentScanPath;
bool ScanCancelRequested = false;
TStringList UsedInfoTypes;
TStringList UnusedInfoTypes;
TStringList DestroyLog;
bool MainWindowCreating = true;

namespace {

// The file-system and basic tag types, then one type per frame of the tag engine's frame name
// list (its code=caption lines are the same), then the full path, then the audio properties.
constexpr std::array<std::string_view, 13> LeadingTypes = {
    "0NAM=Name",       "0TYP=Type",      "0LOC=Location",  "0SIZ=Size",    "0CRE=Created",
    "0MOD=Modified",   "0ACC=Accessed",  "0ATT=Attributes", "1TIT=Song Title", "1ART=Artist",
    "1ALB=Album",      "1YEA=Year",      "1GEN=Genre"};
constexpr std::string_view FullPathType = "0FUL=Full file name and location";
constexpr std::array<std::string_view, 7> AudioTypes = {
    "2DUR=Duration",  "2BIT=Bitrate", "2SMP=Sample rate", "2CHN=Channels",
    "2BPS=Bits per sample", "2COD=Codec", "2TAG=Tag format"};
static_assert(LeadingTypes.size() + FrameNameCount + 1 + AudioTypes.size() == InfoTypeCatalogueSize);

const std::array<std::string_view, InfoTypeCatalogueSize>& Catalogue() {
  static const auto catalogue = [] {
    std::array<std::string_view, InfoTypeCatalogueSize> types{};
    auto out = std::copy(LeadingTypes.begin(), LeadingTypes.end(), types.begin());
    out = std::copy(FrameNameList().begin(), FrameNameList().end(), out);
    *out++ = FullPathType;
    std::copy(AudioTypes.begin(), AudioTypes.end(), out);
    return types;
  }();
  return catalogue;
}

constexpr char PathSeparator = '/';

std::string ExecutableFolder() {
  std::string buffer(PATH_MAX, '\0');
  const ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
  if (n <= 0) return ".";
  buffer.resize(static_cast<std::size_t>(n));
  const auto slash = buffer.rfind(PathSeparator);
  if (slash == std::string::npos) return ".";
  return slash == 0 ? std::string(1, PathSeparator) : buffer.substr(0, slash);
}

std::string& ProgramFolderStorage() {
  static std::string folder = ExecutableFolder();
  return folder;
}

}  // namespace

const std::array<std::string_view, InfoTypeCatalogueSize>& InfoTypeCatalogue() { return Catalogue(); }

void FillDefaultCatalogue(TStringList& used, TStringList& unused) {
  used.clear();
  unused.clear();
  for (const std::string_view type : Catalogue()) {
    (type == FullPathType ? unused : used).emplace_back(type);
  }
}

std::string WithTrailingBackslash(const std::string& path) {
  if (path.empty() || path.back() == PathSeparator) return path;
  return path + PathSeparator;
}

std::string UpperCaseAscii(std::string_view text) {
  std::string result(text);
  for (char& c : result) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return result;
}

bool SameTextAscii(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 'a' + 'A');
    if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 'a' + 'A');
    if (x != y) return false;
  }
  return true;
}

const std::string& ProgramFolder() { return ProgramFolderStorage(); }

void SetProgramFolder(const std::string& folder) {
  ProgramFolderStorage() = folder;
  SetDataFolder(folder);
}

std::string ProgramFile(std::string_view name) {
  return WithTrailingBackslash(ProgramFolder()) + std::string(name);
}

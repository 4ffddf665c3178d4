#include "core/UnitDataFolder.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <utility>

#include "core/UnitGlobals.h"

namespace {

struct TDataFolderState {
  std::string Folder;
  bool Decided = false;
  TFolderWritableCheck Check = nullptr;
};

TDataFolderState& State() {
  static TDataFolderState state;
  return state;
}

std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? value : "";
}

std::string HomeFolder() {
  std::string home = Environment("HOME");
  if (!home.empty()) return home;
  const passwd* entry = ::getpwuid(::getuid());
  return entry != nullptr && entry->pw_dir != nullptr ? entry->pw_dir : "";
}

// A relative XDG_CONFIG_HOME is invalid and must be ignored, as the base directory rules say.
std::string UserConfigFolder() {
  std::string base = Environment("XDG_CONFIG_HOME");
  if (base.empty() || base.front() != '/') {
    const std::string home = HomeFolder();
    if (home.empty()) return {};
    base = WithTrailingBackslash(home) + ".config";
  }
  return WithTrailingBackslash(base) + "sonarvex";
}

// Creates the folder and its missing parents, each private to the user. An existing folder
// keeps the permissions it has.
void MakeFolders(const std::string& folder) {
  for (std::size_t slash = folder.find('/', 1); ; slash = folder.find('/', slash + 1)) {
    const std::string part = folder.substr(0, slash);
    if (!part.empty() && ::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return;
    if (slash == std::string::npos) return;
  }
}

// A relative folder named at start-up is taken from where the program was started, once.
std::string CurrentFolder() {
  std::string buffer(PATH_MAX, '\0');
  if (::getcwd(buffer.data(), buffer.size()) == nullptr) return {};
  buffer.resize(std::char_traits<char>::length(buffer.c_str()));
  return WithTrailingBackslash(buffer);
}

bool IsFile(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

// The data folder, and whether it may have to be created.
std::pair<std::string, bool> ChooseDataFolder() {
  const std::string chosen = Environment("SONARVEX_DATA_DIR");
  if (!chosen.empty()) return {chosen.front() == '/' ? chosen : CurrentFolder() + chosen, true};
  const TFolderWritableCheck check = State().Check != nullptr ? State().Check : &CanReplaceFilesIn;
  if (check(ProgramFolder())) return {ProgramFolder(), false};
  const std::string user = UserConfigFolder();
  if (user.empty()) return {ProgramFolder(), false};
  return {user, true};
}

}  // namespace

bool CanReplaceFilesIn(const std::string& folder) {
  std::string probe = WithTrailingBackslash(folder) + ".sonarvex-XXXXXX";
  const int fd = ::mkstemp(probe.data());
  if (fd < 0) return false;
  ::close(fd);
  const std::string replaced = probe + ".new";
  const bool renamed = ::rename(probe.c_str(), replaced.c_str()) == 0;
  ::unlink(renamed ? replaced.c_str() : probe.c_str());
  return renamed;
}

const std::string& DecideDataFolder() {
  const auto [folder, create] = ChooseDataFolder();
  if (create) MakeFolders(folder);
  SetDataFolder(folder);
  return State().Folder;
}

const std::string& DataFolder() {
  TDataFolderState& state = State();
  return state.Decided ? state.Folder : DecideDataFolder();
}

void SetDataFolder(const std::string& folder) {
  TDataFolderState& state = State();
  state.Folder = folder;
  state.Decided = true;
}

void SetFolderWritableCheck(TFolderWritableCheck check) { State().Check = check; }

std::string DataFile(std::string_view name) { return WithTrailingBackslash(DataFolder()) + std::string(name); }

std::string ShippedDataFile(std::string_view name) {
  std::string own = DataFile(name);
  if (DataFolder() == ProgramFolder() || IsFile(own)) return own;
  return ProgramFile(name);
}

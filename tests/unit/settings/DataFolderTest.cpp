#include "app/UnitMainIni.h"
#include "core/UnitDataFolder.h"
#include "reports/UnitCustomHistory.h"
#include "scan/UnitCustomLocations.h"
#include "scan/UnitFileTypes.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <optional>

#include "SettingsTestSupport.h"

namespace {

namespace fs = std::filesystem;

// Sets environment variables for one test and puts the old values back afterwards.
class TEnvironment {
 public:
  TEnvironment() {
    for (const char* name : {"SONARVEX_DATA_DIR", "XDG_CONFIG_HOME", "HOME"}) {
      const char* value = std::getenv(name);
      saved_.emplace_back(name, value != nullptr ? std::optional<std::string>(value) : std::nullopt);
    }
  }
  ~TEnvironment() {
    for (const auto& [name, value] : saved_) Set(name, value);
    SetFolderWritableCheck(nullptr);
  }
  TEnvironment(const TEnvironment&) = delete;
  TEnvironment& operator=(const TEnvironment&) = delete;

  static void Set(const std::string& name, const std::optional<std::string>& value) {
    if (value) {
      ::setenv(name.c_str(), value->c_str(), 1);
    } else {
      ::unsetenv(name.c_str());
    }
  }

 private:
  std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

bool ReadOnly(const std::string&) { return false; }

std::vector<std::string> KeptFiles() {
  return {MainIniFile(), FileTypesFile(), CustomLocationsFile(), CustomHistoryFile(), DataFile("Default.itc")};
}

std::vector<std::string> Names(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

TEST(DataFolder, WritableProgramFolderKeepsEverythingBesideTheExecutable) {
  TEnvironment env;
  TScratchProgramFolder dir;
  TEnvironment::Set("SONARVEX_DATA_DIR", std::nullopt);
  dir.Put("EXTENSIO.CFG", "1MP3=\".mp3\"\r\n");
  EXPECT_EQ(DecideDataFolder(), dir.Path());  // the real check, which must leave nothing behind
  EXPECT_EQ(Names(dir.Path()), (std::vector<std::string>{"EXTENSIO.CFG"}));
  for (const auto& file : KeptFiles()) EXPECT_EQ(fs::path(file).parent_path(), dir.Path()) << file;
  EXPECT_EQ(FileTypesSourceFile(), dir.File("EXTENSIO.CFG"));
  EXPECT_FALSE(CanReplaceFilesIn(dir.File("missing")));
}

TEST(DataFolder, ReadOnlyProgramFolderSendsEveryWriteToThePrivateUserFolder) {
  TEnvironment env;
  TScratchProgramFolder dir;
  TEnvironment::Set("SONARVEX_DATA_DIR", std::nullopt);
  TEnvironment::Set("XDG_CONFIG_HOME", dir.File("config"));
  const std::string shipped = "1MP3=\".mp3\"\r\n0Video=\".mkv\"\r\n";
  dir.Put("EXTENSIO.CFG", shipped);
  SetFolderWritableCheck(&ReadOnly);
  const std::string user = dir.File("config/sonarvex");
  ASSERT_EQ(DecideDataFolder(), user);
  struct stat info {};
  ASSERT_EQ(::stat(user.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0700u);
  for (const auto& file : KeptFiles()) EXPECT_EQ(fs::path(file).parent_path(), user) << file;

  // The shipped file types are read until the first save makes the user's own copy.
  EXPECT_EQ(ApplyFileTypes(), "\".MP3\"");
  auto groups = LoadFileTypes(FileTypesSourceFile());
  groups[1].Selected = true;
  SaveFileTypes(FileTypesFile(), groups);
  EXPECT_EQ(FileTypesSourceFile(), user + "/EXTENSIO.CFG");
  EXPECT_EQ(ApplyFileTypes(), "\".MP3\",\".MKV\"");
  SaveMainWindowSettings(MainIniFile(), {});
  SaveCustomLocations(CustomLocationsFile(), {"/media"});
  SaveCustomHistory(CustomHistoryFile(), {"/media"});
  EXPECT_EQ(dir.Get("EXTENSIO.CFG"), shipped);
  EXPECT_EQ(Names(dir.Path()), (std::vector<std::string>{"EXTENSIO.CFG", "config"}));
  EXPECT_EQ(Names(user), (std::vector<std::string>{"CUSTHIST.CFG", "CUSTTARG.CFG", "EXTENSIO.CFG", "MAIN.INI"}));
}

TEST(DataFolder, EnvironmentNamesTheFolder) {
  struct TCase {
    std::optional<std::string> DataDir, ConfigHome;  // "%/" stands for the scratch folder
    bool Writable;
    std::string Expected;  // relative to the scratch folder
  };
  const TCase cases[] = {
      {"%/profiles/a", std::nullopt, true, "profiles/a"},  // wins even over a writable program folder
      {"", "%/xdg", false, "xdg/sonarvex"},                 // an empty value counts as unset
      {std::nullopt, std::nullopt, false, "home/.config/sonarvex"},
      {std::nullopt, "relative/config", false, "home/.config/sonarvex"},  // invalid, ignored
  };
  for (const auto& c : cases) {
    TEnvironment env;
    TScratchProgramFolder dir;
    const auto inScratch = [&](const std::optional<std::string>& v) {
      return v && v->starts_with("%/") ? std::optional(dir.File(v->substr(2))) : v;
    };
    TEnvironment::Set("SONARVEX_DATA_DIR", inScratch(c.DataDir));
    TEnvironment::Set("XDG_CONFIG_HOME", inScratch(c.ConfigHome));
    TEnvironment::Set("HOME", dir.File("home"));
    SetFolderWritableCheck(c.Writable ? nullptr : &ReadOnly);
    EXPECT_EQ(DecideDataFolder(), dir.File(c.Expected));
    EXPECT_TRUE(fs::is_directory(dir.File(c.Expected))) << c.Expected;
  }
}

}  // namespace

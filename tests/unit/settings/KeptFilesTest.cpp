// Files that exist but cannot be read are remembered and never overwritten with defaults.
#include "app/UnitMainIni.h"
#include "core/UnitKeptFiles.h"
#include "scan/UnitCustomLocations.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "SettingsTestSupport.h"

namespace {

TEST(UnreadableKeptFiles, RemembersFilesThatExistButCannotBeRead) {
  TScratchProgramFolder dir;
  dir.Put("CUSTTARG.CFG", "/music\r\n");
  dir.Put("big.cfg", std::string(MaxTextFileSize + 1, 'x'));
  ASSERT_EQ(::mkfifo(dir.File("MAIN.INI").c_str(), 0600), 0);
  std::filesystem::create_directory(dir.File("Default.itc"));
  TUnreadableKeptFiles unreadable;
  const auto load = [&](const std::string& name) {
    return unreadable.Load(dir.File(name), [&] { LoadCustomLocations(dir.File(name)); });
  };
  EXPECT_TRUE(load("CUSTTARG.CFG"));
  EXPECT_FALSE(load("missing.cfg"));
  EXPECT_FALSE(load("big.cfg"));
  EXPECT_FALSE(load("MAIN.INI"));
  EXPECT_FALSE(load("Default.itc"));
  EXPECT_FALSE(unreadable.Contains(dir.File("CUSTTARG.CFG")));
  EXPECT_FALSE(unreadable.Contains(dir.File("missing.cfg")));  // created at close as usual
  for (const char* name : {"big.cfg", "MAIN.INI", "Default.itc"}) {
    EXPECT_TRUE(unreadable.Contains(dir.File(name))) << name;
    const std::string text = unreadable.LeftUnchangedText(dir.File(name));
    EXPECT_NE(text.find(dir.File(name)), std::string::npos) << text;
    EXPECT_TRUE(text.ends_with("was left unchanged.")) << text;
  }
  EXPECT_EQ(unreadable.LeftUnchangedText(dir.File("CUSTTARG.CFG")), "");
}

TEST(UnreadableKeptFiles, WindowSettingsAreNotSavedOverAnUnreadableMainIni) {
  TScratchProgramFolder dir;
  ASSERT_EQ(::mkfifo(MainIniFile().c_str(), 0600), 0);
  EXPECT_THROW(SaveMainWindowSettings(MainIniFile(), TMainWindowSettings{}), EFileError);
  struct stat st {};
  ASSERT_EQ(::lstat(MainIniFile().c_str(), &st), 0);
  EXPECT_TRUE(S_ISFIFO(st.st_mode));
}

}  // namespace

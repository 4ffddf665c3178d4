#include "core/UnitFileSystem.h"
#include "reports/UnitCustomHistory.h"
#include "scan/UnitCustomLocations.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include "SettingsTestSupport.h"

namespace {

using TLines = std::vector<std::string>;

TEST(CustomLocations, SameLocationMeansTheSameBytes) {
  const TLines list = {"/music/Rock", "/music/rock", "/srv/share"};
  EXPECT_EQ(FindLocation(list, "/music/rock"), 1u);
  EXPECT_EQ(FindLocation(list, "/music/Rock"), 0u);
  EXPECT_FALSE(FindLocation(list, "/MUSIC/ROCK"));
  EXPECT_FALSE(FindLocation(list, "/music/Rock/"));  // a trailing separator is another location
  EXPECT_FALSE(FindLocation({}, "/x"));
}

TEST(LocationPaths, RelativePathsAreMadeAbsolute) {
  const struct {
    const char* Path;
    const char* Base;
    const char* Absolute;
  } cases[] = {
      {"", "/home/a", ""},
      {"/srv/x", "/home/a", "/srv/x"},
      {"Music", "/home/a", "/home/a/Music"},
      {"Music/", "/home/a", "/home/a/Music/"},
      {"./Music/./Rock", "/home/a", "/home/a/Music/./Rock"},
      {".", "/home/a", "/home/a"},
      {"../../../b", "/home/a", "/b"},
      {"..//b", "/home/a/", "/home/b"},
      {" /x", "/home/a", "/home/a/ /x"},
  };
  for (const auto& c : cases) EXPECT_EQ(AbsoluteAgainst(c.Path, c.Base), c.Absolute) << c.Path;

  const std::string home = HomeFolder();
  ASSERT_FALSE(home.empty());
  EXPECT_EQ(AbsoluteTypedLocation("~"), home);
  EXPECT_EQ(AbsoluteTypedLocation("~/Music"), (home == "/" ? "" : home) + "/Music");
  const std::string here = std::filesystem::current_path().string();
  EXPECT_EQ(AbsoluteTypedLocation("~other"), here + "/~other");
  EXPECT_EQ(AbsoluteFromWorkingFolder("Music"), here + "/Music");
  EXPECT_EQ(AbsoluteFromWorkingFolder("~"), here + "/~");  // only typed locations know "~"
}

TEST(CustomLocations, SaveAndLoadKeepOrderAndDropEmptyLines) {
  TScratchProgramFolder dir;
  SaveCustomLocations(CustomLocationsFile(), {"/media/b", "/media/a", "", "//server/share"});
  EXPECT_EQ(dir.Get("CUSTTARG.CFG"), "/media/b\r\n/media/a\r\n//server/share\r\n");
  EXPECT_EQ(LoadCustomLocations(CustomLocationsFile()), (TLines{"/media/b", "/media/a", "//server/share"}));
  // A hand-edited file with other line ends and empty lines.
  dir.Put("CUSTTARG.CFG", "\n/x\r\r\n /y \r");
  EXPECT_EQ(LoadCustomLocations(CustomLocationsFile()), (TLines{"/x", " /y "}));
}

TEST(CustomLocations, MissingFileThrowsOrGivesEmptyList) {
  TScratchProgramFolder dir;
  EXPECT_THROW(LoadCustomLocations(CustomLocationsFile()), EFileError);
  EXPECT_TRUE(LoadCustomLocationsOrEmpty(CustomLocationsFile()).empty());
  SaveCustomLocations(CustomLocationsFile(), {});
  EXPECT_EQ(dir.Get("CUSTTARG.CFG"), "");
}

TEST(CustomHistory, DuplicatesAndEmptyLinesShownOnceAtFirstOccurrence) {
  TScratchProgramFolder dir;
  dir.Put("CUSTHIST.CFG", "/mnt/C/Music\r\n\r\n/mnt/c/music\r\n/mnt/C/Music\r\n/mnt/D/\r\n");
  EXPECT_EQ(LoadCustomHistory(CustomHistoryFile()), (TLines{"/mnt/C/Music", "/mnt/c/music", "/mnt/D/"}));
  EXPECT_EQ(DistinctHistoryEntries({"a", "A", "b", "a", "", "B", "c"}), (TLines{"a", "A", "b", "B", "c"}));
}

TEST(CustomHistory, MissingOrUnreadableFileGivesEmptyHistory) {
  TScratchProgramFolder dir;
  EXPECT_TRUE(LoadCustomHistory(CustomHistoryFile()).empty());
  std::filesystem::create_directory(dir.File("CUSTHIST.CFG"));
  EXPECT_TRUE(LoadCustomHistory(CustomHistoryFile()).empty());
}

TEST(CustomHistory, SaveWritesEveryEntryAndClearLeavesEmptyFile) {
  TScratchProgramFolder dir;
  SaveCustomHistory(CustomHistoryFile(), {"/a", "/A", "/b"});
  EXPECT_EQ(dir.Get("CUSTHIST.CFG"), "/a\r\n/A\r\n/b\r\n");
  SaveCustomHistory(CustomHistoryFile(), {});
  EXPECT_EQ(dir.Get("CUSTHIST.CFG"), "");
  EXPECT_TRUE(LoadCustomHistory(CustomHistoryFile()).empty());
}

TEST(FileExistsByFind, ExactNameWithoutFollowingFinalLink) {
  TScratchProgramFolder dir;
  dir.Put("Song.mp3", "x");
  std::filesystem::create_directory(dir.File("folder"));
  EXPECT_TRUE(FileExistsByFind(dir.File("Song.mp3")));
  EXPECT_TRUE(FileExistsByFind(dir.File("folder")));
  EXPECT_FALSE(FileExistsByFind(dir.File("song.mp3")));   // names are exact bytes
  EXPECT_FALSE(FileExistsByFind(dir.File("Song.mp3 ")));  // no trimming
  EXPECT_FALSE(FileExistsByFind(dir.File("*.mp3")));      // no wildcards
  EXPECT_FALSE(FileExistsByFind(dir.File("folder") + "/"));
  EXPECT_FALSE(FileExistsByFind(""));
  EXPECT_FALSE(FileExistsByFind(dir.File("missing/Song.mp3")));
  EXPECT_FALSE(FileExistsByFind(dir.File("Song.mp3") + std::string(1, '\0') + "x"));
  // A dangling symbolic link is an entry of the folder even though its target is gone.
  ASSERT_EQ(::symlink(dir.File("gone").c_str(), dir.File("link").c_str()), 0);
  EXPECT_TRUE(FileExistsByFind(dir.File("link")));
  struct stat entry {};
  ASSERT_TRUE(FileExistsByFind(dir.File("link"), entry));
  EXPECT_TRUE(S_ISLNK(entry.st_mode));
}

}  // namespace

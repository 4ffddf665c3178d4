#include "scan/UnitFileTypes.h"

#include <gtest/gtest.h>

#include "SettingsTestSupport.h"

namespace {

using TLines = std::vector<std::string>;

TEST(FileTypeLines, SplitAtFirstEqualsWithFlagAndName) {
  TFileTypeGroup g;
  ASSERT_TRUE(ParseFileTypeLine("1MP3 Files=\".MP3\",\".MP2\"", g));
  EXPECT_TRUE(g.Selected);
  EXPECT_EQ(g.Name, "MP3 Files");
  EXPECT_EQ(g.Extensions, "\".MP3\",\".MP2\"");
  EXPECT_EQ(FormatFileTypeLine(g), "1MP3 Files=\".MP3\",\".MP2\"");

  // Only "1" selects; anything after the first "=" is the extensions text, "=" included.
  ASSERT_TRUE(ParseFileTypeLine("xOdd=\".A=B\"", g));
  EXPECT_FALSE(g.Selected);
  EXPECT_EQ(g.Name, "Odd");
  EXPECT_EQ(g.Extensions, "\".A=B\"");

  ASSERT_TRUE(ParseFileTypeLine("0Empty=", g));
  EXPECT_EQ(g.Extensions, "");
}

TEST(FileTypeLines, HandEditedLinesWithoutGroupAreSkipped) {
  TFileTypeGroup g;
  EXPECT_FALSE(ParseFileTypeLine("", g));
  EXPECT_FALSE(ParseFileTypeLine("1MP3 Files", g));       // no "="
  EXPECT_FALSE(ParseFileTypeLine("=\".MP3\"", g));        // nothing before "="
  EXPECT_FALSE(ParseFileTypeLine("1=\".MP3\"", g));       // flag but no name
  const auto groups = ParseFileTypes({"1A=\".A\"", "", "junk", "1=\".X\"", "0B=\".B\""});
  ASSERT_EQ(groups.size(), 2u);
  EXPECT_EQ(groups[0].Name, "A");
  EXPECT_EQ(groups[1].Name, "B");
}

TEST(ScanFilterFromGroups, SelectedGroupsUpperCasedAndJoined) {
  const auto groups = ParseFileTypes({"1MP3=\".mp3\",\".Mp2\"", "0Video=\".AVI\"", "1Audio=\".wav\""});
  EXPECT_EQ(BuildScanFilter(groups), "\".MP3\",\".MP2\",\".WAV\"");
  // The same extension in two selected groups simply occurs twice.
  EXPECT_EQ(BuildScanFilter(ParseFileTypes({"1A=\".MP3\"", "1B=\".MP3\""})), "\".MP3\",\".MP3\"");
  // A selected group without extensions adds only a comma; a last comma is removed.
  EXPECT_EQ(BuildScanFilter(ParseFileTypes({"1A=\".MP3\"", "1B="})), "\".MP3\",");
  EXPECT_EQ(BuildScanFilter(ParseFileTypes({"1A=", "1B=\".OGG\""})), ",\".OGG\"");
  // Non-ASCII bytes are not touched by the upper-casing.
  EXPECT_EQ(BuildScanFilter(ParseFileTypes({"1A=\".\xc3\xa9x\""})), "\".\xc3\xa9X\"");
}

TEST(ScanFilterFromGroups, NothingSelectedMatchesNothingButNoGroupsFallsBack) {
  EXPECT_EQ(BuildScanFilter(ParseFileTypes({"0A=\".MP3\""})), "");
  EXPECT_EQ(BuildScanFilter({}), std::string(DefaultScanFilter));
  EXPECT_EQ(BuildScanFilter(ParseFileTypes({"", "garbage", "=x"})), std::string(DefaultScanFilter));
}

TEST(ApplyFileTypes, ReadsProgramFolderFileWithAnyLineEnd) {
  TScratchProgramFolder dir;
  dir.Put("EXTENSIO.CFG", "1MP3=\".mp3\"\r0Video=\".avi\"\n1Lists=\".m3u\"\r\n");
  ScanFilter = "stale";
  EXPECT_EQ(ApplyFileTypes(), "\".MP3\",\".M3U\"");
  EXPECT_EQ(ScanFilter, "\".MP3\",\".M3U\"");
}

TEST(ApplyFileTypes, MissingOrUnreadableFileThrowsAndLeavesFilterEmpty) {
  TScratchProgramFolder dir;
  ScanFilter = "stale";
  EXPECT_THROW(ApplyFileTypes(), EFileError);
  EXPECT_EQ(ScanFilter, "");
  std::filesystem::create_directory(dir.File("EXTENSIO.CFG"));  // a folder is not readable as a file
  EXPECT_THROW(ApplyFileTypes(), EFileError);
}

TEST(FileTypesFile, SaveWritesCrLfAndLoadsBackTheSameGroups) {
  TScratchProgramFolder dir;
  const TFileTypeGroups groups = {{"MP3 Files", "\".mp3\",\".MP2\"", true}, {"Video", "", false}};
  SaveFileTypes(FileTypesFile(), groups);
  EXPECT_EQ(dir.Get("EXTENSIO.CFG"), "1MP3 Files=\".mp3\",\".MP2\"\r\n0Video=\r\n");
  const auto back = LoadFileTypes(FileTypesFile());
  ASSERT_EQ(back.size(), 2u);
  EXPECT_EQ(back[0].Name, "MP3 Files");
  EXPECT_EQ(back[0].Extensions, "\".mp3\",\".MP2\"");
  EXPECT_TRUE(back[0].Selected);
  EXPECT_FALSE(back[1].Selected);
}

TEST(ExtensionsText, SplitsIntoMemoLinesAndJoinsBackUnchanged) {
  EXPECT_EQ(SplitExtensionsText("\".mp3\",\".MP2\""), (TLines{".mp3", ".MP2"}));
  EXPECT_EQ(JoinExtensionLines({".mp3", ".MP2"}), "\".mp3\",\".MP2\"");
  EXPECT_TRUE(SplitExtensionsText("").empty());
  // Items without quotes, blanks before a quote, empty items and a doubled quote.
  EXPECT_EQ(SplitExtensionsText(".a,,\".b\", \".c\",\"x\"\"y\","), (TLines{".a", ".b", ".c", "x\"y"}));
  // Text after a closing quote stays with its item; an unclosed quote runs to the end.
  EXPECT_EQ(SplitExtensionsText("\".a\"b,\".c"), (TLines{".ab", ".c"}));
}

TEST(ExtensionsText, JoinKeepsLinesAsTypedAndDropsEmptyOnes) {
  EXPECT_EQ(JoinExtensionLines({"", "", ""}), "");
  EXPECT_EQ(JoinExtensionLines({" .mp3 ", "", "mp2"}), "\" .mp3 \",\"mp2\"");
  // Every extension typed round-trips through the memo.
  for (const TLines& lines : {TLines{".mp3", ".MP2"}, TLines{"a b", ".\xc3\xa9", "=x"}}) {
    EXPECT_EQ(SplitExtensionsText(JoinExtensionLines(lines)), lines);
  }
}

TEST(ShippedFileTypes, DefaultFileSelectsOnlyMp3AndCoversTheUsualMedia) {
  const auto text = ReadWholeFile(std::string(SONARVEX_SOURCE_DIR) + "/data/programfolder/EXTENSIO.CFG");
  const auto lines = SplitTextLines(text);
  std::string crLf;
  for (const auto& line : lines) crLf += line + "\r\n";
  EXPECT_EQ(text, crLf);
  const auto groups = ParseFileTypes(lines);
  ASSERT_EQ(groups.size(), lines.size());
  ASSERT_GE(groups.size(), 4u);
  EXPECT_EQ(BuildScanFilter(groups), "\".MP3\"");
  std::string all;
  for (const auto& g : groups) all += UpperCaseAscii(g.Extensions) + ",";
  for (const char* ext : {".WAV", ".OGG", ".OGA", ".OPUS", ".FLAC", ".M4A", ".AAC", ".WMA", ".AIFF", ".APE",
                          ".MPC", ".WV", ".M3U", ".PLS", ".MP4", ".MKV", ".AVI", ".WEBM", ".MOV", ".WMV",
                          ".MPG"}) {
    EXPECT_NE(all.find(std::string("\"") + ext + "\""), std::string::npos) << ext;
  }
}

}  // namespace

#include "info/UnitInfoValues.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "InfoTestSupport.h"
#include "id3/ID3Engine.h"
#include "info/UnitFileInfo.h"

namespace {

using infotest::TempFolder;

const TLocaleFormat& En = TLocaleFormat::English();
const std::string NA = "(not available)";

class InfoValues : public ::testing::Test {
 protected:
  void TearDown() override { SetShellTypeNameProvider({}); }

  std::string Tagged(std::string_view name, const std::vector<std::string>& frames) {
    const auto path = dir.File(name);
    infotest::WriteBytes(path, infotest::Tag(frames) + infotest::Audio());
    return path;
  }
  // A compressed frame whose data is not a zlib stream: opening the file fails.
  std::string Damaged() {
    return Tagged("damaged.mp3",
                  {infotest::Frame("TIT2", infotest::SyncSafe(100) + "not a zlib stream", '\x09')});
  }
  std::string Value(const std::string& path, std::string_view code) {
    engine.SetActive(false);
    engine.SetFileName(path);
    engine.SetActive(true);
    std::string value = GetInfoValue(engine, code, En);
    engine.SetActive(false);
    return value;
  }

  TempFolder dir;
  TID3Engine engine;
};

TEST(InfoTypeCatalogue, EntriesInOrderAndDefaultSplit) {
  const auto& catalogue = InfoTypeCatalogue();
  ASSERT_EQ(catalogue.size(), 96U);
  EXPECT_EQ(catalogue[0], "0NAM=Name");
  EXPECT_EQ(catalogue[8], "1TIT=Song Title");
  EXPECT_EQ(catalogue[12], "1GEN=Genre");
  EXPECT_EQ(catalogue[13], "COMM=Comments");
  EXPECT_EQ(catalogue[87], "WXXX=User defined URL link frame");
  EXPECT_EQ(catalogue[88], "0FUL=Full file name and location");
  const std::vector<std::string_view> audio(catalogue.begin() + 89, catalogue.end());
  EXPECT_EQ(audio, (std::vector<std::string_view>{"2DUR=Duration", "2BIT=Bitrate", "2SMP=Sample rate",
                                                  "2CHN=Channels", "2BPS=Bits per sample", "2COD=Codec",
                                                  "2TAG=Tag format"}));
  for (const auto& line : catalogue) {
    ASSERT_GE(line.size(), 6U) << line;
    EXPECT_EQ(line[4], '=') << line;
  }
  TStringList used{"stale"};
  TStringList unused{"stale"};
  FillDefaultCatalogue(used, unused);
  ASSERT_EQ(used.size(), 95U);
  EXPECT_EQ(used.front(), "0NAM=Name");
  EXPECT_EQ(used[87], "WXXX=User defined URL link frame");
  EXPECT_EQ(used[88], "2DUR=Duration");
  EXPECT_EQ(used.back(), "2TAG=Tag format");
  EXPECT_EQ(unused, TStringList{"0FUL=Full file name and location"});
}

TEST(InfoLines, CodeAndCaptionOfShortAndOddLines) {
  EXPECT_EQ(InfoCodeOf("0NAM=Name"), "0NAM");
  EXPECT_EQ(InfoCaptionOf("0NAM=Name"), "Name");
  EXPECT_EQ(InfoCodeOf("0NA"), "0NA");
  EXPECT_EQ(InfoCaptionOf("0NAM="), "");
  EXPECT_EQ(InfoCaptionOf("0NAMxFile"), "File");
  EXPECT_EQ(InfoCodeOf(""), "");
}

TEST_F(InfoValues, TagCodesReadFieldsAndFrames) {
  const auto path = Tagged("song.mp3", {infotest::TextFrame("TIT2", "Song, \"quoted\""),
                                        infotest::TextFrame("TPE1", "Artist"),
                                        infotest::TextFrame("TCON", "(17) Rock")});
  EXPECT_EQ(Value(path, "1TIT"), "Song, \"quoted\"");
  EXPECT_EQ(Value(path, "TIT2"), "Song, \"quoted\"");
  EXPECT_EQ(Value(path, "1ART"), "Artist");
  EXPECT_EQ(Value(path, "1GEN"), "(17) Rock");
  EXPECT_EQ(Value(path, "1ALB"), NA);
  EXPECT_EQ(Value(path, "TPE2"), NA);
  // Unknown "0" and "1" codes, and frame identifiers are taken exactly as they stand.
  EXPECT_EQ(Value(path, "1XYZ"), NA);
  EXPECT_EQ(Value(path, "0ABC"), NA);
  EXPECT_EQ(Value(path, "tit2"), NA);
  EXPECT_EQ(Value(path, ""), NA);
  EXPECT_EQ(Value(path, "0NA"), NA);
}

TEST_F(InfoValues, EncodingOnlyFrameAndTaglessFileAreNotAvailable) {
  const auto encodingOnly = Tagged("empty.mp3", {infotest::Frame("TIT2", std::string(1, '\0'))});
  EXPECT_EQ(Value(encodingOnly, "1TIT"), NA);
  EXPECT_EQ(Value(encodingOnly, "TIT2"), NA);

  const auto plain = dir.File("plain.mp3");
  infotest::WriteBytes(plain, infotest::Audio());
  for (const auto& line : InfoTypeCatalogue()) {
    if (line[0] != '0' && line[0] != '2') {
      EXPECT_EQ(Value(plain, InfoCodeOf(line)), NA) << line;
    }
  }
}

TEST_F(InfoValues, FileSystemCodes) {
  const auto path = Tagged("song.mp3", {infotest::TextFrame("TIT2", "Song")});
  const auto size = LookUpFile(path).Size;
  EXPECT_EQ(Value(path, "0NAM"), "song.mp3");
  EXPECT_EQ(Value(path, "0LOC"), dir.Path() + "/");
  EXPECT_EQ(Value(path, "0FUL"), path);
  EXPECT_EQ(Value(path, "0SIZ"), FormatSizeKB(ListSizePattern, size, En));
  EXPECT_EQ(Value(path, "0SIZ").size(), 23U);
  EXPECT_EQ(Value(path, "0ATT"), NA);  // no attribute bit set
  EXPECT_EQ(Value(path, "0MOD"),
            FormatFileTime(LookUpFile(path).Modified, ListTimePattern, En));
  EXPECT_EQ(Value(path, "0TYP"), NA);  // no type names installed
  SetShellTypeNameProvider([](const std::string&) { return std::string("MP3 audio"); });
  EXPECT_EQ(Value(path, "0TYP"), "MP3 audio");
  // The same values without any engine, as the sort reads them.
  for (const char* code : {"0NAM", "0TYP", "0LOC", "0SIZ", "0MOD", "0ATT", "0FUL", "0XYZ"}) {
    EXPECT_EQ(GetFileInfoValue(path, code, En), Value(path, code)) << code;
  }
  EXPECT_EQ(GetFileInfoValue(path, "1TIT", En), NA);
}

TEST_F(InfoValues, MissingFileShowsOnlyWhatThePathGives) {
  SetShellTypeNameProvider([](const std::string&) { return std::string("MP3 audio"); });
  const auto path = dir.File("gone.mp3");
  const TStringList used{"0NAM=Name", "0TYP=Type", "0LOC=Location", "0SIZ=Size", "0CRE=Created",
                         "0MOD=Modified", "0ACC=Accessed", "0ATT=Attributes", "1TIT=Song Title",
                         "TIT2=Title", "0FUL=Full"};
  const auto row = GetRowValues(engine, path, used, En);
  const std::vector<std::string> expected{"gone.mp3", NA, dir.Path() + "/",
                                          std::string(19, ' ') + "0 KB", NA, NA, NA, NA, NA, NA,
                                          path};
  EXPECT_EQ(row, expected);
}

TEST_F(InfoValues, RowValuesOnePerColumnAndTheEngineClosed) {
  const auto path = Tagged("song.mp3", {infotest::TextFrame("TIT2", "a,b \"c\"")});
  const TStringList used{"TIT2=Title", "0NAM=Name", "TIT2=Again", "1XYZ=Odd", "0"};
  const auto row = GetRowValues(engine, path, used, En);
  EXPECT_EQ(row, (std::vector<std::string>{"a,b \"c\"", "song.mp3", "a,b \"c\"", NA, NA}));
  EXPECT_FALSE(engine.Active());
  EXPECT_TRUE(GetRowValues(engine, path, {}, En).empty());
}

TEST_F(InfoValues, UnreadableFileNeverThrowsFromRowValues) {
  const auto path = Damaged();
  std::vector<std::string> row;
  ASSERT_NO_THROW(row = GetRowValues(engine, path, {"0NAM=Name", "1TIT=Song Title", "TIT2=T",
                                                    "0FUL=Full"}, En));
  EXPECT_EQ(row, (std::vector<std::string>{"damaged.mp3", NA, NA, path}));
  EXPECT_FALSE(engine.Active());
}

TEST_F(InfoValues, TypeNamesAreCutToEightyCharacters) {
  const auto path = dir.File("x.mp3");
  infotest::WriteBytes(path, "x");
  std::string longName;
  for (int i = 0; i < 100; ++i) {
    longName += "\xC3\xA9";  // two bytes, one character
  }
  SetShellTypeNameProvider([&](const std::string&) { return longName; });
  EXPECT_EQ(GetShellTypeName(path), longName.substr(0, 160));
  SetShellTypeNameProvider([](const std::string&) -> std::string { throw std::runtime_error("x"); });
  EXPECT_EQ(GetShellTypeName(path), "");
  SetShellTypeNameProvider({});
  EXPECT_EQ(GetShellTypeName(path), "");
}

TEST_F(InfoValues, ReportValuesAreEmptyInsteadOfNotAvailable) {
  const auto path = Tagged("song.mp3", {infotest::Frame("TIT2", std::string(1, '\0')),
                                        infotest::TextFrame("TPE1", "Artist")});
  const TStringList columns{"0NAM=Name", "1XYZ=Odd", "0SIZ=Size",  "1TIT=Song Title",
                            "1ART=Artist", "0ABC=Odd", "TPE2=Band", "0ATT=Attributes"};
  const auto values = GetReportValues(engine, path, columns, En);
  ASSERT_EQ(values.size(), 6U);
  EXPECT_EQ(values[0].Caption, "Name");
  EXPECT_EQ(values[0].Value, "song.mp3");
  EXPECT_EQ(values[1].Caption, "Size");
  EXPECT_EQ(values[1].Value, FormatFileSize(LookUpFile(path).Size, En));
  EXPECT_EQ(values[2].Value, "");
  EXPECT_EQ(values[3].Value, "Artist");
  EXPECT_EQ(values[4].Caption, "Band");
  EXPECT_EQ(values[4].Value, "");
  EXPECT_EQ(values[5].Value, "");
  EXPECT_FALSE(engine.Active());
}

TEST_F(InfoValues, WindowsShowAtMost4096CharactersOfAValueReportsAll) {
  // x and 4,095 two-byte characters, then more: the cut must not split a character.
  std::string accented = "x";
  for (int i = 0; i < 4095; ++i) accented += "\xC3\xA9";
  const auto path = Tagged("long.mp3", {infotest::Frame("TIT2", "\x03" + accented + "tail")});
  const std::string shown = accented + "...";
  EXPECT_EQ(GetRowValues(engine, path, {"1TIT=Song Title", "TIT2=Title"}, En),
            (std::vector<std::string>{shown, shown}));
  EXPECT_EQ(GetReportValues(engine, path, {"1TIT=Song Title"}, En).at(0).Value, accented + "tail");
  EXPECT_EQ(CutForDisplay(std::string(4096, 'a')), std::string(4096, 'a'));
}

TEST_F(InfoValues, ReportCaptionRowAndFailingFiles) {
  const TStringList columns{"0NAM=Name", "0MOD=Modified", "1TIT=Song Title", "TIT2=Title"};
  const auto captions = GetReportValues(engine, "", columns, En);
  ASSERT_EQ(captions.size(), 4U);
  EXPECT_EQ(captions[2].Caption, "Song Title");
  EXPECT_EQ(captions[1].Value, "");

  // A file that cannot be read contributes nothing, silently.
  EXPECT_TRUE(GetReportValues(engine, Damaged(), columns, En).empty());

  const auto missing = GetReportValues(engine, dir.File("gone.mp3"), {"0SIZ=Size"}, En);
  ASSERT_EQ(missing.size(), 1U);
  EXPECT_EQ(missing[0].Value, "0 bytes");
}

}  // namespace

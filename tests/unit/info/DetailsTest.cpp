#include "info/UnitDetails.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "InfoTestSupport.h"
#include "id3/ID3Engine.h"

namespace {

using infotest::TempFolder;

const TLocaleFormat& En = TLocaleFormat::English();

std::string LineText(const TDetailsLine& line) {
  std::string text;
  for (const auto& run : line) {
    text += run.Text;
  }
  return text;
}

std::vector<std::string> Texts(const TDetails& details) {
  std::vector<std::string> texts;
  for (const auto& line : details.Lines) {
    texts.push_back(LineText(line));
  }
  return texts;
}

class Details : public ::testing::Test {
 protected:
  TempFolder dir;
  TID3Engine engine;
};

TEST_F(Details, Id3v1OnlyFileShowsBasicFieldsAndTheFramesMadeFromIt) {
  const auto path = dir.File("old.mp3");
  infotest::WriteBytes(path, infotest::Audio() + infotest::Id3v1("Title", "Artist", "Album", "1999",
                                                                 "Nice", 0, 17));
  TStringList used, unused;
  FillDefaultCatalogue(used, unused);
  const TDetails details = BuildDetails(engine, path, used, unused, En);
  EXPECT_TRUE(details.Error.empty());
  EXPECT_FALSE(engine.Active());
  const auto texts = Texts(details);
  ASSERT_GE(texts.size(), 2U);
  EXPECT_EQ(texts[0], " Full File Name and Path:  " + path);
  EXPECT_EQ(texts[1], " Name:  old.mp3");
  const auto has = [&](const std::string& text) {
    return std::find(texts.begin(), texts.end(), text) != texts.end();
  };
  for (const char* line :
       {" Song Title:  Title", " Artist:  Artist", " Album:  Album", " Year:  1999",
        " Genre:  (17) Rock", " Title:  Title", " Lead performer(s)/Soloist(s):  Artist",
        " Track number/Position in set:  0", " Content type:  (17) Rock",
        " Size:  1 KB", " Location:  "}) {
    EXPECT_TRUE(has(line == std::string(" Location:  ") ? line + dir.Path() + "/" : line)) << line;
  }
  // The unused full path comes last; the bold part is exactly the caption run.
  EXPECT_EQ(texts.back(), " Full file name and location:  " + path);
  EXPECT_TRUE(details.Lines[1][0].Bold);
  EXPECT_EQ(details.Lines[1][0].Text, " Name:  ");
  EXPECT_FALSE(details.Lines[1][1].Bold);
  EXPECT_EQ(details.CurrentTitle, "Title");
  EXPECT_EQ(details.CurrentArtist, "Artist");
  EXPECT_EQ(NowPlayingText(details, "old.mp3"), "  Now playing Artist - Title");
}

TEST_F(Details, MissingFileShowsPathValuesAndSize) {
  const auto path = dir.File("gone.mp3");
  TStringList used, unused;
  FillDefaultCatalogue(used, unused);
  const TDetails details = BuildDetails(engine, path, used, unused, En);
  EXPECT_EQ(Texts(details),
            (std::vector<std::string>{" Full File Name and Path:  " + path, " Name:  gone.mp3",
                                      " Location:  " + dir.Path() + "/", " Size:  0 KB",
                                      " Full file name and location:  " + path}));
  EXPECT_TRUE(details.CurrentTitle.empty());
  EXPECT_EQ(NowPlayingText(details, "gone.mp3"), "  Now playing gone.mp3");
}

TEST_F(Details, TypesInBothListsShowTwiceAndArtistAloneIsNotEnough) {
  const auto path = dir.File("song.mp3");
  infotest::WriteBytes(path, infotest::Tag({infotest::TextFrame("TIT2", "  Song \t")}) +
                                 infotest::Audio());
  const TDetails details =
      BuildDetails(engine, path, {"1TIT=Song Title", "0NAM=Name"}, {"1TIT=Again", "1ART=Artist"}, En);
  EXPECT_EQ(Texts(details), (std::vector<std::string>{" Full File Name and Path:  " + path,
                                                      " Song Title:  Song", " Name:  song.mp3",
                                                      " Again:  Song"}));
  EXPECT_EQ(details.CurrentTitle, "Song");
  EXPECT_EQ(NowPlayingText(details, "row caption"), "  Now playing row caption");
}

TEST_F(Details, UnreadableFileKeepsThePathLineAndReportsTheError) {
  const auto path = dir.File("damaged.mp3");
  infotest::WriteBytes(path, infotest::Tag({infotest::Frame(
                                 "TIT2", infotest::SyncSafe(80) + "garbage", '\x09')}));
  TDetails details;
  ASSERT_NO_THROW(details = BuildDetails(engine, path, {"0NAM=Name"}, {}, En));
  EXPECT_EQ(details.Lines.size(), 1U);
  EXPECT_FALSE(details.Error.empty());
  EXPECT_FALSE(engine.Active());
}

TEST(DetailsWriters, PlainTextWithCrLfAndRtfWithBoldAndEscapes) {
  const std::vector<TDetailsLine> lines{
      {{" Name:  ", true}, {"a{b}\\c", false}},
      {{" Title:  ", true}, {"Caf\xC3\xA9 \xF0\x9F\x8E\xB5", false}},
      {{" Bad:  ", true}, {std::string("\xFF", 1), false}}};
  EXPECT_EQ(DetailsToPlainText(lines),
            " Name:  a{b}\\c\r\n Title:  Caf\xC3\xA9 \xF0\x9F\x8E\xB5\r\n Bad:  \xFF\r\n");
  const std::string rtf = DetailsToRtf(lines);
  EXPECT_TRUE(rtf.starts_with("{\\rtf1"));
  EXPECT_TRUE(rtf.ends_with("}\r\n"));
  EXPECT_NE(rtf.find("Arial"), std::string::npos);
  EXPECT_NE(rtf.find("{\\b  Name:  }{a\\{b\\}\\\\c}\\par"), std::string::npos);
  EXPECT_NE(rtf.find("Caf\\u233?"), std::string::npos);
  EXPECT_NE(rtf.find("\\u-10180?\\u-8267?"), std::string::npos);  // U+1F3B5 as a surrogate pair
  EXPECT_NE(rtf.find("\\u-3?"), std::string::npos);               // U+FFFD for a stray byte
  for (const char c : rtf) {
    EXPECT_LT(static_cast<unsigned char>(c), 0x80);
  }
  EXPECT_EQ(DetailsToRtf({}).find("\\par\r\n"), std::string::npos);
}

TEST(DetailsWriters, RichTextOnlyForRtfExtensions) {
  EXPECT_TRUE(IsRtfFileName("/tmp/details.rtf"));
  EXPECT_TRUE(IsRtfFileName("/tmp/details.RTF"));
  EXPECT_TRUE(IsRtfFileName("/tmp/a.b.Rtf"));
  EXPECT_FALSE(IsRtfFileName("/tmp/details.txt"));
  EXPECT_FALSE(IsRtfFileName("/tmp/details"));
  EXPECT_FALSE(IsRtfFileName("/tmp/folder.rtf/details"));
  EXPECT_FALSE(IsRtfFileName("/tmp/details.rtfx"));
}

TEST(DetailsWriters, ChosenTypeGivesTheSuffixOfANameWithoutOne) {
  const struct {
    const char* Chosen;
    bool RichText;
    const char* Saved;
  } cases[] = {
      {"/tmp/notes", true, "/tmp/notes.rtf"},   {"/tmp/notes", false, "/tmp/notes.txt"},
      {"/tmp/notes.TXT", true, "/tmp/notes.TXT"}, {"/tmp/notes.RTF", false, "/tmp/notes.RTF"},
      {"/tmp/a.b/notes", true, "/tmp/a.b/notes.rtf"}, {"/tmp/v1.2", false, "/tmp/v1.2"},
  };
  for (const auto& c : cases) EXPECT_EQ(DetailsSaveFileName(c.Chosen, c.RichText), c.Saved) << c.Chosen;
}

}  // namespace

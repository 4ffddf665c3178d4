// Opening and closing, the ID3v1 fallback, named properties, comments and events.

#include <sys/stat.h>

#include <vector>

#include "ID3TestSupport.h"

using namespace id3test;

namespace {

class ID3EngineTest : public TempFolderTest {};

TEST_F(ID3EngineTest, Id3v1OnlyFileFallsBackToTheTrailer) {
  Open(Audio(300) + Trailer("  Song\x01", "Artist", "Album", "1999", "Remark", 0, 17));
  EXPECT_EQ(engine.Title(), "Song");
  EXPECT_EQ(engine.Artist(), "Artist");
  EXPECT_EQ(engine.Album(), "Album");
  EXPECT_EQ(engine.Year(), "1999");
  EXPECT_EQ(engine.Track(), "0");
  EXPECT_EQ(engine.Genre(), "(17) Rock");
  EXPECT_EQ(engine.Padding(), 250);
  EXPECT_EQ(engine.Header().TagSize(), -1);
  EXPECT_EQ(engine.Header().VersionNumber(), 4);
  EXPECT_TRUE(engine.Header().ExtendedHeaderPresent());
  EXPECT_TRUE(engine.Header().ExtendedHeader().TagIsAnUpdate());
  EXPECT_EQ(engine.TagLength(), 0);
  ASSERT_EQ(engine.CountFrames("COMM"), 1);
  const TID3Frames_Item* comment = engine.Frames().FindFrame("COMM");
  EXPECT_EQ(comment->AsText(), "Remark");
  EXPECT_EQ(comment->Data(), std::string("\0ENGMAIN\0Remark\0", 16));
}

TEST_F(ID3EngineTest, Id3v1GenreOutsideTheListMakesNoGenreFrame) {
  for (unsigned char genre : {80, 255}) {
    Open(Trailer("T", "", "", "", "", 7, genre));
    EXPECT_EQ(engine.Genre(), std::nullopt);
    EXPECT_EQ(engine.Track(), "7");
  }
  Open(Trailer("T", "", "", "", "", 0, 79));
  EXPECT_EQ(engine.Genre(), "(79) Hard Rock");
}

TEST_F(ID3EngineTest, Id3v1FieldsAreLatin1AndFullWidth) {
  Open(Trailer("Caf\xE9", std::string(30, 'a'), "", "20001", "", 3, 0));
  EXPECT_EQ(engine.Title(), "Caf\xC3\xA9");
  EXPECT_EQ(engine.Frames().FindFrame("TIT2")->Data()[0], '\3');
  EXPECT_EQ(engine.Artist(), std::string(30, 'a'));
  EXPECT_EQ(engine.Year(), "2000");
}

TEST_F(ID3EngineTest, NoTagAtAllGivesAnEmptyTag) {
  Open(Audio(500));
  EXPECT_EQ(engine.Frames().Count(), 0u);
  EXPECT_EQ(engine.Padding(), 0);
  EXPECT_EQ(engine.Title(), std::nullopt);
  EXPECT_EQ(engine.Genre(), std::nullopt);
}

TEST_F(ID3EngineTest, NamedPropertiesTellPresentMissingAndInactiveApart) {
  EXPECT_EQ(engine.Title(), std::optional<std::string>(""));
  engine.SetTitle("ignored");
  EXPECT_EQ(engine.AddComment("d", "t", "eng"), -1);
  Open(Tag(4, Frame4("TIT2", Text("")) + Frame4("TPE1", Text("A")) + Frame4("TALB", Text("B")) +
                  Frame4("TYER", Text("C")) + Frame4("TRCK", Text("D")) + Frame4("TCON", Text("E")) +
                  Frame4("TIT3", Text("F")) + Frame4("TENC", Text("G"))));
  EXPECT_EQ(engine.Title(), "");
  EXPECT_EQ(engine.Artist(), "A");
  EXPECT_EQ(engine.Album(), "B");
  EXPECT_EQ(engine.Year(), "C");
  EXPECT_EQ(engine.Track(), "D");
  EXPECT_EQ(engine.Genre(), "E");
  EXPECT_EQ(engine.SubTitle(), "F");
  EXPECT_EQ(engine.EncodedBy(), "G");
  engine.SetActive(false);
  EXPECT_EQ(engine.Artist(), "");
  EXPECT_EQ(engine.Frames().Count(), 0u);
}

TEST_F(ID3EngineTest, YearFallsBackToTheRecordingTimeWithoutTYER) {
  const struct {
    std::string Body;
    std::optional<std::string> Year;
  } cases[] = {
      {Frame4("TDRC", Text("2004-05-06T07:08")), "2004"},
      {Frame4("TDRC", Text("1999")) + Frame4("TDRC", Text("2001")), "1999"},
      {Frame4("TDRC", Text("2004")) + Frame4("TYER", Text("1987")), "1987"},
      {Frame4("TYER", Text("")) + Frame4("TDRC", Text("2004")), ""},
      {Frame4("TDRC", Text("04-05")), std::nullopt},
      {Frame4("TDRC", Text("200")), std::nullopt},
      {Frame4("TIT2", Text("x")), std::nullopt},
  };
  for (const auto& c : cases) {
    Open(Tag(4, c.Body));
    EXPECT_EQ(engine.Year(), c.Year) << c.Body;
  }
  // Writing still goes to TYER.
  engine.SetYear("2010");
  EXPECT_EQ(engine.Frames().FindFrame("TYER")->AsText(), "2010");
}

TEST_F(ID3EngineTest, SettingANamedPropertyReplacesTheFirstFrameOrAppends) {
  Open(Tag(4, Frame4("TIT2", Text("Old")) + Frame4("TIT2", Text("Second"))));
  engine.SetTitle("New");
  engine.SetArtist("\xC3\x89mile");
  EXPECT_EQ(engine.Frames()[0].Data(), std::string("\0New", 4));
  EXPECT_EQ(engine.Frames()[1].AsText(), "Second");
  EXPECT_EQ(engine.Frames()[2].Name(), "TPE1");
  EXPECT_EQ(engine.Frames()[2].Data(), "\x03\xC3\x89mile");
}

TEST_F(ID3EngineTest, AddCommentCountsAndEncodes) {
  Open(Tag(4, Frame4("COMM", std::string("\0eng\0x", 6))));
  EXPECT_EQ(engine.AddComment("Desc", "Text", "deu"), 1);
  EXPECT_EQ(engine.Frames()[1].Data(), std::string("\0deuDesc\0Text\0", 14));
  EXPECT_EQ(engine.AddComment("", "\xC3\xA9t\xC3\xA9", "fr"), 2);
  EXPECT_EQ(engine.Frames()[2].Data(), std::string("\x03" "fr \0\xC3\xA9t\xC3\xA9\0", 11));
  EXPECT_EQ(engine.CountFrames("COMM"), 3);
}

TEST_F(ID3EngineTest, FileNameIsIgnoredWhileActive) {
  const std::string first = Write("first.mp3", Tag(4, Frame4("TIT2", Text("First"))));
  const std::string second = Write("second.mp3", Tag(4, Frame4("TIT2", Text("Second"))));
  engine.SetFileName(first);
  engine.SetActive(true);
  engine.SetFileName(second);
  EXPECT_EQ(engine.FileName(), first);
  engine.SetActive(false);
  engine.SetActive(true);
  EXPECT_EQ(engine.Title(), "First");
}

TEST_F(ID3EngineTest, MissingFileOrFolderStaysInactiveAndUnreadableFileRaises) {
  engine.SetFileName((folder_ / "missing.mp3").string());
  engine.SetActive(true);
  EXPECT_FALSE(engine.Active());
  engine.SetFileName(folder_.string());
  engine.SetActive(true);
  EXPECT_FALSE(engine.Active());
  engine.SetFileName("");
  engine.SetActive(true);
  EXPECT_FALSE(engine.Active());
  const std::string pipe = (folder_ / "pipe.mp3").string();
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  engine.SetFileName(pipe);
  engine.SetActive(true);  // must not wait for a writer
  EXPECT_FALSE(engine.Active());
  if (::geteuid() != 0) {
    const std::string locked = Write("locked.mp3", "data");
    ::chmod(locked.c_str(), 0);
    engine.SetFileName(locked);
    EXPECT_THROW(engine.SetActive(true), EID3FileError);
    EXPECT_FALSE(engine.Active());
  }
}

TEST_F(ID3EngineTest, EventsFireAfterTheirOperations) {
  std::vector<std::string> log;
  engine.OnFileOpen = [&](TID3Engine& e) { log.push_back("open " + e.Title().value_or("-")); };
  engine.OnReadTag = [&](TID3Engine&) { log.push_back("read"); };
  engine.OnFileClose = [&](TID3Engine& e) { log.push_back(e.Active() ? "close active" : "close"); };
  engine.OnWriteTag = [&](TID3Engine&) { log.push_back("write"); };
  engine.OnEraseTag = [&](TID3Engine&) { log.push_back("erase"); };
  Open(Tag(4, Frame4("TIT2", Text("T"))) + Audio(10));
  engine.ReadTag();
  engine.WriteTag();
  engine.EraseTag();
  engine.SetActive(false);
  engine.SetActive(false);
  EXPECT_EQ(log, (std::vector<std::string>{"read", "open T", "read", "write", "erase", "close"}));
}

TEST_F(ID3EngineTest, InactiveEngineIgnoresTagOperations) {
  engine.ReadTag();
  engine.WriteTag();
  engine.EraseTag();
  engine.WriteID3v1Tag();
  EXPECT_FALSE(engine.LocateTag());
  EXPECT_EQ(engine.CountFrames("TIT2"), 0);
}

// Every prefix of a tagged file opens without crashing or hanging.
TEST_F(ID3EngineTest, TruncatedFilesAtEveryLength) {
  const std::string data = Text("Compressed");
  std::string body = Frame4("TIT2", Text("Title")) + Frame4("COMM", std::string("\0eng\0c", 6)) +
                     Frame4("TPE1", Zlib(data), 0, 0x09, SyncSafe(static_cast<std::uint32_t>(data.size()))) +
                     std::string(20, '\0');
  std::string ext = SyncSafe(12) + std::string("\x01\x70", 2) + std::string(5, '\x01') + "\x9D";
  const std::string file = Tag(4, ext + body, 0x40) + Audio(64) + Trailer("t", "a", "b", "1", "c", 1, 2);
  for (bool fullSeek : {false, true}) {
    for (std::size_t length = 0; length <= file.size(); ++length) {
      engine.SetActive(false);
      engine.SetFullID3TagSeek(fullSeek);
      engine.SetFileName(Write("cut.mp3", file.substr(0, length)));
      try {
        engine.SetActive(true);
        ASSERT_TRUE(engine.Active());
        EXPECT_LE(engine.Frames().Count(), 3u);
        (void)engine.Title();
        for (std::size_t i = 0; i < engine.Frames().Count(); ++i) (void)engine.Frames()[i].AsText();
      } catch (const EID3DecompressionError&) {
        EXPECT_FALSE(engine.Active());
      }
    }
  }
}

}  // namespace

// Frame parsing, frame text and the frame items' own behaviour.

#include <set>

#include "ID3TestSupport.h"
#include "core/UnitGlobals.h"

using namespace id3test;

namespace {

class ID3FramesTest : public TempFolderTest {
 protected:
  std::string TextOf(std::string_view id, std::string_view data) {
    TID3Frames_Item& item = engine.Frames().Add();
    item.SetName(id);
    item.SetData(std::string(data));
    return item.AsText();
  }
};

TEST_F(ID3FramesTest, TwoFramesWithOneIdentifierYieldTheFirst) {
  Open(Tag(4, Frame4("TIT2", Text("First")) + Frame4("TIT2", Text("Second"))));
  EXPECT_EQ(engine.Frames().Count(), 2u);
  EXPECT_EQ(engine.Frames().FindFrame("TIT2"), &engine.Frames()[0]);
  EXPECT_EQ(engine.Title(), "First");
  EXPECT_EQ(engine.CountFrames("TIT2"), 2);
  EXPECT_EQ(engine.Frames().FindFrame("tit2"), nullptr);
  EXPECT_EQ(engine.Frames().FindFrame("TIT3"), nullptr);
}

TEST_F(ID3FramesTest, LowerCaseIdentifierEndsParsingAndCountsAsPadding) {
  const std::string body = Frame4("TIT2", Text("A")) + Frame4("tit2", Text("B")) + std::string(8, '\0');
  Open(Tag(4, body));
  EXPECT_EQ(engine.Frames().Count(), 1u);
  EXPECT_EQ(engine.Padding(), static_cast<int>(body.size() - 12));
}

TEST_F(ID3FramesTest, DeclaredSize100WithOneFrameGivesPadding70) {
  const std::string frame = Frame4("TALB", Text(std::string(19, 'x')));
  ASSERT_EQ(frame.size(), 30u);
  Open(Tag(4, frame + std::string(70, '\0')) + Audio(50));
  EXPECT_EQ(engine.Frames().Count(), 1u);
  EXPECT_EQ(engine.Padding(), 70);
  EXPECT_EQ(engine.TagLength(), 110);
}

TEST_F(ID3FramesTest, FrameRunningPastTheDeclaredSizeIsKept) {
  const std::string body = Frame4("TIT2", Text("Long title")) + Frame4("TPE1", Text("Never read"));
  Open(Tag(4, body, 0, 5) + Audio(30));
  EXPECT_EQ(engine.Frames().Count(), 1u);
  EXPECT_EQ(engine.Padding(), 0);
  EXPECT_EQ(engine.TagLength(), 10 + 21);
}

TEST_F(ID3FramesTest, FirstIdentifierIsReadEvenWithZeroBudget) {
  Open(Tag(4, Frame4("TIT2", Text("Zero")), 0, 0));
  EXPECT_EQ(engine.Title(), "Zero");
}

TEST_F(ID3FramesTest, FrameCutShortByTheEndOfTheFileGetsWhatIsThere) {
  std::string frame = Frame4("TIT2", Text("Truncated title"));
  Open(Tag(4, frame).substr(0, 10 + frame.size() - 6));
  ASSERT_EQ(engine.Frames().Count(), 1u);
  EXPECT_EQ(engine.Title(), "Truncated");
  EXPECT_EQ(engine.Padding(), 0);  // the 6 missing bytes are not in the file
  EXPECT_EQ(engine.TagLength(), 10 + static_cast<std::int64_t>(frame.size()));
}

TEST_F(ID3FramesTest, HugeClaimedSizeReadsOnlyWhatTheFileHolds) {
  std::string frame = std::string("APIC") + "\x7F\x7F\x7F\x7F" + std::string(2, '\0') + "tiny";
  Open(Tag(4, frame, 0, 0x0FFFFFFF));
  ASSERT_EQ(engine.Frames().Count(), 1u);
  EXPECT_EQ(engine.Frames()[0].DataSize(), 4u);
}

// Size counts the optional bytes: here group, encryption method and data length indicator.
TEST_F(ID3FramesTest, Version4OptionalBytesAreCountedInTheSize) {
  std::string extra = std::string("\x05\x09", 2) + SyncSafe(6);
  const std::string body = Frame4("TIT2", Text("Hello"), 0x70, 0x47, extra) + Frame4("TPE1", Text("Next"));
  Open(Tag(4, body));
  ASSERT_EQ(engine.Frames().Count(), 2u);
  const TID3Frames_Item& item = engine.Frames()[0];
  EXPECT_TRUE(item.TagAlterDiscardable() && item.FileAlterDiscardable() && item.ReadOnly());
  EXPECT_TRUE(item.Grouping() && item.Encrypted() && item.UnSynchronisation() && item.DataLengthIndicator());
  EXPECT_FALSE(item.Compress());
  EXPECT_EQ(item.GroupID(), 5);
  EXPECT_EQ(item.EncryptionID(), 9);
  EXPECT_EQ(item.DataSize(), 6u);
  EXPECT_EQ(item.AsText(), "Hello");
  EXPECT_EQ(engine.Artist(), "Next");
}

TEST_F(ID3FramesTest, OptionalBytesBeyondTheSizeGiveNoData) {
  std::string frame = std::string("TIT2") + SyncSafe(2) + std::string("\x00\x01", 2) + SyncSafe(0);
  Open(Tag(4, frame + Frame4("TPE1", Text("After"))));
  ASSERT_GE(engine.Frames().Count(), 1u);
  EXPECT_EQ(engine.Frames()[0].DataSize(), 0u);
}

// Version 3: plain 32-bit sizes (a 200-byte frame is not read as 72 bytes), own flag bits,
// optional bytes in the order decompressed size, encryption method, group.
TEST_F(ID3FramesTest, Version3FramesUseTheirOwnLayout) {
  const std::string longText = std::string(198, 'a') + "z";
  const std::string compressed = Zlib("Packed text");
  std::string extra = BigEndian(12) + std::string("\x03\x04", 2);
  const std::string body = Frame3("TIT2", Text(longText), 0xE0, 0x00) +
                           Frame3("TPE1", compressed, 0, 0xE0, extra) + Frame3("TALB", Text("Album"));
  Open(Tag(3, body + std::string(10, '\0')));
  ASSERT_EQ(engine.Frames().Count(), 3u);
  const TID3Frames_Item& title = engine.Frames()[0];
  EXPECT_EQ(title.DataSize(), 200u);
  EXPECT_EQ(engine.Title(), longText);
  EXPECT_TRUE(title.TagAlterDiscardable() && title.FileAlterDiscardable() && title.ReadOnly());
  const TID3Frames_Item& packed = engine.Frames()[1];
  EXPECT_TRUE(packed.Compress() && packed.DataLengthIndicator() && packed.Encrypted() && packed.Grouping());
  EXPECT_FALSE(packed.UnSynchronisation());
  EXPECT_EQ(packed.EncryptionID(), 3);
  EXPECT_EQ(packed.GroupID(), 4);
  EXPECT_EQ(packed.AsText(), "acked text");  // first byte "P" is taken as the encoding byte
  EXPECT_EQ(engine.Album(), "Album");
  EXPECT_EQ(engine.Padding(), 10);
}

TEST_F(ID3FramesTest, CompressedVersion4FrameIsInflated) {
  const std::string data = Text("Compressed title");
  Open(Tag(4, Frame4("TIT2", Zlib(data), 0, 0x09, SyncSafe(static_cast<std::uint32_t>(data.size())))));
  EXPECT_EQ(engine.Title(), "Compressed title");
  EXPECT_EQ(engine.Frames()[0].DataSize(), data.size());
}

TEST_F(ID3FramesTest, DamagedCompressedFrameRaisesAndLeavesTheEngineClosed) {
  std::string packed = Zlib(Text("Some text that compresses"));
  const std::string cases[] = {packed.substr(0, packed.size() - 2), "garbage!", std::string()};
  for (const std::string& damaged : cases) {
    engine.SetFileName(Write("bad.mp3", Tag(4, Frame4("TIT2", damaged, 0, 0x08))));
    EXPECT_THROW(engine.SetActive(true), EID3DecompressionError);
    EXPECT_FALSE(engine.Active());
  }
}

TEST_F(ID3FramesTest, BytesAfterACompleteZlibStreamAreIgnored) {
  Open(Tag(4, Frame4("TIT2", Zlib(Text("Whole")) + "trailing", 0, 0x08)));
  EXPECT_EQ(engine.Title(), "Whole");
}

TEST_F(ID3FramesTest, InflatedSizeIsCapped) {
  const std::string bomb = Zlib(std::string(MaxInflatedFrameSize + 1, 'a'));
  engine.SetFileName(Write("bomb.mp3", Tag(4, Frame4("TIT2", bomb, 0, 0x08))));
  EXPECT_THROW(engine.SetActive(true), EID3DecompressionError);
}

TEST_F(ID3FramesTest, DecryptHandlerSeesEncryptedFrames) {
  std::string secret = Text("Plain");
  for (char& c : secret) c = static_cast<char>(c ^ 0x5A);
  int calls = 0;
  engine.OnFrameDecrypt = [&](TID3Engine&, TID3Frames_Item& frame, std::string& data) {
    ++calls;
    EXPECT_EQ(frame.EncryptionID(), 7);
    for (char& c : data) c = static_cast<char>(c ^ 0x5A);
  };
  Open(Tag(4, Frame4("TIT2", secret, 0, 0x04, "\x07") + Frame4("TPE1", Text("Clear"))));
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(engine.Title(), "Plain");
}

TEST_F(ID3FramesTest, MoreFramesThanTheLimitMakeTheTagDamaged) {
  // A partial read could be written back without the frames it left out.
  const std::string frame = Frame4("TIT2", "");
  std::string body;
  for (std::size_t i = 0; i < MaxFrameCount; ++i) body += frame;
  Open(Tag(4, body + std::string(20, '\0')));
  EXPECT_EQ(engine.Frames().Count(), MaxFrameCount);
  EXPECT_EQ(engine.Padding(), 20);
  engine.SetActive(false);
  const std::string damaged = Tag(4, body + frame);
  engine.SetFileName(Write("more.mp3", damaged));
  EXPECT_THROW(engine.SetActive(true), EID3Error);
  EXPECT_FALSE(engine.Active());
  // Read again while open: the partial tag in memory can no longer be written.
  Open(Tag(4, std::string(damaged.size() - 10, '\0')));
  Write("file.mp3", damaged);
  EXPECT_THROW(engine.ReadTag(), EID3Error);
  try {
    engine.WriteTag();
    ADD_FAILURE() << "a partial tag was written";
  } catch (const EID3Error& error) {
    EXPECT_NE(std::string(error.what()).find("could not be read completely"), std::string::npos);
  }
  EXPECT_EQ(Read(engine.FileName()), damaged);
}

TEST_F(ID3FramesTest, TextOfFramesWithTheEncodingByte) {
  Open("");
  EXPECT_EQ(TextOf("TIT2", ""), "");
  EXPECT_EQ(TextOf("TIT2", std::string(1, '\0')), "");
  EXPECT_EQ(TextOf("TIT2", std::string("\0  Hello  \0", 11)), "Hello");
  // Comment-like frames show what follows the description (the language of COMM and USLT
  // first); a description without its terminator leaves nothing to show.
  EXPECT_EQ(TextOf("COMM", std::string("\0eng\0Nice", 9)), "Nice");
  EXPECT_EQ(TextOf("USLT", std::string("\0ENGWords\0 Lyrics\n", 18)), "Lyrics");
  EXPECT_EQ(TextOf("TXXX", std::string("\0Label\0Value\0Second", 19)), "Value");
  EXPECT_EQ(TextOf("WXXX", std::string("\x01\xFF\xFEH\0\0\0http://x/\xE9", 17)), "http://x/\xC3\xA9");
  EXPECT_EQ(TextOf("COMM", std::string("\0en", 3)), "");
  EXPECT_EQ(TextOf("TXXX", std::string("\0Label only", 11)), "");
  // ISO-8859-1, UTF-16 with either byte order mark or none, UTF-16BE, UTF-8.
  EXPECT_EQ(TextOf("TIT2", std::string("\0Caf\xE9", 5)), "Caf\xC3\xA9");
  EXPECT_EQ(TextOf("TIT2", std::string("\x01\xFF\xFE" "C\0a\0f\0\xE9\0\0\0junk", 17)), "Caf\xC3\xA9");
  EXPECT_EQ(TextOf("TIT2", std::string("\x01\xFE\xFF\0C\0a\0f\0\xE9", 11)), "Caf\xC3\xA9");
  EXPECT_EQ(TextOf("TIT2", std::string("\x01" "C\0a\0", 5)), "Ca");
  EXPECT_EQ(TextOf("TIT2", std::string("\x02\0C\x01\x00\0\0\0x", 9)), "C\xC4\x80");
  EXPECT_EQ(TextOf("TIT2", std::string("\x02\xD8\x3D\xDE\x00", 5)), "\xF0\x9F\x98\x80");
  EXPECT_EQ(TextOf("TIT2", "\x03" "Caf\xC3\xA9"), "Caf\xC3\xA9");
  EXPECT_EQ(TextOf("TIT2", "\x07" "Odd encoding"), "Odd encoding");
  // A zero byte inside a UTF-16 unit is no terminator; only a zero unit at an even offset is.
  EXPECT_EQ(TextOf("TIT2", std::string("\x02\x01\x00\x00\x41", 5)), "\xC4\x80" "A");
  // Invalid UTF-8 and unpaired surrogates become U+FFFD.
  EXPECT_EQ(TextOf("TIT2", "\x03" "a\xFF" "b\xC3"), "a\xEF\xBF\xBD" "b\xEF\xBF\xBD");
  EXPECT_EQ(TextOf("TIT2", std::string("\x02\xDC\x00\x00\x41", 5)), "\xEF\xBF\xBD" "A");
  EXPECT_EQ(TextOf("TIT2", "\x03" "\xED\xA0\x80"), "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD");
  // Description and text of a UTF-16 comment each carry their own byte order mark.
  EXPECT_EQ(TextOf("COMM", std::string("\x01" "deu" "\xFF\xFE" "D\0\0\0" "\xFE\xFF\0T\0\0", 16)), "T");
}

TEST_F(ID3FramesTest, TextOfFramesWithoutTheEncodingByte) {
  Open("");
  EXPECT_EQ(TextOf("WOAR", "http://example.org/\xE9"), "http://example.org/\xC3\xA9");
  EXPECT_EQ(TextOf("UFID", std::string("owner\0binary", 12)), "owner");
  EXPECT_EQ(TextOf("PRIV", std::string(" owner \0\x01\x02", 10)), "owner");
  EXPECT_EQ(TextOf("POPM", std::string("me@x\0\xFF", 6)), "me@x");
  EXPECT_EQ(TextOf("APIC", std::string("\0image/png\0\x03", 12)), "image/png");
}

TEST_F(ID3FramesTest, SettingTextChoosesTheEncodingByte) {
  TID3Frames_Item& item = engine.Frames().Add();
  item.SetAsText("Plain");
  EXPECT_EQ(item.Data(), std::string("\0Plain", 6));
  item.SetAsText("Gr\xC3\xBC\xC3\x9F" "e");
  EXPECT_EQ(item.Data(), "\x03" "Gr\xC3\xBC\xC3\x9F" "e");
  item.SetName("TIT2");
  EXPECT_EQ(item.AsText(), "Gr\xC3\xBC\xC3\x9F" "e");
}

TEST(ID3FrameItemTest, PropertySideEffects) {
  TID3Engine engine;
  TID3Frames_Item& item = engine.Frames().Add();
  EXPECT_EQ(item.Name(), "");
  EXPECT_EQ(item.DisplayName(), "TID3Frames_Item");
  item.SetName("TI");
  EXPECT_EQ(item.Name(), "");
  item.SetName("TIT2extra");
  EXPECT_EQ(item.Name(), "TIT2");
  EXPECT_EQ(item.DisplayName(), "Title");
  item.SetName("XYZ1");
  EXPECT_EQ(item.DisplayName(), "XYZ1");
  item.SetCompress(false);
  EXPECT_TRUE(item.DataLengthIndicator());
  EXPECT_FALSE(item.Compress());
  item.SetEncryptionID(3);
  EXPECT_TRUE(item.Encrypted());
  item.SetGroupID(4);
  EXPECT_TRUE(item.Grouping());
  EXPECT_EQ(&item.Collection(), &engine.Frames());
  EXPECT_EQ(&engine.Frames().Owner(), &engine);
  engine.Frames().Delete(0);
  EXPECT_EQ(engine.Frames().Count(), 0u);
}

TEST(ID3ListsTest, GenresAndFrameNames) {
  EXPECT_EQ(GenreList()[0], "(0) Blues");
  EXPECT_EQ(GenreList()[17], "(17) Rock");
  EXPECT_EQ(GenreList()[79], "(79) Hard Rock");
  for (std::size_t i = 0; i < GenreCount; ++i)
    EXPECT_EQ(GenreList()[i].substr(0, std::to_string(i).size() + 2), "(" + std::to_string(i) + ")");
  // The frame names are the catalogue's frame rows, in the same order.
  const auto& catalogue = InfoTypeCatalogue();
  std::set<std::string_view> identifiers;
  for (std::size_t i = 0; i < FrameNameCount; ++i) {
    EXPECT_EQ(FrameNameList()[i], catalogue[13 + i]);
    identifiers.insert(FrameNameList()[i].substr(0, 4));
  }
  EXPECT_EQ(identifiers.size(), FrameNameCount);
  EXPECT_EQ(FrameDescription("WXXX"), "User defined URL link frame");
  EXPECT_EQ(FrameDescription("APIC"), "");
}

}  // namespace

namespace {

class ID3PaddingTest : public TempFolderTest {};

// A size field claiming far more than the file holds gives only the padding that exists, so a
// rewrite does not inflate the file to the claimed size.
TEST_F(ID3PaddingTest, PaddingStopsAtTheEndOfTheFile) {
  Open(Tag(4, Frame4("TIT2", Text("T")) + std::string(40, '\0'), 0, 0x0FFFFFFF));
  EXPECT_EQ(engine.Padding(), 40);
  EXPECT_EQ(engine.TagLength(), 10 + 0x0FFFFFFF);
  engine.SetTitle("U");
  engine.WriteTag();
  EXPECT_EQ(std::filesystem::file_size(engine.FileName()), 10u + 12u + 40u);
}

}  // namespace

// Version 2 tags (three-character identifiers): frames under their later identifiers, the
// compressed form, and rewriting them as version 4.

#include "ID3TestSupport.h"
#include "id3/ID3Dump.h"

using namespace id3test;
using namespace std::string_literals;

namespace {

class ID3Version2Test : public TempFolderTest {};

const std::string Picture = std::string("\0JPG\3cover\0", 11) + "\xFF\xD8\xFF\xE0 picture bytes";
const std::string Comment = std::string("\0eng\0Nice", 9);

// One frame of each layout, a UTF-16 text, an unknown frame and padding.
std::string Version2Body() {
  return Frame2("TT2", "\1\xFF\xFET\0i\0t\0l\0\xE9\0"s) + Frame2("TP1", Text("Artist")) + Frame2("TAL", Text("Album")) +
         Frame2("TYE", Text("1998")) + Frame2("TCO", Text("(17)")) + Frame2("TRK", Text("3/12")) + Frame2("TCP", Text("1")) +
         Frame2("COM", Comment) + Frame2("ULT", std::string("\0eng\0Line", 9)) +
         Frame2("TXX", std::string("\0Key\0Value", 10)) + Frame2("WXX", std::string("\0Home\0http://a.example", 22)) +
         Frame2("WAR", "http://b.example") + Frame2("PIC", Picture) + Frame2("XYZ", Text("odd")) +
         Frame2("LNK", "TT2http://c.example") + std::string(40, '\0');
}

TEST_F(ID3Version2Test, FramesReadUnderTheirLaterIdentifiers) {
  const std::string body = Version2Body();
  Open(Tag(2, body) + Audio(300));
  EXPECT_EQ(engine.TagKind(), TID3TagKind::ID3v2);
  EXPECT_EQ(engine.Header().VersionNumber(), 2);
  EXPECT_EQ(engine.TagLength(), static_cast<std::int64_t>(10 + body.size()));
  EXPECT_EQ(engine.Padding(), 40);

  // Binary frames (nullptr) are checked by their data below.
  const std::pair<const char*, const char*> expected[] = {
      {"TIT2", "Titl\xC3\xA9"}, {"TPE1", "Artist"}, {"TALB", "Album"}, {"TYER", "1998"},
      {"TCON", "(17)"},         {"TRCK", "3/12"},   {"TCMP", "1"},     {"COMM", "Nice"},  {"USLT", "Line"},
      {"TXXX", "Value"},        {"WXXX", "http://a.example"},          {"WOAR", "http://b.example"},
      {"APIC", nullptr},        {"XYZ ", "odd"},    {"LINK", nullptr}};
  ASSERT_EQ(engine.Frames().Count(), std::size(expected));
  for (std::size_t i = 0; i < std::size(expected); ++i) {
    EXPECT_EQ(engine.Frames()[i].Name(), expected[i].first);
    if (expected[i].second) {
      EXPECT_EQ(engine.Frames()[i].AsText(), expected[i].second);
    }
  }
  // The picture's image format becomes a MIME type, the linked frame's identifier a later one;
  // the rest of their data stays.
  EXPECT_EQ(engine.Frames().FindFrame("APIC")->Data(), std::string("\0image/jpeg\0\3cover\0", 19) + Picture.substr(11));
  EXPECT_EQ(engine.Frames().FindFrame("LINK")->Data(), "TIT2http://c.example");
  EXPECT_EQ(engine.Frames().FindFrame("XYZ ")->DisplayName(), "XYZ ");
  EXPECT_EQ(engine.Title(), "Titl\xC3\xA9");
  EXPECT_EQ(engine.Year(), "1998");
  EXPECT_EQ(engine.Track(), "3/12");
  // The dump shows the later identifiers.
  const std::string dump = DumpID3File(engine, engine.FileName());
  EXPECT_NE(dump.find("HEADER\t2\t0\t0000\t"), std::string::npos);
  EXPECT_NE(dump.find("FRAME\t0\tTIT2\t000\t00000\t0\t0\t13\tTitl\xC3\xA9\n"), std::string::npos);
  EXPECT_EQ(dump.find("TT2\t"), std::string::npos);
}

TEST_F(ID3Version2Test, DamagedTagsReadWithinTheirBounds) {
  // A frame claiming more than the file holds gets the bytes there are.
  Open(Tag(2, Frame2("TT1", Text("Group")) + "TT2" + std::string("\xFF\xFF\xFF", 3) + Text("Cut")));
  ASSERT_EQ(engine.Frames().Count(), 2u);
  EXPECT_EQ(engine.Frames()[1].Name(), "TIT2");
  EXPECT_EQ(engine.Title(), "Cut");
  // A header cut short, a lower-case identifier and a picture too short for its format end
  // the parsing quietly.
  Open(Tag(2, Frame2("TT2", Text("A")) + "TP"));
  EXPECT_EQ(engine.Frames().Count(), 1u);
  Open(Tag(2, Frame2("PIC", std::string("\0JP", 3)) + Frame2("tt2", Text("x"))));
  ASSERT_EQ(engine.Frames().Count(), 1u);
  EXPECT_EQ(engine.Frames()[0].Data(), std::string("\0JP", 3));
  // More frames than a tag may hold is damage, as in every version.
  std::string many;
  for (std::size_t i = 0; i <= MaxFrameCount; ++i) many += Frame2("TT2", "");
  engine.SetActive(false);
  engine.SetFileName(Write("many.mp3", Tag(2, many)));
  EXPECT_THROW(engine.SetActive(true), EID3Error);
  EXPECT_FALSE(engine.Active());
}

TEST_F(ID3Version2Test, RewriteReplacesTheTagWithVersion4AndKeepsTheAudio) {
  const std::string audio = Audio(4000);
  for (const std::size_t padding : {std::size_t{0}, std::size_t{2000}}) {
    SCOPED_TRACE(padding);
    std::string body = Version2Body();
    body.erase(body.find("XYZ"), 10);  // version 4 has no place for an unknown version 2 frame
    body += std::string(padding, '\0');
    Open(Tag(2, body) + audio);
    const std::int64_t oldLength = engine.TagLength();
    const std::size_t frames = engine.Frames().Count();
    engine.SetAlbum("New album");
    // Larger frame headers: the tag fits in place (padded to the old length) only where the
    // old one had room to spare and the padding asked for leaves it.
    if (padding > 0) engine.SetPadding(100);
    engine.WriteTag();
    const std::string bytes = Read(engine.FileName());
    EXPECT_EQ(bytes.substr(0, 4), "ID3\4");
    EXPECT_EQ(bytes.substr(static_cast<std::size_t>(engine.TagLength())), audio);
    EXPECT_EQ(engine.TagLength() == oldLength, padding > 0);
    engine.SetActive(false);
    engine.SetActive(true);
    EXPECT_EQ(engine.Header().VersionNumber(), 4);
    EXPECT_EQ(engine.Frames().Count(), frames);
    EXPECT_EQ(engine.Title(), "Titl\xC3\xA9");
    EXPECT_EQ(engine.Album(), "New album");
    EXPECT_EQ(engine.Frames().FindFrame("APIC")->DataSize(), 19 + Picture.size() - 11);
  }
}

TEST_F(ID3Version2Test, TagsVersion4CannotHoldAreNotWritten) {
  const std::string audio = Audio(500);
  struct TCase {
    const char* name;
    std::string file;
    std::size_t frames;
  } cases[] = {
      // Flag 0x40: compressed in a way the standard never defined; the header alone is read.
      {"compressed", Tag(2, Frame2("TT2", Text("Hidden")), 0x40) + audio, 0},
      {"unknown frame", Tag(2, Frame2("TT2", Text("T")) + Frame2("XYZ", Text("odd"))) + audio, 2},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.name);
    Open(c.file);
    EXPECT_EQ(engine.Frames().Count(), c.frames);
    EXPECT_EQ(engine.Padding(), 0);
    EXPECT_EQ(engine.TagLength(), static_cast<std::int64_t>(c.file.size() - audio.size()));
    engine.SetTitle("New");
    EXPECT_THROW(engine.WriteTag(), EID3Error);
    EXPECT_EQ(Read(engine.FileName()), c.file);
    EXPECT_EQ(engine.Header().VersionNumber(), 2);
    // Erasing removes it whole; a tag written then is a plain version 4 one.
    engine.EraseTag();
    EXPECT_EQ(Read(engine.FileName()), audio);
    engine.Frames().Clear();
    engine.SetTitle("New");
    engine.WriteTag();
    engine.SetActive(false);
    engine.SetActive(true);
    EXPECT_EQ(engine.Title(), "New");
    EXPECT_FALSE(engine.Header().ExtendedHeaderPresent());
  }
}

}  // namespace

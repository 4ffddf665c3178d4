// Tag header, extended header, restrictions and locating the tag.

#include "ID3TestSupport.h"

using namespace id3test;

namespace {

class ID3HeaderTest : public TempFolderTest {};

TEST_F(ID3HeaderTest, SizeFieldIsSyncSafeWithTopBitsIgnored) {
  struct Case {
    std::string bytes;
    std::int32_t size;
  } cases[] = {{std::string("\x00\x00\x02\x01", 4), 257},
               {std::string("\x00\x01\x00\x00", 4), 16384},
               {"\x7F\x7F\x7F\x7F", 268435455},
               {std::string("\x00\x00\x00\xC8", 4), 72},
               {"\xFF\xFF\xFF\xFF", 268435455}};
  for (const Case& c : cases) {
    std::string tag = std::string("ID3\x04\x00\x00", 6) + c.bytes;
    Open(tag + std::string(300, '\0'));
    EXPECT_EQ(engine.Header().TagSize(), c.size);
  }
}

TEST_F(ID3HeaderTest, HeaderFieldsAndFlags) {
  Open(std::string("ID3\x03\x07\xAF", 6) + SyncSafe(20) + std::string(40, '\0'));
  const TID3Header& header = engine.Header();
  EXPECT_EQ(header.VersionNumber(), 3);
  EXPECT_EQ(header.VersionRevision(), 7);
  EXPECT_TRUE(header.Unsynchronisation());
  EXPECT_FALSE(header.ExtendedHeaderPresent());
  EXPECT_TRUE(header.Experimental());
  EXPECT_FALSE(header.FooterPresent());
  EXPECT_EQ(engine.TagLength(), 30);
  EXPECT_EQ(engine.Padding(), 20);
}

TEST_F(ID3HeaderTest, VersionAboveFourIsNoTagAndFallsBackToTrailer) {
  std::string file = Tag(5, Frame4("TIT2", Text("Ignored")));
  file += Audio(200) + Trailer("From trailer", "", "", "", "", 0, 255);
  Open(file);
  EXPECT_EQ(engine.Header().TagSize(), -1);
  EXPECT_EQ(engine.Title(), "From trailer");
  EXPECT_EQ(engine.TagLength(), 0);
}

TEST_F(ID3HeaderTest, ShortOrMissingHeaderIsNoTag) {
  for (std::string bytes : {std::string("ID3\x04\x00\x00\x00\x00", 8), std::string("ID"), std::string()}) {
    Open(bytes);
    EXPECT_EQ(engine.Header().TagSize(), -1);
    EXPECT_EQ(engine.Frames().Count(), 0u);
    EXPECT_EQ(engine.Padding(), 0);
    EXPECT_EQ(engine.Title(), std::nullopt);
  }
}

TEST_F(ID3HeaderTest, FooterMakesPaddingZeroAndCountsInTagLength) {
  const std::string body = Frame4("TIT2", Text("A")) + std::string(30, '\0');
  Open(Tag(4, body, 0x10) + "3DI" + std::string("\x04\x00\x10", 3) + SyncSafe(static_cast<std::uint32_t>(body.size())));
  EXPECT_TRUE(engine.Header().FooterPresent());
  EXPECT_EQ(engine.Padding(), 0);
  EXPECT_EQ(engine.TagLength(), 10 + static_cast<std::int64_t>(body.size()) + 10);
  engine.SetPadding(5);
  EXPECT_EQ(engine.Padding(), 0);
}

TEST_F(ID3HeaderTest, PaddingSetterRejectsNegative) {
  Open(Tag(4, std::string(10, '\0')));
  engine.SetPadding(-3);
  EXPECT_EQ(engine.Padding(), 0);
  engine.SetPadding(12);
  EXPECT_EQ(engine.Padding(), 12);
}

TEST(ID3RestrictionsTest, ByteDecodesAndEncodesBothWays) {
  TID3TagRestrictions r;
  DecodeRestrictions(0x9D, r);
  EXPECT_EQ(r.TagSize(), TID3TagSizeRestrictions::sr32Frames_40KB);
  EXPECT_FALSE(r.TextEncodingRestrictions());
  EXPECT_EQ(r.TextSize(), TID3TextSizeRestrictions::tr30max);
  EXPECT_TRUE(r.ImageEncodingRestrictions());
  EXPECT_EQ(r.ImageSize(), TID3ImageSizeRestrictions::ir256x256max);
  EXPECT_EQ(EncodeRestrictions(r), 0x9D);
  for (unsigned value = 0; value < 256; ++value) {
    DecodeRestrictions(static_cast<std::uint8_t>(value), r);
    EXPECT_EQ(EncodeRestrictions(r), value);
  }
  r.Clear();
  EXPECT_EQ(EncodeRestrictions(r), 0);
}

TEST(ID3ExtendedHeaderObjectTest, SettingCRCMarksItPresentAndClearResets) {
  TID3ExtendedHeader ext;
  ext.SetCRCData(0x7FFFFFFFFull);
  EXPECT_TRUE(ext.CRCDataPresent());
  ext.SetTagRestricted(true);
  ext.SetTagIsAnUpdate(true);
  DecodeRestrictions(0xFF, ext.TagRestrictions());
  ext.Clear();
  EXPECT_FALSE(ext.CRCDataPresent() || ext.TagRestricted() || ext.TagIsAnUpdate());
  EXPECT_EQ(ext.CRCData(), 0u);
  EXPECT_EQ(EncodeRestrictions(ext.TagRestrictions()), 0);
}

TEST_F(ID3HeaderTest, ExtendedHeaderFieldsAreRead) {
  // size 12 = 6 + 5 (CRC) + 1 (restrictions)
  std::string ext = SyncSafe(12) + std::string("\x01\x70", 2) + std::string("\x7F\x7F\x7F\x7F\x7F", 5) + "\x9D";
  const std::string frame = Frame4("TIT2", Text("Title"));
  Open(Tag(4, ext + frame, 0x40));
  const TID3ExtendedHeader& e = engine.Header().ExtendedHeader();
  EXPECT_TRUE(engine.Header().ExtendedHeaderPresent());
  EXPECT_TRUE(e.TagIsAnUpdate());
  EXPECT_TRUE(e.CRCDataPresent());
  EXPECT_EQ(e.CRCData(), 0x7FFFFFFFFull);
  EXPECT_TRUE(e.TagRestricted());
  EXPECT_EQ(EncodeRestrictions(e.TagRestrictions()), 0x9D);
  EXPECT_EQ(engine.Title(), "Title");
  EXPECT_EQ(engine.Padding(), 0);
}

// Frames begin where the extended header's own size says it ends, so fields this reader does
// not know (here 4 bytes) are skipped rather than read as a frame.
TEST_F(ID3HeaderTest, FramesStartAfterTheExtendedHeadersOwnSize) {
  std::string ext = SyncSafe(10) + std::string("\x01\x00", 2) + "XXXX";
  const std::string frame = Frame4("TIT2", Text("Title"));
  Open(Tag(4, ext + frame + std::string(7, '\0'), 0x40));
  ASSERT_EQ(engine.Frames().Count(), 1u);
  EXPECT_EQ(engine.Title(), "Title");
  EXPECT_EQ(engine.Padding(), 7);
}

TEST_F(ID3HeaderTest, Version3ExtendedHeaderSizeExcludesItself) {
  // Version 3: size 6, two flag bytes, 4 bytes of padding size.
  std::string ext = BigEndian(6) + std::string("\x00\x00", 2) + BigEndian(5);
  const std::string frame = Frame3("TIT2", Text("Three"));
  Open(Tag(3, ext + frame + std::string(5, '\0'), 0x40));
  EXPECT_EQ(engine.Title(), "Three");
  EXPECT_EQ(engine.Padding(), 5);
}

TEST_F(ID3HeaderTest, ImplausibleExtendedHeaderSizeFallsBackToFieldByField) {
  std::string ext = SyncSafe(5000) + std::string("\x01\x00", 2);
  const std::string frame = Frame4("TIT2", Text("Title"));
  Open(Tag(4, ext + frame, 0x40));
  EXPECT_EQ(engine.Title(), "Title");
}

TEST_F(ID3HeaderTest, FullSeekFindsATagAfterOtherBytes) {
  std::string prefix = Audio(5000);
  prefix[4094] = 'I';  // "ID" at a block end, not followed by "3"
  prefix[4095] = 'D';
  const std::string file = prefix + Tag(4, Frame4("TIT2", Text("Found"))) + Audio(100);
  Open(file, false);
  EXPECT_EQ(engine.Title(), std::nullopt);
  Open(file, true);
  EXPECT_EQ(engine.TagOffset(), 5000);
  EXPECT_EQ(engine.Title(), "Found");
}

TEST_F(ID3HeaderTest, FullSeekMatchAcrossABlockBoundary) {
  std::string file = Audio(4094) + Tag(3, Frame3("TIT2", Text("Edge")));
  Open(file, true);
  EXPECT_EQ(engine.TagOffset(), 4094);
  EXPECT_EQ(engine.Title(), "Edge");
  Open(Audio(4093) + "ID3", true);  // no version byte after it
  EXPECT_EQ(engine.Header().TagSize(), -1);
}

}  // namespace

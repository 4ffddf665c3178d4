// Writing, erasing and the ID3v1 writer: round trips and what stays in the file.

#include <dirent.h>

#include "ID3TestSupport.h"

using namespace id3test;

namespace {

class ID3WriteTest : public TempDirFolderTest {
 protected:
  bool TempFolderEmpty() const { return std::filesystem::is_empty(tempFolder_); }

  struct TFrameView {
    std::string name, data;
    bool flags[8];
    int group, encryption;
    bool operator==(const TFrameView& o) const {
      return name == o.name && data == o.data && std::equal(flags, flags + 8, o.flags) && group == o.group &&
             encryption == o.encryption;
    }
  };
  std::vector<TFrameView> Snapshot() const {
    std::vector<TFrameView> out;
    for (std::size_t i = 0; i < engine.Frames().Count(); ++i) {
      const TID3Frames_Item& f = engine.Frames()[i];
      out.push_back({f.Name(), f.Data(),
                     {f.TagAlterDiscardable(), f.FileAlterDiscardable(), f.ReadOnly(), f.Grouping(), f.Compress(),
                      f.Encrypted(), f.UnSynchronisation(), f.DataLengthIndicator()},
                     f.GroupID(), f.EncryptionID()});
    }
    return out;
  }
  void Reopen() {
    engine.SetActive(false);
    engine.SetActive(true);
  }
};

TEST_F(ID3WriteTest, WrittenTagReadsBackWithTheSameFrames) {
  const std::string audio = Audio(3000);
  Open(Tag(4, Frame4("TIT2", Text("Title")) + std::string(8, '\0')) + audio);
  engine.SetArtist("Artist \xC3\xA9");
  engine.AddComment("desc", "text", "eng");
  TID3Frames_Item& flagged = engine.Frames().Add();
  flagged.SetName("PRIV");
  flagged.SetData(std::string("owner\0\x01\x02\x03", 9));
  flagged.SetTagAlterDiscardable(true);
  flagged.SetReadOnly(true);
  flagged.SetGroupID(9);
  flagged.SetUnSynchronisation(true);
  flagged.SetDataLengthIndicator(true);
  TID3Frames_Item& packed = engine.Frames().Add();
  packed.SetName("TXXX");
  packed.SetData(Text(std::string(5000, 'z')));
  packed.SetCompress(true);
  engine.SetPadding(100);
  const auto before = Snapshot();
  engine.WriteTag();
  EXPECT_TRUE(TempFolderEmpty());
  const std::int64_t length = engine.TagLength();
  Reopen();
  EXPECT_EQ(Snapshot(), before);
  EXPECT_EQ(engine.Padding(), 100);
  EXPECT_EQ(engine.TagLength(), length);
  EXPECT_EQ(engine.Header().VersionNumber(), 4);
  const std::string bytes = Read(engine.FileName());
  EXPECT_EQ(bytes.substr(bytes.size() - audio.size()), audio);
  // The compressed frame is stored deflated, with the inflated length.
  EXPECT_LT(static_cast<std::int64_t>(bytes.size()), 5000);
}

TEST_F(ID3WriteTest, Version3TagIsWrittenAsVersion4) {
  Open(Tag(3, Frame3("TIT2", Text(std::string(300, 'v'))) + std::string(50, '\0')) + Audio(100));
  ASSERT_EQ(engine.Header().VersionNumber(), 3);
  engine.WriteTag();
  const std::string bytes = Read(engine.FileName());
  EXPECT_EQ(bytes[3], '\x04');
  EXPECT_EQ(bytes[4], '\0');
  EXPECT_EQ(bytes.substr(14, 4), SyncSafe(301));
  Reopen();
  EXPECT_EQ(engine.Title(), std::string(300, 'v'));
}

TEST_F(ID3WriteTest, ShorterTagInPlaceLeavesNoStaleFrames) {
  const std::string audio = Audio(1000);
  const std::string body = Frame4("TIT2", Text("A long title to remove")) + Frame4("TPE1", Text("Stale artist"));
  Open(Tag(4, body) + audio);
  const std::int64_t oldLength = engine.TagLength();
  engine.Frames().Clear();
  engine.SetAlbum("New");
  engine.WriteTag();
  EXPECT_EQ(engine.TagLength(), oldLength);
  EXPECT_EQ(engine.TagOffset(), 0);
  const std::string bytes = Read(engine.FileName());
  EXPECT_EQ(bytes.size(), oldLength + audio.size());
  EXPECT_EQ(bytes.find("Stale"), std::string::npos);
  EXPECT_EQ(bytes.substr(static_cast<std::size_t>(oldLength)), audio);
  Reopen();
  EXPECT_EQ(engine.Frames().Count(), 1u);
  EXPECT_EQ(engine.Album(), "New");
  EXPECT_EQ(engine.Artist(), std::nullopt);
}

TEST_F(ID3WriteTest, ShorterTagWithFooterKeepsTheFooterAtTheEnd) {
  const std::string body = Frame4("TIT2", Text("Remove me entirely"));
  Open(Tag(4, body, 0x10) + "3DI" + std::string("\x04\x00\x10", 3) + SyncSafe(static_cast<std::uint32_t>(body.size())) +
       Audio(40));
  engine.Frames().Clear();
  engine.SetTitle("X");
  engine.WriteTag();
  const std::string bytes = Read(engine.FileName());
  EXPECT_EQ(bytes.substr(static_cast<std::size_t>(engine.TagLength()) - 10, 3), "3DI");
  EXPECT_EQ(bytes.find("Remove"), std::string::npos);
  Reopen();
  EXPECT_EQ(engine.Title(), "X");
  EXPECT_EQ(engine.Padding(), 0);
}

TEST_F(ID3WriteTest, LargerTagRewritesTheFileAndKeepsTheAudio) {
  const std::string audio = Audio(9000);
  Open(Tag(4, Frame4("TIT2", Text("T"))) + audio);
  engine.SetAlbum(std::string(6000, 'b'));
  engine.WriteTag();
  EXPECT_TRUE(TempFolderEmpty());
  const std::string bytes = Read(engine.FileName());
  EXPECT_EQ(bytes.size(), engine.TagLength() + audio.size());
  EXPECT_EQ(bytes.substr(static_cast<std::size_t>(engine.TagLength())), audio);
  Reopen();
  EXPECT_EQ(engine.Album(), std::string(6000, 'b'));
  EXPECT_EQ(engine.Title(), "T");
}

TEST_F(ID3WriteTest, WritingIntoAFileWithoutTagInsertsOne) {
  const std::string audio = Audio(700) + Trailer("V1 title", "", "", "", "", 0, 0);
  Open(audio);
  engine.SetTitle("Now a tag");
  engine.WriteTag();
  const std::string bytes = Read(engine.FileName());
  EXPECT_EQ(bytes.substr(0, 3), "ID3");
  EXPECT_EQ(bytes.substr(static_cast<std::size_t>(engine.TagLength())), audio);
  Reopen();
  EXPECT_EQ(engine.Title(), "Now a tag");
  EXPECT_EQ(engine.Padding(), 250);
}

TEST_F(ID3WriteTest, EraseKeepsAudioAndTrailerAndAllowsRewriting) {
  const std::string audio = Audio(5000) + Trailer("V1", "", "", "", "", 0, 0);
  Open(Tag(4, Frame4("TIT2", Text("Gone")) + std::string(30, '\0')) + audio);
  engine.EraseTag();
  EXPECT_TRUE(TempFolderEmpty());
  EXPECT_EQ(Read(engine.FileName()), audio);
  EXPECT_EQ(engine.Title(), "Gone");  // the in-memory tag stays
  engine.WriteTag();
  const std::string bytes = Read(engine.FileName());
  EXPECT_EQ(bytes.substr(static_cast<std::size_t>(engine.TagLength())), audio);
  Reopen();
  EXPECT_EQ(engine.Title(), "Gone");
}

TEST_F(ID3WriteTest, EraseOfATagFoundByTheFullSeekKeepsTheBytesBeforeIt) {
  const std::string before = Audio(300), after = Audio(200);
  Open(before + Tag(4, Frame4("TIT2", Text("Mid"))) + after, true);
  ASSERT_EQ(engine.TagOffset(), 300);
  engine.EraseTag();
  EXPECT_EQ(Read(engine.FileName()), before + after);
}

TEST_F(ID3WriteTest, EncryptHandlerTransformsWrittenData) {
  Open(Tag(4, std::string(20, '\0')));
  TID3Frames_Item& item = engine.Frames().Add();
  item.SetName("TIT2");
  item.SetAsText("Secret");
  item.SetEncryptionID(1);
  auto flip = [](TID3Engine&, TID3Frames_Item&, std::string& data) {
    for (char& c : data) c = static_cast<char>(c ^ 0x33);
  };
  engine.OnFrameEncrypt = flip;
  engine.WriteTag();
  EXPECT_EQ(Read(engine.FileName()).find("Secret"), std::string::npos);
  engine.OnFrameDecrypt = flip;
  Reopen();
  EXPECT_EQ(engine.Title(), "Secret");
}

TEST_F(ID3WriteTest, FrameWithoutValidIdentifierIsRefusedAndTheFileUntouched) {
  const std::string file = Tag(4, Frame4("TIT2", Text("Keep"))) + Audio(100);
  Open(file);
  engine.Frames().Add();
  EXPECT_THROW(engine.WriteTag(), EID3Error);
  EXPECT_EQ(Read(engine.FileName()), file);
}

TEST_F(ID3WriteTest, Id3v1TrailerIsAppendedThenOverwritten) {
  const std::string audio = Audio(400);
  Open(Tag(4, Frame4("TIT2", "\x03" "Caf\xC3\xA9 \xE2\x82\xAC " + std::string(40, 'x')) + Frame4("TYER", Text("19991")) +
              Frame4("TRCK", Text("300")) + Frame4("TCON", Text("(17) Rock"))) +
       audio);
  engine.WriteID3v1Tag();
  std::string bytes = Read(engine.FileName());
  std::string trailer = bytes.substr(bytes.size() - 128);
  EXPECT_EQ(trailer.substr(0, 3), "TAG");
  EXPECT_EQ(trailer.substr(3, 30), "Caf\xE9 ? " + std::string(23, 'x'));
  EXPECT_EQ(trailer.substr(33, 64), std::string(60, '\0') + "1999");
  EXPECT_EQ(trailer.substr(97, 29), std::string(29, '\0'));
  EXPECT_EQ(static_cast<unsigned char>(trailer[126]), 300 & 0xFF);
  EXPECT_EQ(trailer[127], 17);
  const std::size_t size = bytes.size();
  engine.SetTrack("2/9");
  engine.SetGenre("Rock");
  engine.SetWriteID3V1(true);
  engine.WriteTag();
  bytes = Read(engine.FileName());
  EXPECT_EQ(bytes.size(), size);
  EXPECT_EQ(bytes[bytes.size() - 2], 0);
  EXPECT_EQ(bytes[bytes.size() - 1], 0);
}

TEST(ID3TempFileTest, NamesLieInTheTemporaryFolderAndFilesAreExclusive) {
  const std::string name = MakeTempFileName();
  const char* tmp = std::getenv("TMPDIR");
  std::string folder = tmp && *tmp ? tmp : "/tmp";
  if (folder.back() != '/') folder += '/';
  ASSERT_EQ(name.rfind(folder + "ID3TMP", 0), 0u);
  EXPECT_EQ(name.substr(name.size() - 4), ".tmp");
  const std::string hex = name.substr(folder.size() + 6, name.size() - folder.size() - 10);
  EXPECT_GE(hex.size(), 2u);
  EXPECT_EQ(hex.find_first_not_of("0123456789ABCDEF"), std::string::npos);
  std::string path;
  {
    TID3FileStream file = CreateTempFile(path);
    struct stat info {};
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    EXPECT_THROW(TID3FileStream::CreateNew(path), EID3FileError);
  }
  ::unlink(path.c_str());
}

TEST_F(ID3WriteTest, CopyStreamDataCountsFromThePositionOrCopiesAll) {
  TID3FileStream source(Write("source", "0123456789"), TID3FileStream::TMode::Read);
  TID3FileStream dest(Write("dest", ""), TID3FileStream::TMode::ReadWrite);
  source.Seek(7);
  CopyStreamData(source, dest, 100);  // cut to what remains
  CopyStreamData(source, dest, 0);    // rewinds and copies everything
  source.Seek(2);
  CopyStreamData(source, dest, 3);
  EXPECT_EQ(Read(dest.Path()), "7890123456789234");
}

TEST_F(ID3WriteTest, StreamReadsGiveTheFileBytesWhereverTheWindowLies) {
  // A small file is loaded whole by its first read, a large one a window at a time: reads at any
  // place, across the window's end and past the file's end must give the file's own bytes.
  for (const std::size_t size : {std::size_t{5000}, std::size_t{100000}}) {
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 131 + i / 256) % 251);
    TID3FileStream file(Write("bytes", bytes), TID3FileStream::TMode::Read);
    auto expect = [&](std::size_t at, std::size_t count) {
      return bytes.substr(std::min(at, size), count);
    };
    for (const std::size_t at : {std::size_t{0}, std::size_t{10}, std::size_t{4090}, size / 2, size - 3}) {
      SCOPED_TRACE(std::to_string(size) + " at " + std::to_string(at));
      file.Seek(static_cast<std::int64_t>(at));
      EXPECT_EQ(file.ReadBytes(10), expect(at, 10));
      file.Seek(static_cast<std::int64_t>(at));
      file.Prefetch(6000);
      EXPECT_EQ(file.ReadBytes(5000), expect(at, 5000));
      std::string out(8000, '\0');
      out.resize(file.ReadAt(static_cast<std::int64_t>(at) + 1, out.data(), out.size()));
      EXPECT_EQ(out, expect(at + 1, 8000));
    }
  }
}

TEST(ID3ZlibTest, CompressAndDecompressRoundTrip) {
  std::string data;
  for (int i = 0; i < 20000; ++i) data.push_back(static_cast<char>(i % 251));
  std::string packed = data;
  CompressFrameData(packed);
  EXPECT_EQ(static_cast<unsigned char>(packed[0]), 0x78);
  EXPECT_EQ(static_cast<unsigned char>(packed[1]), 0xDA);  // level 9
  DecompressFrameData(packed);
  EXPECT_EQ(packed, data);
  std::string empty;
  CompressFrameData(empty);
  DecompressFrameData(empty);
  EXPECT_EQ(empty, "");
}

}  // namespace

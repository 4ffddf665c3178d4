// The dump records of id3dump.

#include "ID3TestSupport.h"
#include "id3/ID3Dump.h"

using namespace id3test;

namespace {

class ID3DumpTest : public TempFolderTest {};

TEST(ID3DumpFieldTest, EscapesControlBytesAndRepairsUtf8) {
  EXPECT_EQ(EscapeDumpField("a\\b\tc\nd\re\x01\x1F"), "a\\\\b\\tc\\nd\\re\\x01\\x1f");
  EXPECT_EQ(EscapeDumpField("ok \xC3\xA9 \xFF!"), "ok \xC3\xA9 \xEF\xBF\xBD!");
  EXPECT_EQ(EscapeDumpField(std::string("\0", 1)), "\\x00");
}

TEST_F(ID3DumpTest, RecordsOfATaggedFile) {
  std::string ext = SyncSafe(7) + std::string("\x01\x50", 2) + "\x9D";
  const std::string body = ext + Frame4("TIT2", Text("Tab\there")) +
                           Frame4("TPE1", Text("X"), 0x40, 0x41, std::string("\x07", 1) + SyncSafe(2)) +
                           Frame4("COMM", std::string("\0engd\0Nice", 10)) + Frame4("TDRC", Text("2004-01")) +
                           std::string(5, '\0');
  const std::string path = Write("a\tb.mp3", Tag(4, body, 0x40));
  const std::string expected =
      "FILE\t" + EscapeDumpField(path) + "\n"
      "ACTIVE\t1\n"
      "HEADER\t4\t0\t0100\t" + std::to_string(body.size()) + "\t0\t" + std::to_string(10 + body.size()) + "\t5\n"
      "EXT\t1\t0\t0\t1\t9d\n"
      "FRAME\t0\tTIT2\t000\t00000\t0\t0\t9\tTab\\there\n"
      "FRAME\t1\tTPE1\t100\t10001\t7\t0\t2\tX\n"
      "FRAME\t2\tCOMM\t000\t00000\t0\t0\t10\tNice\n"
      "FRAME\t3\tTDRC\t000\t00000\t0\t0\t8\t2004-01\n"
      "PROP\tTitle\tTab\\there\nPROP\tSubTitle\t-\nPROP\tArtist\tX\nPROP\tAlbum\t-\nPROP\tYear\t2004\n"
      "PROP\tTrack\t-\nPROP\tGenre\t-\nPROP\tEncodedBy\t-\n"
      "END\n";
  EXPECT_EQ(DumpID3File(engine, path), expected);
  EXPECT_NE(expected.find("a\\tb.mp3"), std::string::npos);
  EXPECT_FALSE(engine.Active());
}

TEST_F(ID3DumpTest, MissingFileUntaggedFileAndError) {
  const std::string missing = (folder_ / "missing.mp3").string();
  EXPECT_EQ(DumpID3File(engine, missing), "FILE\t" + missing + "\nACTIVE\t0\nEND\n");
  const std::string plain = Write("plain.mp3", Audio(50));
  const std::string head = "FILE\t" + plain + "\nACTIVE\t1\nHEADER\t4\t0\t0000\t-1\t0\t0\t0\nPROP\tTitle\t-\n";
  EXPECT_EQ(DumpID3File(engine, plain).substr(0, head.size()), head);
  const std::string bad = Write("bad.mp3", Tag(4, Frame4("TIT2", "not zlib", 0, 0x08)));
  const std::string dump = DumpID3File(engine, bad);
  EXPECT_EQ(dump.rfind("FILE\t" + bad + "\nERROR\t", 0), 0u);
  EXPECT_EQ(dump.substr(dump.size() - 4), "END\n");
  EXPECT_EQ(dump.find("ACTIVE"), std::string::npos);
}

}  // namespace

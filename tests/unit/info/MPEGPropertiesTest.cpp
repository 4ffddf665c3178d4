// The own reader of MPEG stream headers must give exactly what the container reader gives, on
// crafted streams, on random ones and on what a real encoder writes.
#include <gtest/gtest.h>
#include <taglib/mpegfile.h>

#include <cstdlib>
#include <optional>
#include <random>
#include <tuple>

#include "InfoTestSupport.h"
#include "id3/TID3FileStream.h"
#include "info/UnitMPEGProperties.h"
#include "info/UnitTagLibSource.h"

namespace {

using TFields = std::tuple<int, int, int, int, int, std::string>;

TFields FieldsOf(const TAudioProperties& p) {
  return {p.LengthMs, p.BitrateKbps, p.SampleRate, p.Channels, p.BitsPerSample, p.Codec};
}

// What the container reader itself says of the file.
TFields ContainerReader(const std::string& path) {
  TagLib::MPEG::File file(path.c_str(), true);
  const TagLib::MPEG::Properties* p = file.audioProperties();
  if (p == nullptr) return FieldsOf({});
  const int layer = p->layer();
  return {std::max(0, p->lengthInMilliseconds()), std::max(0, p->bitrate()), std::max(0, p->sampleRate()),
          std::max(0, p->channels()), 0, layer >= 1 && layer <= 3 ? "MP" + std::to_string(layer) : ""};
}

std::string Id3v2(std::uint32_t size, char flags = '\0') {
  return std::string("ID3\x03\x00", 5) + flags + infotest::SyncSafe(size) + std::string(size, '\0');
}

// count frames of the given header and length; the body bytes never look like a sync.
std::string Frames(std::string_view header, int length, int count, std::string_view firstBody = "") {
  std::string out;
  for (int i = 0; i < count; ++i) {
    std::string frame(header);
    frame += i == 0 ? std::string(firstBody) : std::string();
    frame.resize(static_cast<std::size_t>(length), '\x55');
    out += frame;
  }
  return out;
}

std::string BigEndian(std::uint32_t v) {
  return {static_cast<char>(v >> 24), static_cast<char>(v >> 16), static_cast<char>(v >> 8), static_cast<char>(v)};
}

const std::string L3 = "\xFF\xFB\x90\x64";        // MPEG-1 layer III, 128 kbps, 44.1 kHz: 417 bytes
const std::string L3Mono2 = "\xFF\xF3\x80\xC4";   // MPEG-2 layer III, 64 kbps, 22.05 kHz, mono: 208
const std::string L3v25 = "\xFF\xE3\x18\x44";     // MPEG-2.5 layer III, 8 kbps, 8 kHz: 72
const std::string L2 = "\xFF\xFD\xA4\x04";        // MPEG-1 layer II, 192 kbps, 48 kHz: 576
const std::string L1Pad = "\xFF\xFE\x9A\x04";     // MPEG-1 layer I, 288 kbps, 32 kHz, padded: 436
const std::string Trailer = "TAG" + std::string(125, '\0');
const std::string SideInfo(32, '\0');             // where a Xing header follows in a stereo frame

}  // namespace

TEST(MPEGProperties, AgreesWithTheContainerReader) {
  const std::string xing = SideInfo + "Xing" + BigEndian(0x0F) + BigEndian(5000) + BigEndian(3'000'000);
  struct TCase {
    const char* name;
    std::string bytes;
    bool plain;  // read by the own reader rather than left to the container reader
  };
  const std::vector<TCase> cases{
      {"cbr.mp3", Id3v2(2000) + Frames(L3, 417, 40), true},
      {"cbr-trailer.mp3", Id3v2(2000) + Frames(L3, 417, 40) + Trailer, true},
      {"xing.mp3", Id3v2(500) + Frames(L3, 417, 30, xing), true},
      {"info.mp3", Id3v2(500) + Frames(L3, 417, 30, SideInfo + "Info" + BigEndian(0x03) + BigEndian(77) + BigEndian(99'000)), true},
      {"vbri.mp3", Id3v2(500) + Frames(L3, 417, 30, SideInfo + "VBRI" + BigEndian(0x00010000) + std::string(2, '\0') + BigEndian(2'000'000) + BigEndian(4000) + std::string(14, '\0')), true},
      {"xing-without-counts.mp3", Id3v2(500) + Frames(L3, 417, 30, SideInfo + "Xing" + BigEndian(0x01) + BigEndian(9) + BigEndian(9)), true},
      {"mpeg2-mono.mp3", Id3v2(100) + Frames(L3Mono2, 208, 60), true},
      {"mpeg25.mp3", Id3v2(100) + Frames(L3v25, 72, 100) + Trailer, true},
      {"layer2.mp2", Id3v2(100) + Frames(L2, 576, 20), true},
      {"layer1.mp3", Id3v2(100) + Frames(L1Pad, 436, 20), true},
      {"false-syncs.mp3", Id3v2(300) + L3 + std::string(50, '\x11') + "\xFF\xFB\xFF\xE0" + Frames(L3, 417, 20) + "\xFF\xFB", true},
      {"footer-flag.mp3", Id3v2(300, '\x10') + std::string("ID3\x04", 4) + std::string(6, '\0') + Frames(L3, 417, 20), true},
      {"frames-in-trailer.mp3", Frames(L3v25, 72, 30) + ("TAG" + Frames(L3v25, 72, 2)).substr(0, 128), true},
      {"damaged-size.mp3", std::string("ID3\x03\x00\x00\x00\x00\x80\x00", 10) + Frames(L3, 417, 20), true},
      {"tag-beyond-end.mp3", std::string("ID3\x03\x00\x00\x7F\x7F\x7F\x7F", 10) + Frames(L3, 417, 20), true},
      {"no-tag.mp3", Frames(L3, 417, 20) + Trailer, true},
      {"no-stream.mp3", Id3v2(100) + std::string(3000, '\x22'), true},
      {"ape-tag.mp3", Id3v2(100) + Frames(L3, 417, 20) + "APETAGEX" + std::string(24, '\0'), false},
      {"second-tag.mp3", Id3v2(100) + Id3v2(100) + Frames(L3, 417, 20), false},
      {"far-stream.mp3", Id3v2(100) + std::string(6000, '\0') + Frames(L3, 417, 20), false},
      {"tag-further-in.mp3", std::string(40, '\0') + Id3v2(100) + Frames(L3, 417, 20), false},
  };
  infotest::TempFolder folder;
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = folder.File(c.name);
    infotest::WriteBytes(path, c.bytes);
    EXPECT_EQ(ReadMPEGFileProperties(path).has_value(), c.plain);
    EXPECT_EQ(FieldsOf(TTagLibSource(path).AudioProperties()), ContainerReader(path));
  }
}

// Streams put together at random from the pieces the rules turn on: tags of any declared size,
// junk, runs of frames of mixed kinds, VBR headers, sync-like bytes, trailers.
TEST(MPEGProperties, AgreesWithTheContainerReaderOnRandomStreams) {
  std::mt19937 rng(20261209);
  auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
  const std::vector<std::pair<std::string, int>> kinds{{L3, 417}, {L3Mono2, 208}, {L3v25, 72}, {L2, 576}, {L1Pad, 436}};
  infotest::TempFolder folder;
  const std::string path = folder.File("random.mp3");
  int plain = 0;
  constexpr int Runs = 400;
  for (int run = 0; run < Runs; ++run) {
    std::string bytes = pick(4) != 0 ? Id3v2(static_cast<std::uint32_t>(pick(3000)), pick(5) == 0 ? '\x10' : '\0') : "";
    for (int piece = pick(6) + 1; piece > 0; --piece) {
      const auto& [header, length] = kinds[static_cast<std::size_t>(pick(static_cast<int>(kinds.size())))];
      switch (pick(5)) {
        case 0: bytes += std::string(static_cast<std::size_t>(pick(4) == 0 ? pick(4000) : pick(200)), static_cast<char>(pick(2) ? 0xFF : 0x00)); break;
        case 1: bytes += header.substr(0, 2) + std::string(static_cast<std::size_t>(pick(8)), '\xE3'); break;
        case 2: bytes += Frames(header, length, pick(3) + 1, SideInfo + (pick(2) ? "Xing" : "VBRI") + BigEndian(static_cast<std::uint32_t>(pick(16))) + BigEndian(static_cast<std::uint32_t>(pick(3000))) + BigEndian(static_cast<std::uint32_t>(rng()))); break;
        default: bytes += Frames(header, length - pick(2), pick(25) + 1); break;
      }
    }
    if (pick(3) == 0) bytes += Trailer;
    infotest::WriteBytes(path, bytes);
    SCOPED_TRACE("run " + std::to_string(run));
    const std::optional<TAudioProperties> cold = ReadMPEGFileProperties(path);
    plain += cold.has_value() ? 1 : 0;
    ASSERT_EQ(FieldsOf(TTagLibSource(path).AudioProperties()), ContainerReader(path));
    // Read from the tag engine's window (the whole of a small file, the start of a larger one)
    // the answer is the same.
    TID3FileStream loaded(path, TID3FileStream::TMode::Read);
    loaded.Prefetch(8192);
    const std::optional<TAudioProperties> warm = ReadMPEGProperties(loaded);
    ASSERT_EQ(warm.has_value(), cold.has_value());
    if (cold) {
      ASSERT_EQ(FieldsOf(*warm), FieldsOf(*cold));
    }
  }
  EXPECT_GT(plain, Runs / 2);  // the comparison above is mostly of the own reader
}

// What an encoder writes: a constant bit rate stream, and a variable one with its Xing header.
TEST(MPEGProperties, AgreesWithTheContainerReaderOnEncodedFiles) {
  if (std::system("gst-inspect-1.0 lamemp3enc >/dev/null 2>&1 && gst-inspect-1.0 xingmux >/dev/null 2>&1") != 0) {
    GTEST_SKIP() << "gstreamer's MP3 encoder is not installed (scripts/install-deps.sh installs it)";
  }
  infotest::TempFolder folder;
  const std::vector<std::pair<std::string, std::string>> encodings{
      {"cbr.mp3", "lamemp3enc target=bitrate bitrate=160 cbr=true ! id3v2mux"},
      {"vbr.mp3", "lamemp3enc target=quality quality=4 ! xingmux ! id3v2mux"},
  };
  for (const auto& [name, pipeline] : encodings) {
    SCOPED_TRACE(name);
    const std::string path = folder.File(name);
    const std::string command = "gst-launch-1.0 -q audiotestsrc num-buffers=300 wave=pink-noise ! audioconvert ! " +
                                pipeline + " ! filesink location=" + path + " >/dev/null 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0);
    ASSERT_TRUE(ReadMPEGFileProperties(path).has_value());
    const TFields expected = ContainerReader(path);
    EXPECT_GT(std::get<0>(expected), 0);
    EXPECT_EQ(FieldsOf(*ReadMPEGFileProperties(path)), expected);
  }
}

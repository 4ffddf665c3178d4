// Tags and audio properties of the containers besides ID3-tagged MPEG: a FLAC stream with Vorbis
// comments and a WAV file with a RIFF INFO list made here byte by byte, and Ogg Vorbis, Opus,
// AIFF and M4A files made by the encoders of the system's packages.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "InfoTestSupport.h"
#include "core/UnitGlobals.h"
#include "id3/ID3Engine.h"
#include "info/UnitInfoValues.h"
#include "info/UnitTagLibSource.h"
#include "scan/UnitFileList.h"

namespace {

using infotest::TempFolder;

const TLocaleFormat& En = TLocaleFormat::English();
const std::string NA = "(not available)";

std::string LittleEndian(std::uint32_t value, int bytes) {
  std::string out;
  for (int i = 0; i < bytes; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFFU);
  return out;
}

std::string BigEndian(std::uint64_t value, int bytes) {
  std::string out;
  for (int i = bytes - 1; i >= 0; --i) out += static_cast<char>((value >> (8 * i)) & 0xFFU);
  return out;
}

// "fLaC", STREAMINFO and a Vorbis comment block, then `audio` bytes standing in for frames.
std::string Flac(std::uint64_t samples, const std::vector<std::string>& comments,
                 std::size_t audio = 1000) {
  std::string info = BigEndian(4096, 2) + BigEndian(4096, 2) + BigEndian(0, 3) + BigEndian(0, 3);
  // 44,100 Hz (20 bits), 2 channels (3 bits, minus one), 16 bits (5 bits, minus one), samples (36).
  info += BigEndian((std::uint64_t{44100} << 44) | (std::uint64_t{1} << 41) | (std::uint64_t{15} << 36) | samples, 8);
  info += std::string(16, '\0');
  std::string vorbis = LittleEndian(4, 4) + "test" + LittleEndian(static_cast<std::uint32_t>(comments.size()), 4);
  for (const auto& comment : comments) vorbis += LittleEndian(static_cast<std::uint32_t>(comment.size()), 4) + comment;
  return "fLaC" + std::string(1, '\x00') + BigEndian(info.size(), 3) + info + std::string(1, '\x84') +
         BigEndian(vorbis.size(), 3) + vorbis + std::string(audio, '\xAA');
}

// 8,000 Hz mono 16-bit PCM of `seconds`, with a LIST INFO chunk holding INAM and IART.
std::string Wav(std::uint32_t seconds) {
  std::string fmt = LittleEndian(1, 2) + LittleEndian(1, 2) + LittleEndian(8000, 4) + LittleEndian(16000, 4) +
                    LittleEndian(2, 2) + LittleEndian(16, 2);
  std::string info = "INFO";
  info += "INAM" + LittleEndian(6, 4) + std::string("Voice\0", 6);
  info += "IART" + LittleEndian(4, 4) + std::string("Ann\0", 4);
  std::string body = "WAVE";
  body += "fmt " + LittleEndian(static_cast<std::uint32_t>(fmt.size()), 4) + fmt;
  body += "data" + LittleEndian(seconds * 16000, 4) + std::string(seconds * 16000, '\0');
  body += "LIST" + LittleEndian(static_cast<std::uint32_t>(info.size()), 4) + info;
  return "RIFF" + LittleEndian(static_cast<std::uint32_t>(body.size()), 4) + body;
}

// `seconds` of a 440 Hz sine, 44,100 Hz stereo 16-bit PCM, as the encoders' input.
std::string SineWav(std::uint32_t seconds) {
  const std::uint32_t frames = seconds * 44100;
  std::string data;
  data.reserve(frames * 4);
  for (std::uint32_t i = 0; i < frames; ++i) {
    const auto sample = static_cast<std::int16_t>(std::lround(12000.0 * std::sin(2.0 * M_PI * 440.0 * i / 44100.0)));
    const std::string bytes = LittleEndian(static_cast<std::uint16_t>(sample), 2);
    data += bytes + bytes;
  }
  const std::string fmt = LittleEndian(1, 2) + LittleEndian(2, 2) + LittleEndian(44100, 4) +
                          LittleEndian(44100 * 4, 4) + LittleEndian(4, 2) + LittleEndian(16, 2);
  const std::string body = "WAVEfmt " + LittleEndian(16, 4) + fmt + "data" + LittleEndian(frames * 4, 4) + data;
  return "RIFF" + LittleEndian(static_cast<std::uint32_t>(body.size()), 4) + body;
}

bool ToolInstalled(const std::string& tool) {
  return std::system(("command -v " + tool + " >/dev/null 2>&1").c_str()) == 0;
}

class AudioFormats : public ::testing::Test {
 protected:
  std::string Write(std::string_view name, const std::string& bytes) {
    const auto path = dir.File(name);
    infotest::WriteBytes(path, bytes);
    return path;
  }
  std::vector<std::string> Row(const std::string& path, const TStringList& used) {
    return GetRowValues(engine, path, used, En);
  }
  std::vector<std::string> Report(const std::string& path, const TStringList& columns) {
    std::vector<std::string> values;
    for (auto& value : GetReportValues(engine, path, columns, En)) values.push_back(value.Value);
    return values;
  }

  TempFolder dir;
  TID3Engine engine;
};

TEST_F(AudioFormats, VorbisCommentsMapOntoFramesAndBasicFields) {
  const auto path = Write("song.flac", Flac(44100 * 125, {"TITLE=Night", "ARTIST=Ann", "ALBUM=Blue", "DATE=1999-05-01",
                                                          "GENRE=Jazz", "TRACKNUMBER=3/12", "COMMENT=Live",
                                                          "COMPOSER=Bo", "ALBUMARTIST=Band", "DISCNUMBER=2",
                                                          "TITLE=Second title", "WHATEVER=kept out"}));
  const TStringList used{"1TIT=t", "1ART=a", "1ALB=b", "1YEA=y", "1GEN=g", "TIT2=t", "TDRC=d", "TRCK=n",
                         "COMM=c", "TCOM=c", "TPE2=b", "TPOS=p", "TYER=y", "2TAG=f"};
  EXPECT_EQ(Row(path, used), (std::vector<std::string>{"Night", "Ann", "Blue", "1999", "Jazz", "Night", "1999-05-01",
                                                       "3/12", "Live", "Bo", "Band", "2", NA, "Vorbis comments"}));
  // The report leaves what is missing empty, as for an ID3 tag.
  EXPECT_EQ(Report(path, {"1TIT=t", "TYER=y", "2COD=c"}), (std::vector<std::string>{"Night", "", "FLAC"}));
}

TEST_F(AudioFormats, AudioPropertiesOfFlacAndWav) {
  const TStringList used{"2DUR=d", "2BIT=b", "2SMP=s", "2CHN=c", "2BPS=p", "2COD=k", "2TAG=f", "1TIT=t", "1ART=a"};
  // 125 s of FLAC over 125,000 bytes of "frames": 8 kbps.
  EXPECT_EQ(Row(Write("a.flac", Flac(44100 * 125, {}, 125000)), used),
            (std::vector<std::string>{"2:05", "8 kbps", "44,100 Hz", "Stereo", "16-bit", "FLAC", NA, NA, NA}));
  EXPECT_EQ(Row(Write("long.flac", Flac(44100ULL * 3725, {"TITLE=x"})), {"2DUR=d"}), std::vector<std::string>{"1:02:05"});
  // A name that tells the wrong container, or none, leaves the content to tell it.
  for (const char* name : {"misnamed.ogg", "misnamed.m4a", "noextension"}) {
    EXPECT_EQ(Row(Write(name, Flac(44100 * 2, {"TITLE=Found"})), {"2COD=c", "1TIT=t"}),
              (std::vector<std::string>{"FLAC", "Found"})) << name;
  }
  EXPECT_EQ(Row(Write("voice.wav", Wav(3)), used),
            (std::vector<std::string>{"0:03", "128 kbps", "8,000 Hz", "Mono", "16-bit", "PCM", "RIFF INFO", "Voice",
                                      "Ann"}));
}

TEST_F(AudioFormats, AnID3TagWinsOverNativeTags) {
  const auto path = Write("both.flac", infotest::Tag({infotest::TextFrame("TIT2", "From ID3")}) +
                                           Flac(44100, {"TITLE=Native", "ARTIST=Native artist"}));
  EXPECT_EQ(Row(path, {"1TIT=t", "1ART=a", "2TAG=f"}), (std::vector<std::string>{"From ID3", NA, "ID3v2.4"}));
  const auto trailer = Write("v1.mp3", infotest::Audio() + "TAG" + std::string(125, '\0'));
  EXPECT_EQ(Row(trailer, {"2TAG=f"}), std::vector<std::string>{"ID3v1"});
}

TEST_F(AudioFormats, DamagedOrUnknownContainersAreTagless) {
  std::string flac = Flac(44100 * 10, {"TITLE=Lost"});
  flac[5] = '\xFF';  // STREAMINFO claims to be far longer than the file
  std::string mp4 = BigEndian(24, 4) + "ftypM4A " + BigEndian(0, 4) + "M4A isom" + BigEndian(0x7FFFFFF0, 4) + "moov" +
                    BigEndian(0x7FFFFF00, 4) + "udta";
  const TStringList used{"1TIT=t", "TIT2=t", "2DUR=d", "2COD=c", "2TAG=f"};
  for (const auto& [name, bytes] : std::vector<std::pair<std::string, std::string>>{
           {"bad.flac", flac}, {"bad.m4a", mp4}, {"cut.m4a", mp4.substr(0, 30)}, {"empty.ogg", ""},
           {"noise.opus", std::string(5000, '\x4F')}, {"text.wav", "RIFF????WAVEfmt "},
           {"lone-header.mp3", "\xFF\xFB\x90\x00" + std::string(4000, '\0')}}) {
    EXPECT_EQ(Row(Write(name, bytes), used), std::vector<std::string>(used.size(), NA)) << name;
  }
  EXPECT_TRUE(TTagLibSource::FromBytes(mp4).Frames().empty());
  // A pipe named like a FLAC file is not waited on, neither for a row nor for a numeric sort.
  const auto pipe = dir.File("pipe.flac");
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  EXPECT_EQ(Row(pipe, used), std::vector<std::string>(used.size(), NA));
  EXPECT_EQ(GetSortNumber(pipe, "2DUR"), 0);
}

TEST_F(AudioFormats, AudioColumnsSortByNumberKeepingScanOrderForEqualValues) {
  TFoundFileList list;
  for (const auto& [name, seconds] : std::vector<std::pair<std::string, std::uint64_t>>{
           {"b.flac", 100}, {"a.flac", 9}, {"c.flac", 100}, {"d.flac", 0}}) {
    list.push_back(TFoundFile{Write(name, Flac(44100 * seconds, {})), 0});
  }
  TRowCache cache;
  SortFoundFiles(list, cache, engine, {"2DUR=Duration"}, 0, true, En);
  std::vector<std::string> names;
  for (const auto& file : list) names.push_back(file.Path.substr(dir.Path().size() + 1));
  // As texts "0:09" would follow "0:00" and "1:40" alike; the numbers put 9 s before 100 s, and
  // the two files of 100 s keep their scan order.
  EXPECT_EQ(names, (std::vector<std::string>{"d.flac", "a.flac", "b.flac", "c.flac"}));
}

TEST(AudioValueTexts, DurationsAndChannels) {
  EXPECT_EQ(FormatDuration(0), "");
  EXPECT_EQ(FormatDuration(499), "0:00");
  EXPECT_EQ(FormatDuration(59'600), "1:00");
  EXPECT_EQ(FormatDuration(3'599'000), "59:59");
  EXPECT_EQ(FormatDuration(36'000'000), "10:00:00");
  EXPECT_EQ(FormatChannels(0), "");
  EXPECT_EQ(FormatChannels(6), "6 channels");
}

// One encoder run: the tools and their packages, the command line ({in} and {out} stand for the
// paths) and what the file must tell. The bit rate is the one asked of the encoder, PCM's own, or
// the figure the encoder prints after `Reported` times `Scale`: Ogg streams count their page
// framing, as oggenc's average does, so Opus is held to the bytes opusenc wrote over the input's
// five seconds rather than to its rate "without overhead".
struct TEncoded {
  const char* Name;
  std::vector<std::string> Tools;
  const char* Packages;
  std::string Command;
  std::string SampleRate;
  const char* Codec;
  const char* TagFormat;
  double BitrateKbps;
  const char* Reported = nullptr;
  double Scale = 1;
};

std::string Substituted(std::string command, const std::string& in, const std::string& out) {
  for (const auto& [key, value] : {std::pair<std::string, std::string>{"{in}", in}, {"{out}", out}}) {
    for (auto at = command.find(key); at != std::string::npos; at = command.find(key)) command.replace(at, key.size(), value);
  }
  return command;
}

std::string FileBytes(const std::string& path) {
  std::string bytes(std::filesystem::file_size(path), '\0');
  std::ifstream(path, std::ios::binary).read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return bytes;
}

// An AIFF file keeps its tag as an ID3v2 tag in an "ID3 " chunk, appended here to what sox made.
void AppendId3Chunk(const std::string& path) {
  std::string aiff = FileBytes(path);
  using infotest::TextFrame;
  std::string tag = infotest::Tag({TextFrame("TIT2", "Night"), TextFrame("TPE1", "Ann"), TextFrame("TALB", "Blue"),
                                   TextFrame("TDRC", "1999-05-01"), TextFrame("TCON", "Jazz"), TextFrame("TRCK", "3"),
                                   infotest::Frame("COMM", std::string("\0eng\0Live", 9))});
  if (tag.size() % 2 != 0) tag += '\0';
  aiff += "ID3 " + BigEndian(tag.size(), 4) + tag;
  aiff.replace(4, 4, BigEndian(aiff.size() - 8, 4));
  infotest::WriteBytes(path, aiff);
}

TEST_F(AudioFormats, EncodedFilesOfOtherContainersTellTagsAndProperties) {
  const std::vector<TEncoded> cases{
      {"song.ogg", {"oggenc"}, "vorbis-tools",
       "oggenc --managed -b 128 -m 128 -M 128 -t Night -a Ann -l Blue -d 1999-05-01 -G Jazz -N 3 -c COMMENT=Live "
       "-o {out} {in}",
       "44,100 Hz", "Vorbis", "Vorbis comments", 0, "Average bitrate: "},
      // Opus streams are decoded at 48 kHz whatever the input's rate.
      {"song.opus", {"opusenc"}, "opus-tools",
       "opusenc --hard-cbr --bitrate 128 --title Night --artist Ann --album Blue --date 1999-05-01 --genre Jazz "
       "--comment TRACKNUMBER=3 --comment COMMENT=Live {in} {out}",
       "48,000 Hz", "Opus", "Vorbis comments", 0, "Wrote: ", 8.0 / 5000},
      {"song.aiff", {"sox"}, "sox", "sox {in} {out}", "44,100 Hz", "PCM", "ID3v2.4", 1411.2},
      {"song.m4a", {"gst-launch-1.0", "AtomicParsley"}, "gstreamer1.0-tools gstreamer1.0-libav atomicparsley",
       "gst-launch-1.0 -q filesrc location={in} ! wavparse ! audioconvert ! avenc_aac bitrate=128000 ! mp4mux ! "
       "filesink location={out} && AtomicParsley {out} --overWrite --title Night --artist Ann --album Blue "
       "--year 1999-05-01 --genre Jazz --tracknum 3 --comment Live",
       "44,100 Hz", "AAC", "MP4", 128},
  };
  const std::string input = Write("sine.wav", SineWav(5));
  const std::string output = dir.File("encoder.txt");
  const TStringList used{"1TIT=t", "1ART=a", "1ALB=b", "1YEA=y", "1GEN=g", "TDRC=d", "TRCK=n", "COMM=c",
                         "2SMP=s", "2CHN=c", "2COD=k", "2TAG=f", "2DUR=d"};
  std::string missing;
  for (const auto& encoded : cases) {
    SCOPED_TRACE(encoded.Name);
    if (!std::all_of(encoded.Tools.begin(), encoded.Tools.end(), ToolInstalled)) {
      missing += std::string(" ") + encoded.Packages;
      continue;
    }
    const std::string path = dir.File(encoded.Name);
    ASSERT_EQ(std::system(Substituted(encoded.Command + " >" + output + " 2>&1", input, path).c_str()), 0)
        << FileBytes(output);
    if (std::string(encoded.Codec) == "PCM") AppendId3Chunk(path);
    EXPECT_EQ(Row(path, used), (std::vector<std::string>{"Night", "Ann", "Blue", "1999", "Jazz", "1999-05-01", "3",
                                                         "Live", encoded.SampleRate, "Stereo", encoded.Codec,
                                                         encoded.TagFormat, "0:05"}));
    double bitrate = encoded.BitrateKbps;
    if (encoded.Reported != nullptr) {
      const std::string text = FileBytes(output);
      const auto at = text.find(encoded.Reported);
      ASSERT_NE(at, std::string::npos) << text;
      bitrate = std::atof(text.c_str() + at + std::string(encoded.Reported).size()) * encoded.Scale;
    }
    EXPECT_NEAR(GetSortNumber(path, "2DUR"), 5000, 50);
    EXPECT_NEAR(GetSortNumber(path, "2BIT"), bitrate, bitrate / 100);
  }
  if (!missing.empty()) GTEST_SKIP() << "encoders not installed (scripts/install-deps.sh installs them):" << missing;
}

}  // namespace

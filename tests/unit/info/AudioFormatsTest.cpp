// Tags and audio properties of the containers besides ID3-tagged MPEG, on files made here byte
// by byte: a FLAC stream with Vorbis comments and a WAV file with a RIFF INFO list.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdint>
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

}  // namespace

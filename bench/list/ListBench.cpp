// Times the file list's work on a corpus of tagged files, against TagLib reading the same
// files, and measures the memory of a long unbuilt list.
//
//   list_bench corpus FOLDER [COUNT]       writes COUNT (10000) tagged MP3 files into FOLDER
//   list_bench flac-corpus FOLDER [COUNT]  writes COUNT (10000) FLAC files with Vorbis comments
//   list_bench time FOLDER                 sort by 0NAM, 1TIT and 2DUR, 40 rows, TagLib peers;
//                                          median of 5
//   list_bench time-flac FOLDER            sort FLAC files by 1TIT, TagLib peer; median of 5
//   list_bench memory [ROWS]               RSS growth for ROWS (100000) listed, unbuilt rows

#include <taglib/fileref.h>
#include <taglib/flacfile.h>
#include <taglib/mpegfile.h>
#include <taglib/tag.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include <malloc.h>
#include <unistd.h>

#include "core/UnitGlobals.h"
#include "id3/ID3Engine.h"
#include "info/UnitFileFormat.h"
#include "info/UnitInfoValues.h"
#include "scan/UnitFileList.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

std::string SyncSafe(std::uint32_t value) {
  std::string out(4, '\0');
  for (int i = 3; i >= 0; --i) {
    out[static_cast<std::size_t>(i)] = static_cast<char>(value & 0x7FU);
    value >>= 7;
  }
  return out;
}

std::string TextFrame(const std::string& id, const std::string& text) {
  const std::string data = std::string(1, '\0') + text;
  return id + SyncSafe(static_cast<std::uint32_t>(data.size())) + std::string(2, '\0') + data;
}

// About 8 KB of MPEG-1 layer III frames (128 kbit/s, 44.1 kHz): 417 bytes each.
std::string AudioFrames() {
  std::string frame(417, '\0');
  frame[0] = '\xFF';
  frame[1] = '\xFB';
  frame[2] = '\x90';
  frame[3] = '\x64';
  std::string audio;
  for (int i = 0; i < 20; ++i) {
    audio += frame;
  }
  return audio;
}

int MakeCorpus(const std::string& folder, int count) {
  std::mt19937 random(12345);
  const std::string audio = AudioFrames();
  for (int i = 0; i < count; ++i) {
    const std::string dir = folder + "/artist " + std::to_string(i % 100) + "/album " +
                            std::to_string(i % 37);
    fs::create_directories(dir);
    const std::string title = "Title " + std::to_string(random() % 100000) + " of song " +
                              std::to_string(i);
    std::string body = TextFrame("TIT2", title) + TextFrame("TPE1", "Artist " + std::to_string(i % 100)) +
                       TextFrame("TALB", "Album " + std::to_string(i % 37)) +
                       TextFrame("TYER", std::to_string(1960 + i % 60)) +
                       TextFrame("TCON", "(17) Rock") + TextFrame("TRCK", std::to_string(i % 20 + 1));
    body.append(1024, '\0');
    const std::string tag = std::string("ID3\x04\x00\x00", 6) +
                            SyncSafe(static_cast<std::uint32_t>(body.size())) + body;
    std::ofstream out(dir + "/track " + std::to_string(i) + ".mp3", std::ios::binary);
    out << tag << audio;
  }
  std::printf("wrote %d files into %s\n", count, folder.c_str());
  return 0;
}

std::string BigEndian(std::uint64_t value, int bytes) {
  std::string out;
  for (int i = bytes - 1; i >= 0; --i) out += static_cast<char>((value >> (8 * i)) & 0xFFU);
  return out;
}

std::string LittleEndian(std::uint32_t value) {
  std::string out;
  for (int i = 0; i < 4; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFFU);
  return out;
}

// A small FLAC file: STREAMINFO (44.1 kHz stereo 16-bit), Vorbis comments, then about 6 KB
// standing in for a few frames of audio.
std::string FlacFile(int i, std::mt19937& random) {
  std::string info = BigEndian(4096, 2) + BigEndian(4096, 2) + BigEndian(14, 3) + BigEndian(2200, 3);
  const std::uint64_t samples = 44100ULL * (60 + random() % 300);
  info += BigEndian((std::uint64_t{44100} << 44) | (std::uint64_t{1} << 41) | (std::uint64_t{15} << 36) | samples, 8);
  info += std::string(16, '\x5A');
  const std::vector<std::string> comments = {
      "TITLE=Title " + std::to_string(random() % 100000) + " of song " + std::to_string(i),
      "ARTIST=Artist " + std::to_string(i % 100), "ALBUM=Album " + std::to_string(i % 37),
      "DATE=" + std::to_string(1960 + i % 60), "GENRE=Rock", "TRACKNUMBER=" + std::to_string(i % 20 + 1)};
  std::string vorbis = LittleEndian(13) + "bench encoder" + LittleEndian(static_cast<std::uint32_t>(comments.size()));
  for (const auto& comment : comments) vorbis += LittleEndian(static_cast<std::uint32_t>(comment.size())) + comment;
  std::string audio(6000, '\0');
  for (char& c : audio) c = static_cast<char>(random() & 0xFFU);
  audio[0] = '\xFF';
  audio[1] = '\xF8';
  return "fLaC" + std::string(1, '\0') + BigEndian(info.size(), 3) + info + std::string(1, '\x84') +
         BigEndian(vorbis.size(), 3) + vorbis + audio;
}

int MakeFlacCorpus(const std::string& folder, int count) {
  std::mt19937 random(54321);
  for (int i = 0; i < count; ++i) {
    const std::string dir = folder + "/artist " + std::to_string(i % 100) + "/album " + std::to_string(i % 37);
    fs::create_directories(dir);
    std::ofstream out(dir + "/track " + std::to_string(i) + ".flac", std::ios::binary);
    out << FlacFile(i, random);
  }
  std::printf("wrote %d files into %s\n", count, folder.c_str());
  return 0;
}

std::vector<std::string> CorpusFiles(const std::string& folder, const std::string& extension = ".mp3") {
  std::vector<std::string> files;
  for (const auto& entry : fs::recursive_directory_iterator(folder)) {
    if (entry.is_regular_file() && entry.path().extension() == extension) {
      files.push_back(entry.path().string());
    }
  }
  return files;
}

double Milliseconds(const std::function<void()>& work) {
  const auto start = Clock::now();
  work();
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double MedianOf5(const std::function<void()>& prepare, const std::function<void()>& work) {
  std::vector<double> times;
  for (int i = 0; i < 5; ++i) {
    prepare();
    times.push_back(Milliseconds(work));
  }
  std::sort(times.begin(), times.end());
  return times[2];
}

// The list as a scan would leave it, in an order no sort has seen.
void FillShuffled(TFoundFileList& list, const std::vector<std::string>& files, std::mt19937& random) {
  list.clear();
  for (const auto& file : files) list.push_back(TFoundFile{file, 0});
  std::shuffle(list.begin(), list.end(), random);
}

int TimeCorpus(const std::string& folder) {
  const std::vector<std::string> files = CorpusFiles(folder);
  if (files.empty()) {
    std::fprintf(stderr, "no .mp3 files in %s\n", folder.c_str());
    return 1;
  }
  // The default columns as they were before the audio properties: a list that does not show
  // them must not get slower. The duration sort adds that one column.
  TStringList used, unused;
  FillDefaultCatalogue(used, unused);
  std::erase_if(used, [](const std::string& line) { return IsAudioInfoCode(InfoCodeOf(line)); });
  const TStringList withDuration = {"0NAM=Name", "2DUR=Duration"};
  const TLocaleFormat& fmt = TLocaleFormat::English();
  TID3Engine engine;
  TFoundFileList list;
  TRowCache cache;
  std::mt19937 random(7);
  const auto shuffled = [&] { FillShuffled(list, files, random); };
  std::size_t sink = 0;
  const auto taglibPass = [&] {
    for (const auto& file : files) {
      TagLib::MPEG::File f(file.c_str(), false);
      sink += f.tag() != nullptr ? f.tag()->title().size() : 0;
    }
  };
  const auto durationPass = [&] {
    for (const auto& file : files) {
      TagLib::MPEG::File f(file.c_str(), true, TagLib::AudioProperties::Fast);
      sink += f.audioProperties() != nullptr ? static_cast<std::size_t>(f.audioProperties()->lengthInMilliseconds()) : 0;
    }
  };
  taglibPass();  // warms the page cache for both sides
  const double peer = MedianOf5([] {}, taglibPass);
  const double durationPeer = MedianOf5([] {}, durationPass);
  const double byName = MedianOf5(shuffled, [&] { SortFoundFiles(list, cache, engine, used, 0, true, fmt); });
  const double byTitle = MedianOf5(shuffled, [&] { SortFoundFiles(list, cache, engine, used, 8, true, fmt); });
  const double byDuration =
      MedianOf5(shuffled, [&] { SortFoundFiles(list, cache, engine, withDuration, 1, true, fmt); });
  const double rows = MedianOf5([&] { ResetRowCache(list, cache); }, [&] {
    for (std::size_t row = 0; row < 40; ++row) {
      EnsureRowBuilt(cache, list, row, engine, used, fmt);
    }
  });
  std::printf("files: %zu, used columns: %zu (sink %zu)\n", files.size(), used.size(), sink);
  std::printf("TagLib peer, read title of every file: %9.2f ms\n", peer);
  std::printf("SortFoundFiles by 0NAM:                %9.2f ms  ratio %.3f (goal < 0.1)\n", byName,
              byName / peer);
  std::printf("SortFoundFiles by 1TIT:                %9.2f ms  ratio %.3f (goal <= 1.0)\n", byTitle,
              byTitle / peer);
  std::printf("build 40 rows, %zu columns:            %9.2f ms\n", used.size(), rows);
  std::printf("TagLib peer, read duration of every file: %9.2f ms\n", durationPeer);
  std::printf("SortFoundFiles by 2DUR:                %9.2f ms  ratio %.3f (goal <= 1.0)\n", byDuration,
              byDuration / durationPeer);
  return 0;
}

int TimeFlacCorpus(const std::string& folder) {
  const std::vector<std::string> files = CorpusFiles(folder, ".flac");
  if (files.empty()) {
    std::fprintf(stderr, "no .flac files in %s\n", folder.c_str());
    return 1;
  }
  const TStringList used = {"0NAM=Name", "1TIT=Song Title"};
  const TLocaleFormat& fmt = TLocaleFormat::English();
  TID3Engine engine;
  TFoundFileList list;
  TRowCache cache;
  std::mt19937 random(7);
  const auto shuffled = [&] { FillShuffled(list, files, random); };
  std::size_t sink = 0;
  const auto taglibPass = [&] {
    for (const auto& file : files) {
      TagLib::FLAC::File f(file.c_str(), false);
      sink += f.tag() != nullptr ? f.tag()->title().size() : 0;
    }
  };
  taglibPass();
  const double peer = MedianOf5([] {}, taglibPass);
  const double byTitle = MedianOf5(shuffled, [&] { SortFoundFiles(list, cache, engine, used, 1, true, fmt); });
  std::printf("FLAC files: %zu (sink %zu)\n", files.size(), sink);
  std::printf("TagLib peer, read title of every file: %9.2f ms\n", peer);
  std::printf("SortFoundFiles by 1TIT:                %9.2f ms  ratio %.3f (goal <= 1.2)\n", byTitle,
              byTitle / peer);
  return 0;
}

long ResidentKilobytes() {
  long pages = 0;
  long resident = 0;
  if (FILE* f = std::fopen("/proc/self/statm", "r")) {
    if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) {
      resident = 0;
    }
    std::fclose(f);
  }
  return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

int MeasureMemory(std::size_t rows) {
  const long before = ResidentKilobytes();
  TFoundFileList list;
  TRowCache cache;
  for (std::size_t i = 0; i < rows; ++i) {
    // A typical music library path: about 70 bytes.
    list.push_back(TFoundFile{"/home/user/Music/Artist " + std::to_string(i % 500) + "/Album " +
                                  std::to_string(i % 50) + "/" + std::to_string(i % 20) +
                                  " - Song title number " + std::to_string(i) + ".mp3",
                              0});
  }
  const long filled = ResidentKilobytes();
  // As after a scan: the list is sorted by the first column, which also resets the cache.
  TID3Engine engine;
  SortFoundFiles(list, cache, engine, {"0NAM=Name"}, 0, true, TLocaleFormat::English());
  const long after = ResidentKilobytes();
  const auto heap = mallinfo2();
  std::printf("allocated: %.1f MB in the heap, %.1f MB in mapped blocks\n",
              static_cast<double>(heap.uordblks) / 1048576.0,
              static_cast<double>(heap.hblkhd) / 1048576.0);
  std::printf("FoundFileList as scanned: %.1f MB; sorted, with the unbuilt RowCache: +%.1f MB\n",
              static_cast<double>(filled - before) / 1024.0,
              static_cast<double>(after - filled) / 1024.0);
  std::printf("%zu rows (FoundFileList + unbuilt RowCache): %.1f MB above the idle size (goal < 30)\n",
              rows, static_cast<double>(after - before) / 1024.0);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  if (args.size() >= 2 && args[0] == "corpus") {
    return MakeCorpus(args[1], args.size() > 2 ? std::atoi(args[2].c_str()) : 10000);
  }
  if (args.size() >= 2 && args[0] == "flac-corpus") {
    return MakeFlacCorpus(args[1], args.size() > 2 ? std::atoi(args[2].c_str()) : 10000);
  }
  if (args.size() >= 2 && args[0] == "time-flac") {
    return TimeFlacCorpus(args[1]);
  }
  if (args.size() >= 2 && args[0] == "time") {
    return TimeCorpus(args[1]);
  }
  if (!args.empty() && args[0] == "memory") {
    return MeasureMemory(args.size() > 1 ? std::strtoul(args[1].c_str(), nullptr, 10) : 100000);
  }
  std::fprintf(stderr,
               "usage: list_bench corpus FOLDER [COUNT] | flac-corpus FOLDER [COUNT] | time FOLDER |"
               " time-flac FOLDER | memory [ROWS]\n");
  return 2;
}

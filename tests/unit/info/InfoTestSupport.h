#pragma once
// Scratch folders and small media files with hand-made tags for the info tests.

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "info/UnitFileFormat.h"

namespace infotest {

class TempFolder {
 public:
  TempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "svx-info-XXXXXX").string();
    const char* made = ::mkdtemp(pattern.data());
    path_ = made != nullptr ? made : pattern;
  }
  ~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  const std::string& Path() const { return path_; }
  std::string File(std::string_view name) const { return path_ + "/" + std::string(name); }

 private:
  std::string path_;
};

inline void WriteBytes(const std::string& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline std::string SyncSafe(std::uint32_t value) {
  std::string out(4, '\0');
  for (int i = 3; i >= 0; --i) {
    out[static_cast<std::size_t>(i)] = static_cast<char>(value & 0x7FU);
    value >>= 7;
  }
  return out;
}

// One version 4 frame: identifier, sync-safe size, two flag bytes, data.
inline std::string Frame(std::string_view id, std::string_view data, char flags2 = '\0') {
  std::string out(id);
  out += SyncSafe(static_cast<std::uint32_t>(data.size()));
  out += '\0';
  out += flags2;
  out += data;
  return out;
}

// A text frame in ISO-8859-1 (encoding byte 0).
inline std::string TextFrame(std::string_view id, std::string_view text) {
  return Frame(id, std::string(1, '\0') + std::string(text));
}

inline std::string Tag(const std::vector<std::string>& frames, std::size_t padding = 16) {
  std::string body;
  for (const auto& frame : frames) {
    body += frame;
  }
  body.append(padding, '\0');
  std::string out = "ID3";
  out += '\x04';
  out += '\0';
  out += '\0';
  out += SyncSafe(static_cast<std::uint32_t>(body.size()));
  return out + body;
}

// Some bytes of "audio" after the tag.
inline std::string Audio() { return std::string(512, '\xAA'); }

inline std::string Id3v1(std::string_view title, std::string_view artist, std::string_view album,
                         std::string_view year, std::string_view comment, unsigned char track,
                         unsigned char genre) {
  std::string out(128, '\0');
  auto put = [&out](std::size_t at, std::string_view text, std::size_t width) {
    out.replace(at, std::min(text.size(), width), text.substr(0, width));
  };
  put(0, "TAG", 3);
  put(3, title, 30);
  put(33, artist, 30);
  put(63, album, 30);
  put(93, year, 4);
  put(97, comment, 29);
  out[126] = static_cast<char>(track);
  out[127] = static_cast<char>(genre);
  return out;
}

// A file time for a local date and time (whatever the machine's time zone).
inline TFileTime LocalFileTime(int year, int month, int day, int hour, int minute, int second) {
  std::tm tm{};
  tm.tm_year = year - 1900;
  tm.tm_mon = month - 1;
  tm.tm_mday = day;
  tm.tm_hour = hour;
  tm.tm_min = minute;
  tm.tm_sec = second;
  tm.tm_isdst = -1;
  return FileTimeFromUnix(static_cast<std::int64_t>(std::mktime(&tm)));
}

}  // namespace infotest

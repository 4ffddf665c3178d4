#pragma once
// Builds tag bytes in code and writes them to files in a private temporary folder.

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include "id3/ID3Engine.h"

namespace id3test {

inline std::string SyncSafe(std::uint32_t value) {
  std::string out;
  for (int shift = 21; shift >= 0; shift -= 7) out.push_back(static_cast<char>((value >> shift) & 0x7F));
  return out;
}

inline std::string BigEndian(std::uint32_t value) {
  std::string out;
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<char>((value >> shift) & 0xFF));
  return out;
}

// A version 4 frame: size counts the data and any optional bytes given in extra.
inline std::string Frame4(std::string_view id, std::string_view data, unsigned char status = 0,
                          unsigned char format = 0, std::string_view extra = {}) {
  std::string out(id);
  out += SyncSafe(static_cast<std::uint32_t>(data.size() + extra.size()));
  out.push_back(static_cast<char>(status));
  out.push_back(static_cast<char>(format));
  out += extra;
  out += data;
  return out;
}

// A version 3 frame: plain 32-bit size.
inline std::string Frame3(std::string_view id, std::string_view data, unsigned char status = 0,
                          unsigned char format = 0, std::string_view extra = {}) {
  std::string out(id);
  out += BigEndian(static_cast<std::uint32_t>(data.size() + extra.size()));
  out.push_back(static_cast<char>(status));
  out.push_back(static_cast<char>(format));
  out += extra;
  out += data;
  return out;
}

// A version 2 frame: three-character identifier, 24-bit size, no flags.
inline std::string Frame2(std::string_view id, std::string_view data) {
  std::string out(id);
  out += BigEndian(static_cast<std::uint32_t>(data.size())).substr(1);
  out += data;
  return out;
}

// Header + body; the size field is the body's length unless given.
inline std::string Tag(unsigned char version, std::string_view body, unsigned char flags = 0,
                       std::int64_t size = -1) {
  std::string out = "ID3";
  out.push_back(static_cast<char>(version));
  out.push_back('\0');
  out.push_back(static_cast<char>(flags));
  out += SyncSafe(static_cast<std::uint32_t>(size < 0 ? static_cast<std::int64_t>(body.size()) : size));
  out += body;
  return out;
}

inline std::string Text(std::string_view text) { return std::string(1, '\0') + std::string(text); }

inline std::string Zlib(std::string_view data) {
  uLongf length = compressBound(static_cast<uLong>(data.size()));
  std::string out(length, '\0');
  compress2(reinterpret_cast<Bytef*>(out.data()), &length, reinterpret_cast<const Bytef*>(data.data()),
            static_cast<uLong>(data.size()), 9);
  out.resize(length);
  return out;
}

// Audio-like bytes: MPEG frame sync followed by a pattern.
inline std::string Audio(std::size_t size) {
  std::string out(size, '\0');
  for (std::size_t i = 0; i < size; ++i) out[i] = static_cast<char>((i * 7 + 3) & 0xFF);
  if (size >= 2) out[0] = '\xFF', out[1] = '\xFB';
  return out;
}

inline std::string Trailer(std::string_view title, std::string_view artist, std::string_view album,
                           std::string_view year, std::string_view comment, unsigned char track,
                           unsigned char genre) {
  std::string out(128, '\0');
  out.replace(0, 3, "TAG");
  out.replace(3, title.size(), title);
  out.replace(33, artist.size(), artist);
  out.replace(63, album.size(), album);
  out.replace(93, year.size(), year);
  out.replace(97, comment.size(), comment);
  out[126] = static_cast<char>(track);
  out[127] = static_cast<char>(genre);
  return out;
}

class TempFolderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (std::filesystem::temp_directory_path() / "id3testXXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    folder_ = pattern;
  }
  void TearDown() override { std::filesystem::remove_all(folder_); }

  std::string Write(std::string_view name, std::string_view bytes) {
    const std::string path = (folder_ / name).string();
    std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return path;
  }
  static std::string Read(const std::string& path) {
    std::string bytes(std::filesystem::file_size(path), '\0');
    std::ifstream(path, std::ios::binary).read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return bytes;
  }
  // Opens bytes in the engine (written to a file first).
  void Open(std::string_view bytes, bool fullSeek = false) {
    engine.SetActive(false);
    engine.SetFullID3TagSeek(fullSeek);
    engine.SetFileName(Write("file.mp3", bytes));
    engine.SetActive(true);
    ASSERT_TRUE(engine.Active());
  }

  std::filesystem::path folder_;
  TID3Engine engine;
};

// A scratch folder whose "tmp" subfolder is TMPDIR while the test runs, so the temporary files
// of the writers can be counted.
class TempDirFolderTest : public TempFolderTest {
 protected:
  void SetUp() override {
    TempFolderTest::SetUp();
    const char* old = std::getenv("TMPDIR");
    oldTmp_ = old ? old : "";
    hadTmp_ = old != nullptr;
    tempFolder_ = folder_ / "tmp";
    std::filesystem::create_directory(tempFolder_);
    ::setenv("TMPDIR", tempFolder_.c_str(), 1);
  }
  void TearDown() override {
    if (hadTmp_) ::setenv("TMPDIR", oldTmp_.c_str(), 1);
    else ::unsetenv("TMPDIR");
    TempFolderTest::TearDown();
  }

  std::filesystem::path tempFolder_;

 private:
  std::string oldTmp_;
  bool hadTmp_ = false;
};

}  // namespace id3test

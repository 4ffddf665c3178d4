// Temporary files, stream copies and the zlib round trip of compressed frames.

#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <utility>

#include "id3/ID3Engine.h"

namespace {

constexpr std::size_t BlockSize = 4096;
constexpr std::size_t InflateBlockSize = 1u << 20;

std::string TempFolder() {
  const char* folder = std::getenv("TMPDIR");
  std::string path = folder && *folder ? folder : "/tmp";
  if (path.back() != '/') path += '/';
  return path;
}

bool PathExists(const std::string& path) {
  struct stat info {};
  return ::lstat(path.c_str(), &info) == 0;
}

// Deletes the temporary file however the work on it ends.
class TTempFileGuard {
 public:
  explicit TTempFileGuard(std::string path) : path_(std::move(path)) {}
  ~TTempFileGuard() { ::unlink(path_.c_str()); }
  TTempFileGuard(const TTempFileGuard&) = delete;
  TTempFileGuard& operator=(const TTempFileGuard&) = delete;

 private:
  std::string path_;
};

// A frame's bytes spooled through a temporary file for the zlib round trip: the file takes the
// bytes, the caller's string is emptied to receive the result, and the file is deleted however
// the work ends.
class TSpooledData {
 public:
  explicit TSpooledData(std::string& data) : stream_(CreateTempFile(path_)), guard_(path_) {
    stream_.Write(data);
    stream_.Seek(0);
    data.clear();
  }
  std::size_t Read(char* buffer, std::size_t size) { return stream_.Read(buffer, size); }

 private:
  std::string path_;  // set by CreateTempFile before the members below are made
  TID3FileStream stream_;
  TTempFileGuard guard_;
};

std::string ZlibMessage(const z_stream& stream, int code) {
  if (stream.msg) return stream.msg;
  return "zlib error " + std::to_string(code);
}

}  // namespace

std::string MakeTempFileName() { return MakeTempFileName(TempFolder()); }

std::string MakeTempFileName(std::string folder) {
  if (folder.empty() || folder.back() != '/') folder += '/';
  static std::mt19937 generator(static_cast<std::mt19937::result_type>(
      std::chrono::system_clock::now().time_since_epoch().count()));
  std::uniform_int_distribution<unsigned long> number(0, 2147483646ul);
  for (;;) {
    char hex[16];
    std::snprintf(hex, sizeof hex, "%02lX", number(generator));
    std::string name = folder + "ID3TMP" + hex + ".tmp";
    if (!PathExists(name)) return name;
  }
}

TID3FileStream CreateTempFile(std::string& path) { return CreateTempFile(path, TempFolder(), 0600); }

TID3FileStream CreateTempFile(std::string& path, const std::string& folder, unsigned permissions) {
  for (int attempt = 0;; ++attempt) {
    path = MakeTempFileName(folder);
    try {
      return TID3FileStream::CreateNew(path, permissions);
    } catch (const EID3FileError&) {
      // Another process took the name between the test and the creation: draw again.
      if (attempt >= 100 || !PathExists(path)) throw;
    }
  }
}

void CopyStreamData(TID3FileStream& source, TID3FileStream& dest, std::int64_t count) {
  if (count == 0) {
    source.Seek(0);
    count = source.Size();
  }
  count = std::min(count, source.Remaining());
  char buffer[BlockSize];
  while (count > 0) {
    const std::size_t got = source.Read(buffer, static_cast<std::size_t>(std::min<std::int64_t>(count, BlockSize)));
    if (got == 0) break;
    dest.Write(buffer, got);
    count -= static_cast<std::int64_t>(got);
  }
}

void DecompressFrameData(std::string& data) { DecompressFrameData(data, MaxInflatedFrameSize, "16 MiB"); }

void DecompressFrameData(std::string& data, std::size_t limit, const std::string& limitText) {
  // Inflated straight from memory into the result: reading a tag needs no temporary file.
  const std::string packed = std::move(data);
  data.clear();
  z_stream stream{};
  if (inflateInit(&stream) != Z_OK) throw EID3DecompressionError("Cannot start decompressing frame data");
  std::size_t consumed = 0;
  std::size_t produced = 0;
  int code = Z_OK;
  try {
    while (code != Z_STREAM_END) {
      if (stream.avail_in == 0) {
        // zlib counts in 32-bit units; the input goes in blocks.
        const std::size_t next = std::min<std::size_t>(packed.size() - consumed, InflateBlockSize);
        if (next == 0) throw EID3DecompressionError("Compressed frame data is cut short");
        stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(packed.data() + consumed));
        stream.avail_in = static_cast<uInt>(next);
        consumed += next;
      }
      if (produced == data.size()) {
        // One byte beyond the limit tells a stream that exceeds it from one that ends there.
        if (produced > limit) throw EID3DecompressionError("Compressed frame data is damaged: it inflates beyond " + limitText);
        data.resize(std::min(limit + 1, std::max(produced * 2, BlockSize)));
      }
      stream.next_out = reinterpret_cast<Bytef*>(data.data() + produced);
      stream.avail_out = static_cast<uInt>(std::min<std::size_t>(data.size() - produced, InflateBlockSize));
      const uInt room = stream.avail_out;
      code = inflate(&stream, Z_NO_FLUSH);
      if (code != Z_OK && code != Z_STREAM_END && code != Z_BUF_ERROR)
        throw EID3DecompressionError("Compressed frame data is damaged: " + ZlibMessage(stream, code));
      produced += room - stream.avail_out;
    }
    if (produced > limit) throw EID3DecompressionError("Compressed frame data is damaged: it inflates beyond " + limitText);
  } catch (...) {
    inflateEnd(&stream);
    data.clear();
    throw;
  }
  inflateEnd(&stream);
  data.resize(produced);
}

void CompressFrameData(std::string& data) {
  TSpooledData temp(data);

  z_stream stream{};
  if (deflateInit(&stream, Z_BEST_COMPRESSION) != Z_OK) throw EID3Error("Cannot start compressing frame data");
  char input[BlockSize];
  char output[BlockSize];
  int flush = Z_NO_FLUSH;
  int code = Z_OK;
  do {
    if (stream.avail_in == 0 && flush == Z_NO_FLUSH) {
      const std::size_t got = temp.Read(input, BlockSize);
      stream.next_in = reinterpret_cast<Bytef*>(input);
      stream.avail_in = static_cast<uInt>(got);
      if (got == 0) flush = Z_FINISH;
    }
    stream.next_out = reinterpret_cast<Bytef*>(output);
    stream.avail_out = BlockSize;
    code = deflate(&stream, flush);
    data.append(output, BlockSize - stream.avail_out);
  } while (code != Z_STREAM_END && code != Z_STREAM_ERROR);
  deflateEnd(&stream);
  if (code != Z_STREAM_END) throw EID3Error("Cannot compress frame data");
}

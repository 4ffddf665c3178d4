#include "info/UnitMPEGProperties.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

namespace {

// Large enough for the longest frame (2,880 bytes) and the header of the one after it.
constexpr std::size_t WindowSize = 4096;
// Below this size the container reader takes its own paths for the trailing tags.
constexpr std::int64_t SmallestPlainFile = 1024;

std::uint32_t BigEndian32(const unsigned char* p) {
  return static_cast<std::uint32_t>(p[0]) << 24 | static_cast<std::uint32_t>(p[1]) << 16 |
         static_cast<std::uint32_t>(p[2]) << 8 | p[3];
}

bool IsFrameSync(unsigned char first, unsigned char second) {
  return first == 0xFF && second != 0xFF && (second & 0xE0) == 0xE0;
}

// One frame header. FrameLength is zero unless the header parsed completely.
struct TFrameHeader {
  int Layer = 0;
  int Bitrate = 0;  // kbps
  int SampleRate = 0;
  int SamplesPerFrame = 0;
  bool SingleChannel = false;
  int FrameLength = 0;
  bool Complete() const { return FrameLength > 0; }
};

TFrameHeader ParseHeader(const unsigned char* data) {
  static constexpr int Bitrates[2][3][16] = {
      {{0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448, 0},
       {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384, 0},
       {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 0}},
      {{0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256, 0},
       {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0},
       {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0}}};
  static constexpr int SampleRates[3][4] = {{44100, 48000, 32000, 0}, {22050, 24000, 16000, 0}, {11025, 12000, 8000, 0}};
  static constexpr int SamplesPerFrame[3][2] = {{384, 384}, {1152, 1152}, {1152, 576}};
  static constexpr int PaddingSize[3] = {4, 1, 1};

  TFrameHeader h;
  if (!IsFrameSync(data[0], data[1])) return h;
  const int versionBits = (data[1] >> 3) & 0x03;
  if (versionBits == 1) return h;
  const int version = versionBits == 3 ? 0 : versionBits == 2 ? 1 : 2;  // MPEG-1, 2, 2.5
  const int layerBits = (data[1] >> 1) & 0x03;
  if (layerBits == 0) return h;
  h.Layer = 4 - layerBits;
  const int versionIndex = version == 0 ? 0 : 1;
  const int layerIndex = h.Layer - 1;
  h.Bitrate = Bitrates[versionIndex][layerIndex][(data[2] >> 4) & 0x0F];
  if (h.Bitrate == 0) return h;
  h.SampleRate = SampleRates[version][(data[2] >> 2) & 0x03];
  if (h.SampleRate == 0) return h;
  h.SingleChannel = ((data[3] >> 6) & 0x03) == 3;
  h.SamplesPerFrame = SamplesPerFrame[layerIndex][versionIndex];
  h.FrameLength = h.SamplesPerFrame * h.Bitrate * 125 / h.SampleRate;
  if ((data[2] & 0x02) != 0) h.FrameLength += PaddingSize[layerIndex];
  return h;
}

struct TUnknown {};  // thrown when an answer needs bytes the windows do not hold

// Bytes of the file from Start. Bytes past the end of the file are known to be absent; bytes
// of the file outside the window are unknown, and a question about them makes the reader give up.
// Served straight from the stream's read window when it holds them (a small file is held whole).
class TWindow {
 public:
  TWindow(const TID3FileStream& file, std::int64_t start) : Start(start), FileSize(file.Size()) {
    const std::int64_t wanted = std::min<std::int64_t>(static_cast<std::int64_t>(WindowSize), FileSize - start);
    if (wanted <= 0) return;
    const auto count = static_cast<std::size_t>(wanted);
    if (const std::optional<std::string_view> loaded = file.Loaded(start, count)) {
      Bytes = *loaded;
      return;
    }
    owned_.resize(count);
    owned_.resize(file.ReadAt(start, owned_.data(), owned_.size()));
    Bytes = owned_;
    // A file that shrank since it was measured is not a plain case.
    if (owned_.size() != count) throw TUnknown();
  }
  TWindow(const TWindow&) = delete;
  TWindow& operator=(const TWindow&) = delete;

  std::int64_t End() const { return Start + static_cast<std::int64_t>(Bytes.size()); }
  bool Holds(std::int64_t pos, std::int64_t count) const { return pos >= Start && pos + count <= End(); }
  const unsigned char* At(std::int64_t pos) const {
    return reinterpret_cast<const unsigned char*>(Bytes.data()) + (pos - Start);
  }
  // The position of the first 0xFF byte in [from, to), or to when there is none.
  std::int64_t NextFF(std::int64_t from, std::int64_t to) const {
    const void* hit = std::memchr(At(from), 0xFF, static_cast<std::size_t>(to - from));
    return hit == nullptr ? to : from + (static_cast<const unsigned char*>(hit) - At(from));
  }
  // The position of the last 0xFF byte in [from, to), or from - 1 when there is none.
  std::int64_t PreviousFF(std::int64_t from, std::int64_t to) const {
    const auto count = static_cast<std::size_t>(to - from);
#ifdef __GLIBC__
    const void* hit = ::memrchr(At(from), 0xFF, count);
    return hit == nullptr ? from - 1 : from + (static_cast<const unsigned char*>(hit) - At(from));
#else
    const std::size_t hit = std::string_view(reinterpret_cast<const char*>(At(from)), count).rfind('\xFF');
    return hit == std::string_view::npos ? from - 1 : from + static_cast<std::int64_t>(hit);
#endif
  }

  const std::int64_t Start;
  const std::int64_t FileSize;
  std::string_view Bytes;

 private:
  std::string owned_;
};

// The four header bytes at pos; null when the file ends before them (the header is then not
// valid, as a short read is for the container reader).
const unsigned char* FourBytes(const TWindow& w, std::int64_t pos) {
  if (pos + 4 > w.FileSize) return nullptr;
  if (!w.Holds(pos, 4)) throw TUnknown();
  return w.At(pos);
}

// The header at pos when it is valid: complete, and followed right after the frame by a header
// of the same version, layer and sample rate.
std::optional<TFrameHeader> CheckedHeaderAt(const TWindow& w, std::int64_t pos) {
  const unsigned char* data = FourBytes(w, pos);
  if (data == nullptr) return std::nullopt;
  const TFrameHeader h = ParseHeader(data);
  if (!h.Complete()) return std::nullopt;
  const unsigned char* next = FourBytes(w, pos + h.FrameLength);
  if (next == nullptr) return std::nullopt;
  constexpr std::uint32_t HeaderMask = 0xfffe0c00;
  if ((BigEndian32(data) & HeaderMask) != (BigEndian32(next) & HeaderMask)) return std::nullopt;
  return h;
}

// The first valid frame at or after position; -1 when the file has none. Only a 0xFF byte can
// begin a frame, so the search skips from one to the next.
std::int64_t NextFrameOffset(const TWindow& w, std::int64_t position) {
  // The last place a sync can begin: both its bytes within the window and the file.
  const std::int64_t limit = std::min(w.End(), w.FileSize) - 1;
  for (std::int64_t j = position; j + 1 < w.FileSize; ++j) {
    if (!w.Holds(j, 2)) throw TUnknown();
    const std::int64_t ff = w.NextFF(j, limit);
    if (ff == limit) {
      j = limit - 1;  // none left: the next round, at the limit, finds the file or the window ended
      continue;
    }
    j = ff;
    if (IsFrameSync(*w.At(j), *w.At(j + 1)) && CheckedHeaderAt(w, j)) return j;
  }
  return -1;
}

// The end of the last valid frame whose sync bytes lie before position; -1 when there is none.
std::int64_t PreviousFrameEnd(const TWindow& w, std::int64_t position) {
  for (std::int64_t i = position - 2; i >= 0; --i) {
    if (!w.Holds(i, 2)) throw TUnknown();
    const std::int64_t ff = w.PreviousFF(w.Start, i + 1);
    if (ff < w.Start) {
      i = w.Start;  // none left: the next round finds the file or the window started
      continue;
    }
    i = ff;
    if (!IsFrameSync(*w.At(i), *w.At(i + 1))) continue;
    if (const auto h = CheckedHeaderAt(w, i)) return i + h->FrameLength;
  }
  return -1;
}

// Where the stream may start: after a leading ID3v2 tag (its declared size, plus the footer when
// flagged), or at 0 when the file starts with a valid frame.
std::int64_t StreamSearchStart(const TID3FileStream& file) {
  unsigned char head[10];
  if (file.ReadAt(0, head, sizeof head) != sizeof head) throw TUnknown();
  if (std::memcmp(head, "ID3", 3) != 0) {
    const TWindow w(file, 0);
    if (w.Bytes.size() < 2 || !CheckedHeaderAt(w, 0)) throw TUnknown();  // a tag further in
    return 0;
  }
  std::int64_t tagSize = 0;
  for (int i = 6; i < 10; ++i) {
    if (head[i] >= 0x80) return 10;  // a damaged size counts as an empty tag
    tagSize = tagSize << 7 | head[i];
  }
  const bool footer = (head[5] & 0x10) != 0;
  return tagSize + 10 + (footer ? 10 : 0);
}

// Where the frames end for the length of a constant bit rate stream: before an ID3v1 trailer,
// or the end of the file. An APE tag is left to the container reader.
std::int64_t StreamSearchEnd(const TWindow& tail) {
  const std::int64_t size = tail.FileSize;
  std::int64_t end = size;
  if (!tail.Holds(size - 131, 131)) throw TUnknown();
  const std::string_view marker(reinterpret_cast<const char*>(tail.At(size - 131)), 8);
  if (marker.substr(3, 3) == "TAG" && marker != "APETAGEX") end = size - 128;
  const std::int64_t apeFooter = end == size ? size - 32 : end - 32;
  if (!tail.Holds(apeFooter, 8)) throw TUnknown();
  if (std::memcmp(tail.At(apeFooter), "APETAGEX", 8) == 0) throw TUnknown();
  return end == size ? size : end - 1;
}

struct TVbrHeader {
  std::uint32_t Frames = 0;
  std::uint32_t Size = 0;
};

// A Xing or Info header anywhere in the first frame, else a VBRI header; none when incomplete.
std::optional<TVbrHeader> FindVbrHeader(std::string_view frame) {
  auto word = [&](std::size_t at) { return BigEndian32(reinterpret_cast<const unsigned char*>(frame.data()) + at); };
  TVbrHeader vbr;
  std::size_t at = frame.find("Xing");
  if (at == std::string_view::npos) at = frame.find("Info");
  if (at != std::string_view::npos) {
    if (frame.size() < at + 16 || (frame[at + 7] & 0x03) != 0x03) return std::nullopt;
    vbr.Frames = word(at + 8);
    vbr.Size = word(at + 12);
  } else {
    at = frame.find("VBRI");
    if (at == std::string_view::npos || frame.size() < at + 32) return std::nullopt;
    vbr.Frames = word(at + 14);
    vbr.Size = word(at + 10);
  }
  if (vbr.Frames == 0 || vbr.Size == 0) return std::nullopt;
  return vbr;
}

// The rounding of a double to the reader's int; values it could not hold are not a plain case.
int Rounded(double value) {
  if (!(value + 0.5 < static_cast<double>(std::numeric_limits<int>::max()))) throw TUnknown();
  return static_cast<int>(value + 0.5);
}

TAudioProperties Read(const TID3FileStream& file) {
  const std::int64_t fileSize = file.Size();
  TAudioProperties props;
  const std::int64_t searchStart = StreamSearchStart(file);
  const TWindow front(file, searchStart);
  // A second tag right after the first is taken as part of it by the container reader.
  if (front.Bytes.size() >= 10 && front.Bytes.starts_with("ID3")) throw TUnknown();
  const std::int64_t first = NextFrameOffset(front, searchStart);
  if (first < 0) return props;
  const TFrameHeader header = ParseHeader(front.At(first));

  const std::int64_t frameEnd = std::min<std::int64_t>(first + header.FrameLength, fileSize);
  if (!front.Holds(first, frameEnd - first)) throw TUnknown();
  const std::string_view frame(reinterpret_cast<const char*>(front.At(first)), static_cast<std::size_t>(frameEnd - first));
  if (const auto vbr = FindVbrHeader(frame)) {
    const double timePerFrame = header.SamplesPerFrame * 1000.0 / header.SampleRate;
    const double length = timePerFrame * vbr->Frames;
    props.LengthMs = Rounded(length);
    props.BitrateKbps = Rounded(vbr->Size * 8.0 / length);
  } else {
    props.BitrateKbps = header.Bitrate;
    const TWindow tail(file, std::max<std::int64_t>(0, fileSize - static_cast<std::int64_t>(WindowSize)));
    const std::int64_t last = PreviousFrameEnd(tail, StreamSearchEnd(tail));
    if (last >= 0) {
      const unsigned char* lastBytes = FourBytes(tail, last);
      const int lastLength = lastBytes != nullptr ? ParseHeader(lastBytes).FrameLength : 0;
      const std::int64_t streamLength = last - first + lastLength;
      if (streamLength > 0) props.LengthMs = Rounded(static_cast<double>(streamLength) * 8.0 / props.BitrateKbps);
    }
  }
  props.SampleRate = header.SampleRate;
  props.Channels = header.SingleChannel ? 1 : 2;
  props.Codec = "MP" + std::to_string(header.Layer);
  return props;
}

}  // namespace

std::optional<TAudioProperties> ReadMPEGProperties(const TID3FileStream& file) {
  if (file.Size() < SmallestPlainFile) return std::nullopt;
  try {
    return Read(file);
  } catch (const TUnknown&) {
    return std::nullopt;
  } catch (const std::exception&) {
    return std::nullopt;  // a failed read: the container reader tells what can be told
  }
}

std::optional<TAudioProperties> ReadMPEGFileProperties(const std::string& path) {
  try {
    return ReadMPEGProperties(TID3FileStream(path, TID3FileStream::TMode::Read));
  } catch (const std::exception&) {
    return std::nullopt;  // not there, not a regular file, or not readable
  }
}

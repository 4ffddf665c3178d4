// fuzz-seconds: 30
// The own reader of MPEG stream headers against the container reader: wherever the own reader
// gives properties, they must be exactly the container reader's.
#include <taglib/mpegfile.h>
#include <taglib/tdebuglistener.h>
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>

#include "info/UnitMPEGProperties.h"

namespace {

class TQuiet final : public TagLib::DebugListener {
 public:
  void printMessage(const TagLib::String&) override {}
};

std::string ScratchFile() {
  const char* folder = std::getenv("TMPDIR");
  return std::string(folder != nullptr ? folder : "/tmp") + "/mpeg-fuzz-" + std::to_string(::getpid()) + ".mp3";
}

// Frames of MPEG-1 layer III at 128 kbps and 44.1 kHz (417 bytes each): appended to an input
// when its first byte is odd, so that most runs reach a stream whatever the input put before it.
std::string Stream() {
  std::string frame("\xFF\xFB\x90\x64", 4);
  frame.resize(417, '\x55');
  std::string frames;
  for (int i = 0; i < 8; ++i) frames += frame;
  return frames;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static TQuiet quiet;
  static const bool installed = (TagLib::setDebugListener(&quiet), true);
  (void)installed;
  if (size == 0) return 0;
  std::string bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
  if ((data[0] & 1) != 0) bytes += Stream();
  const std::string path = ScratchFile();
  {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  }
  if (const auto own = ReadMPEGFileProperties(path)) {
    TagLib::MPEG::File file(path.c_str(), true);
    const TagLib::MPEG::Properties* p = file.audioProperties();
    if (p == nullptr) std::abort();
    const int layer = p->layer();
    const std::string codec = layer >= 1 && layer <= 3 ? "MP" + std::to_string(layer) : "";
    if (own->LengthMs != std::max(0, p->lengthInMilliseconds()) || own->BitrateKbps != std::max(0, p->bitrate()) ||
        own->SampleRate != std::max(0, p->sampleRate()) || own->Channels != std::max(0, p->channels()) ||
        own->BitsPerSample != 0 || own->Codec != codec) {
      std::abort();
    }
  }
  ::unlink(path.c_str());
  return 0;
}

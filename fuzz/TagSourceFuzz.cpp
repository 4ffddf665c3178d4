// fuzz-seconds: 30
// The tag sources of files that carry no ID3 tag: the container's tags mapped onto frames and
// its audio properties, from memory (container told by content) and from a file whose
// extension the first byte picks (container told by name), through the list's and the
// report's values.
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>
#include <unistd.h>

#include "core/UnitGlobals.h"
#include "id3/ID3Engine.h"
#include "info/UnitInfoValues.h"
#include "info/UnitTagLibSource.h"

namespace {

constexpr std::array<const char*, 16> Extensions = {"flac", "ogg", "oga", "opus", "spx", "m4a", "mp4", "wav",
                                                    "aif",  "ape", "wv",  "mpc",  "tta", "wma", "mp3", "aifc"};

std::string ScratchFile(const char* extension) {
  const char* folder = std::getenv("TMPDIR");
  return std::string(folder != nullptr ? folder : "/tmp") + "/tagsource-fuzz-" + std::to_string(::getpid()) + "." +
         extension;
}

void CheckSource(const TTagSource& source) {
  for (const auto& [id, text] : dynamic_cast<const TTagLibSource&>(source).Frames()) {
    if (id.size() != 4) std::abort();
    (void)text;
  }
  const TAudioProperties& props = source.AudioProperties();
  if (props.LengthMs < 0 || props.BitrateKbps < 0 || props.SampleRate < 0 || props.Channels < 0 ||
      props.BitsPerSample < 0) {
    std::abort();
  }
  (void)source.TagFormat();
  (void)source.BasicField("1YEA");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::string bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
  CheckSource(TTagLibSource::FromBytes(bytes));

  const std::string path = ScratchFile(Extensions[data[0] % Extensions.size()]);
  {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  }
  TStringList columns;
  for (const auto& line : InfoTypeCatalogue()) {
    if (line[0] != '0') columns.emplace_back(line);
  }
  TID3Engine engine;
  const auto row = GetRowValues(engine, path, columns, TLocaleFormat::English());
  if (row.size() != columns.size()) std::abort();
  for (const auto& value : row) {
    if (value.empty()) std::abort();
  }
  (void)GetReportValues(engine, path, columns, TLocaleFormat::English());
  ::unlink(path.c_str());
  return 0;
}

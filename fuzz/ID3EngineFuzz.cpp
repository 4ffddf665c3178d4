// fuzz-seconds: 60
// Opens arbitrary bytes as a file in the tag engine (plain and with the full tag seek), reads
// every frame's text, and rewrites and erases the tag on a scratch copy.

#include <fcntl.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "id3/ID3Engine.h"

namespace {

std::string ScratchFile(const char* name) {
  const char* folder = std::getenv("TMPDIR");
  return std::string(folder && *folder ? folder : "/tmp") + "/id3fuzz-" + std::to_string(::getpid()) + "-" + name;
}

// Removes the scratch files when the fuzzer ends.
struct TScratchFiles {
  std::string input = ScratchFile("input.mp3");
  std::string scratch = ScratchFile("scratch.mp3");
  ~TScratchFiles() {
    ::unlink(input.c_str());
    ::unlink(scratch.c_str());
  }
};

void WriteAll(const std::string& path, const std::uint8_t* data, std::size_t size) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  if (fd < 0) std::abort();
  for (std::size_t done = 0; done < size;) {
    const ssize_t put = ::write(fd, data + done, size - done);
    if (put <= 0) std::abort();
    done += static_cast<std::size_t>(put);
  }
  ::close(fd);
}

void ReadEverything(TID3Engine& engine) {
  (void)engine.Title(), (void)engine.Artist(), (void)engine.Album(), (void)engine.Year();
  (void)engine.Genre(), (void)engine.Track(), (void)engine.SubTitle(), (void)engine.EncodedBy();
  for (std::size_t i = 0; i < engine.Frames().Count(); ++i) {
    (void)engine.Frames()[i].AsText();
    (void)engine.Frames()[i].DisplayName();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const TScratchFiles files;
  const std::string& input = files.input;
  const std::string& scratch = files.scratch;
  WriteAll(input, data, size);

  TID3Engine engine;
  for (bool fullSeek : {false, true}) {
    engine.SetFullID3TagSeek(fullSeek);
    engine.SetFileName(input);
    try {
      engine.SetActive(true);
      ReadEverything(engine);
    } catch (const EID3Error&) {
    }
    engine.SetActive(false);
  }

  // The writers work on a copy; the input file is only ever read.
  WriteAll(scratch, data, size);
  engine.SetFileName(scratch);
  try {
    engine.SetActive(true);
    if (engine.Active()) {
      engine.SetTitle("fuzz");
      engine.WriteTag();
      engine.ReadTag();
      ReadEverything(engine);
      engine.EraseTag();
      engine.WriteID3v1Tag();
    }
  } catch (const EID3Error&) {
  }
  engine.SetActive(false);
  return 0;
}

// id3dump [--full-seek] FILE...: prints what the tag engine reads from each file, one
// TAB-separated record per line (see DumpID3File). Exit status 0 when every file was processed,
// 2 for a usage error.

#include <cstdio>
#include <cstring>
#include <string>

#include "id3/ID3Dump.h"
#include "id3/ID3Engine.h"

namespace {

int Usage() {
  std::fputs("usage: id3dump [--full-seek] FILE...\n", stderr);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  bool fullSeek = false;
  int first = 1;
  for (; first < argc && argv[first][0] == '-' && argv[first][1] != '\0'; ++first) {
    if (std::strcmp(argv[first], "--") == 0) {
      ++first;
      break;
    }
    if (std::strcmp(argv[first], "--full-seek") != 0) return Usage();
    fullSeek = true;
  }
  if (first >= argc) return Usage();

  static char buffer[1 << 16];
  std::setvbuf(stdout, buffer, _IOFBF, sizeof buffer);
  TID3Engine engine;
  engine.SetFullID3TagSeek(fullSeek);
  engine.SetWriteID3V1(false);
  for (int i = first; i < argc; ++i) {
    const std::string record = DumpID3File(engine, argv[i]);
    std::fwrite(record.data(), 1, record.size(), stdout);
  }
  return std::fflush(stdout) == 0 ? 0 : 1;
}

// Runs one file action the way the program does, for bench/actions/run.sh to time:
//   actions_bench destroy FILE        DestroyFile with a progress callback after every block
//   actions_bench copy FILE FOLDER    the copy service, progress after every chunk
// Exit status 0 on success.

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "actions/UnitBasicDestroy.h"
#include "shell/UnitFileOperation.h"

int main(int argc, char** argv) {
  if (argc == 3 && std::strcmp(argv[1], "destroy") == 0) {
    std::int64_t calls = 0;
    const bool ok = DestroyFile(argv[2], [&calls](std::int32_t, std::int32_t, bool&) { ++calls; });
    return ok && calls > 0 ? 0 : 1;
  }
  if (argc == 4 && std::strcmp(argv[1], "copy") == 0) {
    TFileOperationCallbacks callbacks;
    std::uint64_t done = 0;
    callbacks.Progress = [&done](const TFileOperationProgress& p) {
      done = p.TotalDone;
      return true;
    };
    const TFileOperationResult r = RunFileOperation(TFileOperationKind::Copy, {argv[2]}, argv[3], callbacks);
    return r.Done == 1 && done > 0 ? 0 : 1;
  }
  std::fprintf(stderr, "usage: actions_bench destroy FILE | copy FILE FOLDER\n");
  return 2;
}

// Tags made to exhaust memory: reading them fails early as damaged, within bounded memory, and
// reading needs no temporary folder.

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "ID3TestSupport.h"
#include "id3/ID3Dump.h"

using namespace id3test;

namespace {

struct TChildRead {
  std::string dump;
  long peakKilobytes = 0;
};

// Dumps the file in a child process, so that its peak memory is the reading's alone.
TChildRead DumpInChild(const std::string& path) {
  int pipeFds[2];
  if (::pipe(pipeFds) != 0) return {};
  const pid_t child = ::fork();
  if (child == 0) {
    ::close(pipeFds[0]);
    TID3Engine engine;
    const std::string dump = DumpID3File(engine, path);
    const bool written = ::write(pipeFds[1], dump.data(), dump.size()) == static_cast<ssize_t>(dump.size());
    ::_exit(written ? 0 : 1);
  }
  ::close(pipeFds[1]);
  TChildRead result;
  char buffer[4096];
  for (ssize_t got; (got = ::read(pipeFds[0], buffer, sizeof buffer)) > 0;)
    result.dump.append(buffer, static_cast<std::size_t>(got));
  ::close(pipeFds[0]);
  int status = 0;
  rusage usage{};
  ::wait4(child, &status, 0, &usage);
  result.peakKilobytes = usage.ru_maxrss;
  return result;
}

class ID3HostileTagTest : public TempFolderTest {
 protected:
  // A file of the given bytes followed by a hole up to size (no disk space taken).
  std::string Sparse(std::string_view name, const std::string& start, std::uint64_t size) {
    const std::string path = Write(name, start);
    std::filesystem::resize_file(path, size);
    return path;
  }
};

TEST_F(ID3HostileTagTest, OversizedTagsAreDamagedAndReadWithinBoundedMemory) {
  // 200 frames of 16 KB that each inflate to almost 16 MiB.
  const std::size_t inflated = MaxInflatedFrameSize - 1024;
  const std::string bomb = Frame4("PRIV", Zlib(std::string(inflated, '\0')), 0, 0x09, SyncSafe(inflated));
  std::string bombs;
  for (int i = 0; i < 200; ++i) bombs += bomb;
  const std::uint32_t v4Max = 0x0FFFFFFF;  // the largest tag size
  // Five frames of 60 MiB: each is allowed, together they exceed what a tag may hold.
  const std::uint64_t big = 60u << 20;
  const std::string five = Sparse("five.mp3", Tag(4, "", 0, v4Max), 10 + 5 * (10 + big));
  for (std::uint64_t i = 0; i < 5; ++i) {
    std::fstream file(five, std::ios::binary | std::ios::in | std::ios::out);
    file.seekp(static_cast<std::streamoff>(10 + i * (10 + big)));
    file << "TXXX" + SyncSafe(static_cast<std::uint32_t>(big)) + std::string(2, '\0');
  }

  struct TCase {
    const char* name;
    std::string path;
    const char* message;
    bool bounded;  // peak memory under 300 MB
  } cases[] = {
      {"compressed frames past 64 MiB together", Write("bombs.mp3", Tag(4, bombs)),
       "64 MiB all compressed frames of a tag may hold together", true},
      {"one frame claiming 4 GB", Sparse("sparse.mp3", Tag(3, "TIT2" + BigEndian(0xFFFFFF00u) + std::string(2, '\0'), 0, v4Max),
                                         0x100000000ull),
       "frame TIT2 holds more than 64 MiB", true},
      {"a 200 MB title", Sparse("title.mp3", Tag(4, "TIT2" + SyncSafe(200u << 20) + std::string(3, '\0'), 0, v4Max), 210u << 20),
       "frame TIT2 holds more than 64 MiB", true},
      {"frames past 256 MiB together", five, "its frames hold more than 256 MiB together", false},
  };
  for (const TCase& test : cases) {
    SCOPED_TRACE(test.name);
    const TChildRead read = DumpInChild(test.path);
    EXPECT_NE(read.dump.find("ERROR\t"), std::string::npos) << read.dump.substr(0, 300);
    EXPECT_NE(read.dump.find(test.message), std::string::npos) << read.dump.substr(0, 300);
#if !defined(__SANITIZE_ADDRESS__)
    if (test.bounded) {
      EXPECT_LT(read.peakKilobytes, 300 * 1024);
    }
#endif
  }
}

TEST_F(ID3HostileTagTest, CompressedFramesReadWithoutATemporaryFolder) {
  const char* old = std::getenv("TMPDIR");
  const std::string saved = old ? old : "";
  ::setenv("TMPDIR", (folder_ / "missing" / "folder").c_str(), 1);
  Open(Tag(4, Frame4("TIT2", Zlib(Text("Packed")), 0, 0x09, SyncSafe(7))));
  EXPECT_EQ(engine.Title(), "Packed");
  if (old) ::setenv("TMPDIR", saved.c_str(), 1);
  else ::unsetenv("TMPDIR");
}

}  // namespace

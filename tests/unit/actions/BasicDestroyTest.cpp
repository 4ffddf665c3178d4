// Secure destruction: the block shape, every refusal (nothing written), interruption, and the
// failures that must never be reported as success.

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

#include "actions/UnitBasicDestroy.h"

namespace fs = std::filesystem;

namespace {

using TCalls = std::vector<std::pair<int, int>>;

class BasicDestroyTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("destroy-test-" + std::to_string(::getpid()));
    fs::create_directories(dir_);
  }
  void TearDown() override {
    ResetDestroySystemCalls();
    fs::remove_all(dir_);
  }

  // A file of `size` bytes, every byte 0xA5.
  std::string Make(const char* name, std::size_t size) {
    const std::string path = (dir_ / name).string();
    std::ofstream(path, std::ios::binary) << std::string(size, '\xA5');
    return path;
  }
  static std::string Contents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::string text(static_cast<std::size_t>(fs::file_size(path)), '\0');
    in.read(text.data(), static_cast<std::streamsize>(text.size()));
    return text;
  }
  // Destroys with a recording callback; cancelAt stops after that block.
  static bool Destroy(const std::string& path, TCalls& calls, int cancelAt = 0, std::string* seen = nullptr) {
    return DestroyFile(path, [&](std::int32_t position, std::int32_t maximum, bool& cancel) {
      EXPECT_FALSE(cancel);
      calls.emplace_back(position, maximum);
      if (seen != nullptr && position == maximum) *seen = Contents(path);
      cancel = position == cancelAt;
    });
  }

  fs::path dir_;
};

TEST_F(BasicDestroyTest, WritesZeroBlocksReportsEachAndDeletes) {
  struct TCase {
    std::size_t size;
    TCalls calls;
  };
  const TCase cases[] = {
      {0, {{1, 1}}},
      {40000, {{1, 2}, {2, 2}}},
      {65536, {{1, 3}, {2, 3}, {3, 3}}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.size);
    const std::string path = Make("file.mp3", c.size);
    TCalls calls;
    std::string before;
    EXPECT_TRUE(Destroy(path, calls, 0, &before));
    EXPECT_EQ(calls, c.calls);
    EXPECT_EQ(before, std::string(c.size, '\0'));  // all zero, never grown, before the unlink
    EXPECT_FALSE(fs::exists(path));
  }
  // Without a callback every block is still written.
  const std::string path = Make("quiet.mp3", 100000);
  EXPECT_TRUE(DestroyFile(path));
  EXPECT_FALSE(fs::exists(path));
}

TEST_F(BasicDestroyTest, CancelAtFirstBlockLeavesTheRestAndTheFile) {
  const std::string path = Make("file.mp3", 100000);
  TCalls calls;
  EXPECT_FALSE(Destroy(path, calls, 1));
  EXPECT_EQ(calls, (TCalls{{1, 4}}));
  EXPECT_EQ(Contents(path), std::string(32768, '\0') + std::string(100000 - 32768, '\xA5'));
}

// Every refusal: false, no callback, not one byte changed, every name still there.
TEST_F(BasicDestroyTest, RefusesWithNothingWritten) {
  const std::string target = Make("target.mp3", 40000);
  const std::string untouched = Contents(target);
  struct TCase {
    const char* what;
    std::string path;
  };
  std::vector<TCase> cases;
  cases.push_back({"missing", (dir_ / "missing.mp3").string()});

  const std::string readOnly = Make("readonly.mp3", 40000);
  fs::permissions(readOnly, fs::perms::owner_write, fs::perm_options::remove);  // refused even for root
  cases.push_back({"read-only", readOnly});

  const std::string link = (dir_ / "link.mp3").string();
  fs::create_symlink(target, link);
  cases.push_back({"symbolic link", link});

  const std::string fifo = (dir_ / "fifo.mp3").string();
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  cases.push_back({"fifo", fifo});

  const std::string second = (dir_ / "second-name.mp3").string();
  fs::create_hard_link(target, second);
  cases.push_back({"hard link", second});

  for (const TCase& c : cases) {
    SCOPED_TRACE(c.what);
    TCalls calls;
    EXPECT_FALSE(Destroy(c.path, calls));
    EXPECT_TRUE(calls.empty());
  }
  EXPECT_EQ(Contents(target), untouched);
  EXPECT_EQ(Contents(second), untouched);
  EXPECT_EQ(Contents(readOnly), untouched);
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_TRUE(fs::is_fifo(fifo));
}

// A second open description of the file, here in this very process, makes the lease fail; with
// leases unavailable the look through the open descriptors finds it just the same.
TEST_F(BasicDestroyTest, RefusesAFileHeldOpen) {
  const std::string path = Make("held.mp3", 40000);
  const int other = ::open(path.c_str(), O_RDONLY);
  ASSERT_GE(other, 0);
  TCalls calls;
  EXPECT_FALSE(Destroy(path, calls));
  DestroySystemCalls().SetLease = [](int, int) {
    errno = EINVAL;
    return -1;
  };
  EXPECT_FALSE(Destroy(path, calls));
  EXPECT_TRUE(calls.empty());
  EXPECT_EQ(Contents(path), std::string(40000, '\xA5'));
  ::close(other);
  // The fallback alone lets a file nobody holds go.
  EXPECT_TRUE(Destroy(path, calls));
}

// A lease break arrives as SIGIO, whose default action would end the program; an open during
// the destruction (here by this very thread, as a repaint between blocks might) does not wait
// for the lease to time out.
TEST_F(BasicDestroyTest, LeaseBreakSignalIsHandled) {
  const std::string path = Make("file.mp3", 40000);
  const auto start = std::chrono::steady_clock::now();
  EXPECT_TRUE(DestroyFile(path, [&](std::int32_t, std::int32_t, bool&) { EXPECT_EQ(Contents(path).size(), 40000u); }));
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
  struct sigaction current {};
  ASSERT_EQ(::sigaction(SIGIO, nullptr, &current), 0);
  EXPECT_NE(current.sa_handler, SIG_DFL);
  EXPECT_EQ(::raise(SIGIO), 0);  // survives
}

// A failed sync, a failed or short write and a failed unlink are failures, never success; the
// file stays where it was.
TEST_F(BasicDestroyTest, FailuresOfTheSystemLeaveTheFile) {
  using TSetup = void (*)();
  const std::pair<const char*, TSetup> cases[] = {
      {"sync", [] { DestroySystemCalls().Sync = [](int) { errno = EIO; return -1; }; }},
      {"write", [] { DestroySystemCalls().Write = [](int, const void*, size_t) -> ssize_t { errno = ENOSPC; return -1; }; }},
      {"short write", [] { DestroySystemCalls().Write = [](int fd, const void* b, size_t n) { return ::write(fd, b, n / 2); }; }},
      {"unlink", [] { DestroySystemCalls().Unlink = [](const char*) { errno = EBUSY; return -1; }; }},
  };
  for (const auto& [what, setup] : cases) {
    SCOPED_TRACE(what);
    const std::string path = Make("file.mp3", 40000);
    setup();
    EXPECT_FALSE(DestroyFile(path));
    EXPECT_TRUE(fs::exists(path));
    ResetDestroySystemCalls();
  }
}

TEST_F(BasicDestroyTest, BlockCountsUseTheWholeSize) {
  const std::pair<std::uint64_t, std::uint64_t> cases[] = {
      {0, 1}, {32767, 1}, {32768, 2}, {40000, 2}, {65536, 3}, {4294967296ULL, 131073}, {4294967297ULL, 131073}};
  for (const auto& [size, blocks] : cases) EXPECT_EQ(DestroyBlockCount(size), blocks) << size;
}

// A file of 4 GiB and more (sparse here; the writes are counted, not made) is written to its
// last byte, not to the low 32 bits of its size.
TEST_F(BasicDestroyTest, FilesOf4GiBAndMoreAreWrittenWhole) {
  const std::string path = (dir_ / "big.wav").string();
  const std::uint64_t size = 4294967296ULL + 7;
  {
    const int fd = ::open(path.c_str(), O_CREAT | O_WRONLY, 0600);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::ftruncate(fd, static_cast<off_t>(size)), 0);
    ::close(fd);
  }
  static std::uint64_t written;
  written = 0;
  DestroySystemCalls().Write = [](int, const void*, size_t n) {
    written += n;
    return static_cast<ssize_t>(n);
  };
  std::pair<int, int> last;
  EXPECT_TRUE(DestroyFile(path, [&](std::int32_t p, std::int32_t m, bool&) { last = {p, m}; }));
  EXPECT_EQ(written, size);
  EXPECT_EQ(last, (std::pair<int, int>(131073, 131073)));
}

}  // namespace

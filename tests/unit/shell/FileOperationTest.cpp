// Copy and move into a folder: conflict answers, cancel and errors never lose a file, copies of a
// file onto itself, times kept, links, and a move across file systems.

#include <gtest/gtest.h>

#include <algorithm>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "shell/UnitFileOperation.h"

namespace fs = std::filesystem;

namespace {

using TKind = TFileOperationKind;

std::string Read(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::string text(static_cast<std::size_t>(fs::file_size(path)), '\0');
  in.read(text.data(), static_cast<std::streamsize>(text.size()));
  return text;
}

void Write(const fs::path& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

// Names in a folder, temporary files included (none may be left behind).
std::vector<std::string> Names(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(folder)) names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

class FileOperationTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = fs::path(SONARVEX_PROGRAM_DIR).parent_path() / ("fileop-test-" + std::to_string(::getpid()));
    fs::create_directories(src_ = root_ / "src");
    fs::create_directories(dst_ = root_ / "dst");
  }
  void TearDown() override {
    fs::remove_all(root_);
    if (!shm_.empty()) fs::remove_all(shm_);
  }
  std::vector<std::string> Sources(std::initializer_list<const char*> names) const {
    std::vector<std::string> paths;
    for (const char* n : names) paths.push_back((src_ / n).string());
    return paths;
  }

  fs::path root_, src_, dst_, shm_;
};

TEST_F(FileOperationTest, ConflictAnswersReplaceOrKeepEachFile) {
  struct TCase {
    TKind kind;
    std::vector<TConflictChoice> answers;
    const char* kept;  // per file: 'n' new contents in place, 'o' old kept
    std::size_t asked;
    bool cancelled;
  };
  using C = TConflictChoice;
  const TCase cases[] = {
      {TKind::Copy, {C::Replace, C::Skip, C::Replace}, "non", 3, false},
      {TKind::Copy, {C::ReplaceAll}, "nnn", 1, false},
      {TKind::Copy, {C::SkipAll}, "ooo", 1, false},
      {TKind::Copy, {C::Skip, C::Cancel}, "ooo", 2, true},
      {TKind::Move, {C::Replace, C::Skip, C::Cancel}, "noo", 3, true},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(static_cast<int>(&c - cases));
    for (const char* n : {"a.mp3", "b.mp3", "c.mp3"}) {
      Write(src_ / n, std::string("new ") + n);
      Write(dst_ / n, std::string("old ") + n);
    }
    std::size_t asked = 0;
    TFileOperationCallbacks callbacks;
    callbacks.Conflict = [&](const std::string&, const std::string&) { return c.answers.at(asked++); };
    const TFileOperationResult r = RunFileOperation(c.kind, Sources({"a.mp3", "b.mp3", "c.mp3"}), dst_, callbacks);
    EXPECT_EQ(asked, c.asked);
    EXPECT_EQ(r.Cancelled, c.cancelled);
    int i = 0;
    for (const char* n : {"a.mp3", "b.mp3", "c.mp3"}) {
      const bool replaced = c.kept[i++] == 'n';
      EXPECT_EQ(Read(dst_ / n), (replaced ? "new " : "old ") + std::string(n)) << n;
      // A source is gone only when it was moved into place.
      EXPECT_EQ(fs::exists(src_ / n), !(replaced && c.kind == TKind::Move)) << n;
    }
    EXPECT_EQ(Names(dst_), (std::vector<std::string>{"a.mp3", "b.mp3", "c.mp3"}));
  }
}

TEST_F(FileOperationTest, CopyOntoItselfMakesNumberedCopiesKeepingTimes) {
  const fs::path song = src_ / "song.mp3";
  Write(song, "tune");
  struct timespec times[2] = {{1000000000, 0}, {1200000000, 500}};
  ASSERT_EQ(::utimensat(AT_FDCWD, song.c_str(), times, 0), 0);
  ::chmod(song.c_str(), 0640);
  for (int i = 0; i < 2; ++i) EXPECT_EQ(RunFileOperation(TKind::Copy, {song.string()}, src_, {}).Done, 1u);
  EXPECT_EQ(Names(src_), (std::vector<std::string>{"song (copy 2).mp3", "song (copy).mp3", "song.mp3"}));
  struct stat st {};
  ASSERT_EQ(::stat((src_ / "song (copy).mp3").c_str(), &st), 0);
  EXPECT_EQ(st.st_mtim.tv_sec, 1200000000);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
  EXPECT_EQ(Read(src_ / "song (copy 2).mp3"), "tune");
  // Moving a file into its own folder leaves it alone.
  EXPECT_EQ(RunFileOperation(TKind::Move, {song.string()}, src_, {}).Done, 1u);
  EXPECT_EQ(Read(song), "tune");

  const std::pair<const char*, const char*> names[] = {
      {"a.b.mp3", "a.b (copy).mp3"}, {"noext", "noext (copy)"}, {".hidden", ".hidden (copy)"}};
  for (const auto& [name, copy] : names) EXPECT_EQ(CopyOfName(name, 1), copy);
  EXPECT_EQ(CopyOfName("x.mp3", 3), "x (copy 3).mp3");
}

// A cancel in the middle of a file, and an error answered with Retry, Skip or Cancel: no source
// lost, no half-written or temporary file left.
TEST_F(FileOperationTest, CancelAndErrorsLoseNothing) {
  const std::string big(20u << 20, 'x');
  Write(src_ / "big.wav", big);
  int calls = 0;
  TFileOperationCallbacks cancelling;
  cancelling.Progress = [&](const TFileOperationProgress&) { return ++calls < 2; };
  EXPECT_TRUE(RunFileOperation(TKind::Copy, Sources({"big.wav"}), dst_.string(), cancelling).Cancelled);
  EXPECT_TRUE(Names(dst_).empty());
  EXPECT_EQ(fs::file_size(src_ / "big.wav"), big.size());
  // The target folder is missing: Retry after making it succeeds; Skip goes on with the next.
  Write(src_ / "a.mp3", "a");
  std::vector<std::string> messages;
  TFileOperationCallbacks callbacks;
  callbacks.Error = [&](const std::string&, const std::string& message) {
    messages.push_back(message);
    if (messages.size() == 1) return TErrorChoice::Skip;
    fs::create_directories(dst_ / "later");
    return TErrorChoice::Retry;
  };
  const auto r = RunFileOperation(TKind::Move, Sources({"gone.mp3", "a.mp3"}), (dst_ / "later").string(), callbacks);
  EXPECT_EQ(r.Done, 1u);
  EXPECT_EQ(r.Skipped, 1u);
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_NE(messages[0].find("gone.mp3"), std::string::npos);
  EXPECT_EQ(Read(dst_ / "later" / "a.mp3"), "a");
}

// A link is copied as the file it points to and moved as the link itself.
TEST_F(FileOperationTest, LinksAreCopiedAsFilesAndMovedAsLinks) {
  Write(root_ / "real.mp3", "real");
  fs::create_symlink(root_ / "real.mp3", src_ / "link.mp3");
  RunFileOperation(TKind::Copy, Sources({"link.mp3"}), dst_, {});
  EXPECT_FALSE(fs::is_symlink(dst_ / "link.mp3"));
  EXPECT_EQ(Read(dst_ / "link.mp3"), "real");
  fs::remove(dst_ / "link.mp3");
  RunFileOperation(TKind::Move, Sources({"link.mp3"}), dst_, {});
  EXPECT_TRUE(fs::is_symlink(dst_ / "link.mp3"));
  EXPECT_FALSE(fs::exists(fs::symlink_status(src_ / "link.mp3")));
  EXPECT_EQ(Read(root_ / "real.mp3"), "real");
}

// /dev/shm against the build folder: copy, sync and size check, then the source goes; a link
// crosses as a link.
TEST_F(FileOperationTest, MoveAcrossFileSystems) {
  struct stat a {}, b {};
  if (::stat("/dev/shm", &a) != 0 || ::stat(root_.c_str(), &b) != 0 || a.st_dev == b.st_dev)
    GTEST_SKIP() << "needs /dev/shm on another file system than the build folder";
  shm_ = fs::path("/dev/shm") / ("fileop-test-" + std::to_string(::getpid()));
  fs::create_directories(shm_);
  const std::string data(3u << 20, 'm');
  Write(shm_ / "far.mp3", data);
  struct timespec times[2] = {{1000000000, 0}, {1300000000, 0}};
  ::utimensat(AT_FDCWD, (shm_ / "far.mp3").c_str(), times, 0);
  fs::create_symlink("far.mp3", shm_ / "near.mp3");
  // Cancelled after the first chunk: the source stays whole, nothing is left in the target.
  TFileOperationCallbacks cancelling;
  cancelling.Progress = [](const TFileOperationProgress& p) { return p.FileDone == 0; };
  EXPECT_TRUE(RunFileOperation(TKind::Move, {(shm_ / "far.mp3").string()}, dst_, cancelling).Cancelled);
  EXPECT_TRUE(Names(dst_).empty());
  EXPECT_EQ(Read(shm_ / "far.mp3"), data);
  const auto r = RunFileOperation(TKind::Move, {(shm_ / "far.mp3").string(), (shm_ / "near.mp3").string()}, dst_, {});
  EXPECT_EQ(r.Done, 2u);
  EXPECT_TRUE(Names(shm_).empty());
  EXPECT_EQ(Read(dst_ / "far.mp3"), data);
  EXPECT_EQ(fs::read_symlink(dst_ / "near.mp3"), "far.mp3");
  struct stat st {};
  ::stat((dst_ / "far.mp3").c_str(), &st);
  EXPECT_EQ(st.st_mtim.tv_sec, 1300000000);
  EXPECT_EQ(Names(dst_), (std::vector<std::string>{"far.mp3", "near.mp3"}));
}

}  // namespace

#include "scan/UnitScan.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace fs = std::filesystem;

namespace {

const std::string Mp3 = "\".MP3\"";

class TempTree {
 public:
  TempTree() {
    std::string pattern = (fs::temp_directory_path() / "svx-scan-XXXXXX").string();
    root_ = ::mkdtemp(pattern.data());
  }
  ~TempTree() {
    std::error_code ignored;
    fs::permissions(root_, fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::remove_all(root_, ignored);
  }
  const std::string& Root() const { return root_; }
  std::string Path(const std::string& relative) const { return root_ + "/" + relative; }
  void File(const std::string& relative) const {
    fs::create_directories(fs::path(Path(relative)).parent_path());
    std::ofstream(Path(relative)) << "x";
  }
  void Folder(const std::string& relative) const { fs::create_directories(Path(relative)); }
  void Link(const std::string& target, const std::string& relative) const {
    fs::create_symlink(target, Path(relative));
  }

 private:
  std::string root_;
};

std::vector<std::string> Paths(const TFoundFileList& list) {
  std::vector<std::string> paths;
  for (const auto& f : list) paths.push_back(f.Path);
  return paths;
}

// Names of a folder in the order the file system lists them.
std::vector<std::string> ListingOrder(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(folder)) names.push_back(e.path().filename().string());
  return names;
}

struct TProgressCall {
  std::string Folder;
  std::string Entry;
  bool operator==(const TProgressCall&) const = default;
};

class ScanWalk : public ::testing::Test {
 protected:
  void SetUp() override { ScanCancelRequested = false; }
  void TearDown() override { ScanCancelRequested = false; }
  TScanProgressEvent Recorder() {
    return [this](const std::string& folder, const std::string& entry) {
      calls_.push_back({folder, entry});
    };
  }
  TempTree tree_;
  TFoundFileList found_;
  std::vector<TProgressCall> calls_;
};

}  // namespace

TEST(MatchesScanFilter, ExtensionIsFromTheLastDotAndWholeItemOnly) {
  EXPECT_TRUE(MatchesScanFilter("Song.Mp3", Mp3));
  EXPECT_TRUE(MatchesScanFilter("song.mp3", Mp3));
  EXPECT_TRUE(MatchesScanFilter(".mp3", Mp3)) << "a name that begins with its only dot is all extension";
  EXPECT_TRUE(MatchesScanFilter("a.b.mp3", Mp3));
  EXPECT_FALSE(MatchesScanFilter("mp3", Mp3));
  EXPECT_FALSE(MatchesScanFilter("a.mp3.bak", Mp3));
  EXPECT_TRUE(MatchesScanFilter("a.mp3.bak", "\".MP3\",\".BAK\""));
  EXPECT_FALSE(MatchesScanFilter("a.", Mp3));
  EXPECT_FALSE(MatchesScanFilter("a.mp", Mp3));
  EXPECT_FALSE(MatchesScanFilter("a.mp3 ", Mp3));
  EXPECT_FALSE(MatchesScanFilter("a.mp3", ""));
}

TEST(MatchesScanFilter, NeighbouringItemsDoNotMatchPartially) {
  EXPECT_TRUE(MatchesScanFilter("a.mp3", "\".MP3X\",\".MP3\""));
  EXPECT_FALSE(MatchesScanFilter("a.mp3", "\".MP3X\""));
  EXPECT_FALSE(MatchesScanFilter("a.mp3", "\".XMP3\""));
  EXPECT_FALSE(MatchesScanFilter("a.mp3x", "\".MP3\",\".X\""));
  EXPECT_TRUE(MatchesScanFilter("a.wav", "\".MP3\",\".WAV\""));
  EXPECT_FALSE(MatchesScanFilter("a.MP3\"", Mp3)) << "a quote in the name must not close the item";
  EXPECT_FALSE(MatchesScanFilter("a.MP3\",\"", "\".MP3\",\".WAV\""));
}

TEST(MatchesScanFilter, UpperCasesAsciiLettersOnly) {
  EXPECT_TRUE(MatchesScanFilter("a.\xE9z", "\".\xE9Z\""));
  EXPECT_FALSE(MatchesScanFilter("a.\xE9z", "\".\xC9Z\""));
  EXPECT_TRUE(MatchesScanFilter("\xFF\xFE.mp3", Mp3));
}

TEST_F(ScanWalk, FlatWalkFindsOwnFilesInListingOrderAndNeverEntersSubfolders) {
  for (const char* name : {"a.mp3", "B.MP3", "c.txt", ".hidden.mp3", "d.mp3.bak", "mp3", "e.Mp3"})
    tree_.File(name);
  tree_.File("sub/x.mp3");
  tree_.Folder("folder.mp3");
  ListMatchingFiles(found_, tree_.Root(), Mp3, Recorder());

  std::vector<std::string> expected;
  std::vector<TProgressCall> expectedCalls;
  for (const auto& name : ListingOrder(tree_.Root())) {
    if (name != "sub" && name != "folder.mp3" && MatchesScanFilter(name, Mp3))
      expected.push_back(tree_.Path(name));
    expectedCalls.push_back({tree_.Root(), tree_.Path(name)});
  }
  EXPECT_EQ(expected.size(), 4u);  // a, B, .hidden, e
  EXPECT_EQ(Paths(found_), expected);
  EXPECT_EQ(calls_, expectedCalls) << "every entry, subfolders included, is reported once";
  for (const auto& f : found_) EXPECT_EQ(f.Checked, 0);
}

TEST_F(ScanWalk, AppendsWithoutClearingAndRunsWithoutProgress) {
  tree_.File("a.mp3");
  found_.push_back({"/earlier.mp3", 1});
  ListMatchingFiles(found_, tree_.Root(), Mp3, nullptr);
  ListMatchingFilesRecursive(found_, tree_.Root(), Mp3, nullptr);
  EXPECT_EQ(Paths(found_), (std::vector<std::string>{"/earlier.mp3", tree_.Path("a.mp3"), tree_.Path("a.mp3")}));
  EXPECT_EQ(found_[0].Checked, 1);
}

TEST_F(ScanWalk, RecursiveWalkListsOwnFilesFirstThenSubfoldersDepthFirst) {
  for (const char* name : {"r1.mp3", "r2.mp3", "A/a1.mp3", "A/a2.mp3", "A/AA/aa.mp3", "A/AB/ab.mp3", "B/b.mp3",
                           "B/skip.txt", "C/.hidden/h.MP3"})
    tree_.File(name);
  ListMatchingFilesRecursive(found_, tree_.Root(), Mp3, Recorder());

  // Reference order built from the listings: a folder's own files, then each subfolder in turn.
  std::vector<std::string> expected;
  std::vector<std::string> enteredExpected;
  std::function<void(const std::string&)> walk = [&](const std::string& folder) {
    enteredExpected.push_back(folder);
    std::vector<std::string> subs;
    for (const auto& name : ListingOrder(folder)) {
      if (fs::is_directory(folder + "/" + name)) subs.push_back(folder + "/" + name);
      else if (MatchesScanFilter(name, Mp3)) expected.push_back(folder + "/" + name);
    }
    for (const auto& s : subs) walk(s);
  };
  walk(tree_.Root());
  EXPECT_EQ(Paths(found_), expected);
  EXPECT_EQ(found_.size(), 8u);

  std::vector<std::string> entered;
  for (const auto& c : calls_)
    if (c.Entry.empty()) entered.push_back(c.Folder);
  EXPECT_EQ(entered, enteredExpected) << "one empty-entry call per folder, when it is entered";
  EXPECT_EQ(calls_.front(), (TProgressCall{tree_.Root(), ""}));
}

TEST_F(ScanWalk, TrailingSeparatorGivesTheSamePaths) {
  tree_.File("a.mp3");
  tree_.File("sub/b.mp3");
  TFoundFileList withSlash;
  ListMatchingFilesRecursive(found_, tree_.Root(), Mp3, nullptr);
  ListMatchingFilesRecursive(withSlash, tree_.Root() + "/", Mp3, nullptr);
  EXPECT_EQ(Paths(found_), Paths(withSlash));
  ASSERT_EQ(found_.size(), 2u);
  for (const auto& f : withSlash) EXPECT_EQ(f.Path.find("//"), std::string::npos) << f.Path;
}

TEST_F(ScanWalk, NonUtf8NamesAreKeptByteExact) {
  const std::string name = "caf\xE9-\xFF.mp3";
  tree_.File(name);
  tree_.File("d\xE9/inner.mp3");
  ListMatchingFilesRecursive(found_, tree_.Root(), Mp3, nullptr);
  std::vector<std::string> paths = Paths(found_);
  std::sort(paths.begin(), paths.end());
  EXPECT_EQ(paths, (std::vector<std::string>{tree_.Path(name), tree_.Path("d\xE9/inner.mp3")}));
}

TEST_F(ScanWalk, BadFoldersYieldNothingAndNoError) {
  tree_.File("plain.mp3");
  for (const std::string& folder : {std::string(), tree_.Path("missing"), tree_.Path("plain.mp3")}) {
    TFoundFileList list;
    calls_.clear();
    ListMatchingFiles(list, folder, Mp3, Recorder());
    EXPECT_TRUE(list.empty()) << folder;
    EXPECT_TRUE(calls_.empty()) << folder;
    ListMatchingFilesRecursive(list, folder, Mp3, Recorder());
    EXPECT_TRUE(list.empty()) << folder;
    EXPECT_EQ(calls_.size(), 1u) << "only the call for entering the folder";
  }
}

TEST_F(ScanWalk, UnreadableSubfolderIsSkippedSilently) {
  if (::geteuid() == 0) GTEST_SKIP() << "permissions do not bind root";
  tree_.File("locked/x.mp3");
  tree_.File("open/y.mp3");
  ::chmod(tree_.Path("locked").c_str(), 0);
  ListMatchingFilesRecursive(found_, tree_.Root(), Mp3, nullptr);
  ::chmod(tree_.Path("locked").c_str(), 0700);
  EXPECT_EQ(Paths(found_), (std::vector<std::string>{tree_.Path("open/y.mp3")}));
}

// A chain of folders deeper than the longest path the system opens, made and removed through
// folder handles: a folder that cannot be listed even by root.
class TooDeepChain {
 public:
  TooDeepChain(const std::string& parent, int levels) : parent_(parent), levels_(levels) {
    int fd = ::open(parent.c_str(), O_RDONLY | O_DIRECTORY);
    for (int i = 0; i < levels_ && fd >= 0; ++i) {
      ::mkdirat(fd, Name().c_str(), 0700);
      const int next = ::openat(fd, Name().c_str(), O_RDONLY | O_DIRECTORY);
      ::close(fd);
      fd = next;
    }
    if (fd >= 0) {
      const int file = ::openat(fd, "deep.mp3", O_CREAT | O_WRONLY, 0600);
      created_ = file >= 0;
      if (file >= 0) ::close(file);
      ::close(fd);
    }
  }
  bool Created() const { return created_; }
  ~TooDeepChain() { Remove(::open(parent_.c_str(), O_RDONLY | O_DIRECTORY), 0); }
  static std::string Name() { return std::string(250, 'd'); }

 private:
  void Remove(int fd, int level) {
    if (fd < 0) return;
    if (level < levels_) {
      Remove(::openat(fd, Name().c_str(), O_RDONLY | O_DIRECTORY), level + 1);
      ::unlinkat(fd, Name().c_str(), AT_REMOVEDIR);
    } else {
      ::unlinkat(fd, "deep.mp3", 0);
    }
    ::close(fd);
  }

  std::string parent_;
  int levels_;
  bool created_ = false;
};

TEST_F(ScanWalk, FolderTooDeepToOpenIsSkippedSilently) {
  tree_.File("open/y.mp3");
  tree_.Folder("deep");
  const TooDeepChain chain(tree_.Path("deep"), 20);  // about 5,000 bytes of path
  ASSERT_TRUE(chain.Created());
  ListMatchingFilesRecursive(found_, tree_.Root(), Mp3, nullptr);
  EXPECT_EQ(Paths(found_), (std::vector<std::string>{tree_.Path("open/y.mp3")}));
}

TEST_F(ScanWalk, LinksCountAsWhatTheyPointToAndCyclesEnd) {
  TempTree outside;
  outside.File("elsewhere/linked.mp3");
  outside.File("target.mp3");
  tree_.File("A/a.mp3");
  tree_.Link(tree_.Root(), "A/up");                 // cycle back to the top
  tree_.Link("A", "sameAsA");                       // second way into A
  tree_.Link(outside.Path("elsewhere"), "out.mp3");  // a folder, despite its name
  tree_.Link(outside.Path("target.mp3"), "file.mp3");
  tree_.Link(tree_.Path("nowhere"), "dangling.mp3");
  ListMatchingFilesRecursive(found_, tree_.Root(), Mp3, nullptr);

  std::vector<std::string> paths = Paths(found_);
  EXPECT_EQ(std::count(paths.begin(), paths.end(), tree_.Path("file.mp3")), 1);
  EXPECT_EQ(std::count(paths.begin(), paths.end(), tree_.Path("dangling.mp3")), 1);
  EXPECT_EQ(std::count(paths.begin(), paths.end(), tree_.Path("out.mp3")), 0) << "folders never match";
  EXPECT_EQ(std::count(paths.begin(), paths.end(), tree_.Path("out.mp3/linked.mp3")), 1);
  const auto inA = std::count_if(paths.begin(), paths.end(),
                                 [](const std::string& p) { return p.ends_with("/a.mp3"); });
  EXPECT_EQ(inA, 1) << "A is entered once, through whichever way comes first";
  EXPECT_EQ(paths.size(), 4u);
}

TEST_F(ScanWalk, PipesAreNeverOfferedAsFiles) {
  tree_.File("real.mp3");
  ASSERT_EQ(::mkfifo(tree_.Path("pipe.mp3").c_str(), 0600), 0);
  ListMatchingFiles(found_, tree_.Root(), Mp3, Recorder());
  EXPECT_EQ(Paths(found_), (std::vector<std::string>{tree_.Path("real.mp3")}));
  EXPECT_EQ(calls_.size(), 2u) << "the pipe is still an entry of the folder";
}

TEST_F(ScanWalk, CancelKeepsThePartialResultAndEndsEveryLevel) {
  // Deep enough that several levels are pending when the cancel comes.
  tree_.File("top.mp3");
  tree_.File("L1/one.mp3");
  tree_.File("L1/L2/two.mp3");
  tree_.File("L1/L2/L3/three.mp3");
  tree_.File("L1/L2/L3/more.mp3");
  tree_.File("L1/L2/after2.txt");
  tree_.File("L1/after1/x.mp3");
  tree_.File("later/y.mp3");
  std::size_t callsAtCancel = 0;
  ListMatchingFilesRecursive(found_, tree_.Root(), Mp3, [&](const std::string&, const std::string& entry) {
    calls_.push_back({"", entry});
    if (entry.ends_with("/three.mp3") || entry.ends_with("/more.mp3")) {
      if (!ScanCancelRequested) callsAtCancel = calls_.size();
      ScanCancelRequested = true;
    }
  });
  ASSERT_GT(callsAtCancel, 0u);
  EXPECT_LE(calls_.size() - callsAtCancel, 4u) << "at most one more call per pending level";
  const std::vector<std::string> paths = Paths(found_);
  EXPECT_NE(std::find(paths.begin(), paths.end(), tree_.Path("top.mp3")), paths.end());
  EXPECT_NE(std::find(paths.begin(), paths.end(), tree_.Path("L1/L2/two.mp3")), paths.end());
  EXPECT_EQ(std::find(paths.begin(), paths.end(), tree_.Path("later/y.mp3")), paths.end());
  EXPECT_EQ(std::find(paths.begin(), paths.end(), tree_.Path("L1/after1/x.mp3")), paths.end());
  EXPECT_TRUE(ScanCancelRequested) << "the walk leaves the flag for its caller to read";
}

TEST_F(ScanWalk, CancelInAFlatWalkStopsAtThatEntry) {
  for (int i = 0; i < 10; ++i) tree_.File("f" + std::to_string(i) + ".mp3");
  ListMatchingFiles(found_, tree_.Root(), Mp3, [&](const std::string&, const std::string& entry) {
    calls_.push_back({"", entry});
    if (calls_.size() == 3) ScanCancelRequested = true;
  });
  EXPECT_EQ(calls_.size(), 3u);
  EXPECT_EQ(found_.size(), 3u);
}

TEST(MinimizeFolderName, CutsLeadingNamesKeepingRootAndLastName) {
  const TTextWidthMeasure bytes = [](const std::string& s) { return static_cast<int>(s.size()); };
  const std::string path = "/home/ann/Music/Live";
  EXPECT_EQ(MinimizeFolderName(path, 100, bytes), path);
  EXPECT_EQ(MinimizeFolderName(path, 20, bytes), path);
  EXPECT_EQ(MinimizeFolderName(path, 19, bytes), "/.../ann/Music/Live");
  EXPECT_EQ(MinimizeFolderName(path, 18, bytes), "/.../Music/Live");
  EXPECT_EQ(MinimizeFolderName(path, 14, bytes), "/.../Live");
  EXPECT_EQ(MinimizeFolderName(path, 8, bytes), ".../Live");
  EXPECT_EQ(MinimizeFolderName(path, 3, bytes), "Live");
  EXPECT_EQ(MinimizeFolderName("/home/ann/", 9, bytes), "/.../ann/");
  EXPECT_EQ(MinimizeFolderName("music/rock/old", 10, bytes), ".../old");
  EXPECT_EQ(MinimizeFolderName("/Music", 3, bytes), "Music");
  EXPECT_EQ(MinimizeFolderName("/", 0, bytes), "/");
  EXPECT_EQ(MinimizeFolderName("", 0, bytes), "");

  // A folder thousands of names deep is measured a few times only, with the same result.
  std::string deep;
  for (int i = 0; i < 2000; ++i) deep += "/n" + std::to_string(i);
  int measured = 0;
  const TTextWidthMeasure counting = [&measured](const std::string& s) {
    ++measured;
    return static_cast<int>(s.size());
  };
  EXPECT_EQ(MinimizeFolderName(deep, 20, counting), "/.../n1998/n1999");
  EXPECT_LE(measured, 20);
}

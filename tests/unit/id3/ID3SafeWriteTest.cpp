// What the writers must never do: lose or change a byte after the declared end of the tag,
// leave a half-written file behind a failure, or write into a file replaced since reading.

#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include "ID3TestSupport.h"

using namespace id3test;

namespace {

// Where the tag at offset 0 ends by its header (never past the end of the file); 0 without one.
std::size_t DeclaredEnd(const std::string& file) {
  if (file.size() < 10 || file.compare(0, 3, "ID3") != 0 || static_cast<unsigned char>(file[3]) > 4) return 0;
  std::size_t size = 0;
  for (int i = 6; i < 10; ++i) size = (size << 7) | (static_cast<unsigned char>(file[i]) & 0x7F);
  // Version 2 tags have no footer, whatever their undefined flag bits say.
  const std::size_t footer = (file[5] & 0x10) != 0 && file[3] != 2 ? 10 : 0;
  return std::min(file.size(), 10 + size + footer);
}

// Files size limit for the whole process while it lives: writes past it fail with EFBIG, as a
// full disk would fail them.
class TFileSizeLimit {
 public:
  explicit TFileSizeLimit(rlim_t limit) {
    ::getrlimit(RLIMIT_FSIZE, &old_);
    oldSignal_ = ::signal(SIGXFSZ, SIG_IGN);
    rlimit lower = old_;
    lower.rlim_cur = limit;
    ::setrlimit(RLIMIT_FSIZE, &lower);
  }
  ~TFileSizeLimit() {
    ::setrlimit(RLIMIT_FSIZE, &old_);
    ::signal(SIGXFSZ, oldSignal_);
  }
  TFileSizeLimit(const TFileSizeLimit&) = delete;
  TFileSizeLimit& operator=(const TFileSizeLimit&) = delete;

 private:
  rlimit old_{};
  sighandler_t oldSignal_;
};

class ID3SafeWriteTest : public TempDirFolderTest {
 protected:
  // Entries of the folder besides the temporary folder.
  std::size_t FilesInFolder() const {
    std::size_t count = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder_)) count += entry.path() != tempFolder_;
    return count;
  }
};

TEST_F(ID3SafeWriteTest, EveryByteAfterTheDeclaredTagSurvivesEachWriter) {
  std::vector<std::pair<std::string, std::string>> files;
  for (const auto& entry :
       std::filesystem::directory_iterator(std::filesystem::path(SONARVEX_SOURCE_DIR) / "fuzz/corpus/ID3EngineFuzz"))
    files.emplace_back(entry.path().filename().string(), Read(entry.path().string()));
  ASSERT_GE(files.size(), 8u);
  // Frames claiming more than the declared tag size: the claimed bytes are audio.
  files.emplace_back("v3 overrun", Tag(3, Frame3("TALB", Text("Album")) + "TIT2" + BigEndian(4096) + std::string(2, '\0') +
                                              Text("Title"), 0, 38) +
                                           Audio(5000));
  files.emplace_back("v2 overrun", Tag(2, Frame2("TAL", Text("Album")) + "PIC" + BigEndian(4096).substr(1) +
                                              std::string("\0PNG\3\0", 6) + "picture", 0, 30) +
                                           Audio(5000));
  files.emplace_back("v2 undefined flags", Tag(2, Frame2("TT2", Text("T")), 0x3F) + Audio(100));
  files.emplace_back("v4 overrun", Tag(4, "TIT2" + SyncSafe(4096) + std::string(2, '\0') + Text("T"), 0, 20) + Audio(5000));
  files.emplace_back("overrun header", Tag(4, Frame4("TPE1", Text("A")) + "TIT2", 0, 13) + SyncSafe(60) + Audio(80));
  files.emplace_back("v4 overrun footer", Tag(4, "TIT2" + SyncSafe(900) + std::string(2, '\0') + Text("T"), 0x10, 20) +
                                                  "3DI" + std::string("\x04\x00\x10", 3) + SyncSafe(20) + Audio(1000));
  files.emplace_back("declared past end", Tag(4, Frame4("TIT2", Text("T")), 0, 5000) + Audio(100));
  files.emplace_back("no tag", Audio(3000) + Trailer("T", "", "", "", "", 1, 2));

  for (const auto& [name, original] : files) {
    SCOPED_TRACE(name);
    const std::size_t end = DeclaredEnd(original);
    const std::string rest = original.substr(end);
    for (const std::size_t titleLength : {std::size_t{1}, std::size_t{20000}}) {
      SCOPED_TRACE(titleLength);
      engine.SetActive(false);
      engine.SetFileName(Write("file.mp3", original));
      try {
        engine.SetActive(true);
      } catch (const EID3Error&) {
        continue;  // a damaged tag: nothing to write from
      }
      if (!engine.Active()) continue;
      engine.SetTitle(std::string(titleLength, 't'));
      engine.WriteTag();
      std::string bytes = Read(engine.FileName());
      ASSERT_GE(bytes.size(), rest.size());
      EXPECT_EQ(bytes.substr(bytes.size() - rest.size()), rest);
      engine.EraseTag();
      EXPECT_EQ(Read(engine.FileName()), rest);
      engine.WriteID3v1Tag();
      bytes = Read(engine.FileName());
      const std::size_t kept = rest.size() >= 128 && rest.compare(rest.size() - 128, 3, "TAG") == 0 ? rest.size() - 128
                                                                                                    : rest.size();
      EXPECT_EQ(bytes.substr(0, kept), rest.substr(0, kept));
      engine.SetActive(false);
    }
  }
}

TEST_F(ID3SafeWriteTest, OverrunFrameKeepsItsBytesInsideTheTag) {
  const std::string audio = Audio(5000);
  Open(Tag(3, "TIT2" + BigEndian(4096) + std::string(2, '\0') + Text("Title") + std::string(14, '\0'), 0, 30) + audio);
  ASSERT_EQ(engine.TagLength(), 10 + 10 + 4096);  // as read: to the end of the frame
  engine.WriteTag();
  EXPECT_EQ(Read(engine.FileName()).substr(40), audio);
  engine.SetActive(false);
  engine.SetActive(true);
  EXPECT_EQ(engine.Title(), "Title");
  EXPECT_EQ(engine.Frames()[0].DataSize(), 20u);
}

TEST_F(ID3SafeWriteTest, FailedWriteLeavesTheFileByteIdentical) {
  // The file as a full disk finds it: a 900,000-byte file on a device with room for 1,000,000.
  const std::string original = Tag(4, Frame4("TIT2", Text("Old"))) + Audio(900000 - 21);
  struct TCase {
    const char* name;
    bool secondName;  // a hard link: the new content cannot be renamed into place
    std::function<void(TID3Engine&)> write;
  };
  const TCase cases[] = {
      {"rewrite by rename", false, [](TID3Engine& e) { e.SetTitle(std::string(200000, 'n')), e.WriteTag(); }},
      {"rewrite in place", true, [](TID3Engine& e) { e.SetTitle(std::string(200000, 'n')), e.WriteTag(); }},
      {"ID3v1 append", false, [](TID3Engine& e) { e.WriteID3v1Tag(); }},
  };
  for (const TCase& test : cases) {
    SCOPED_TRACE(test.name);
    Open(original);
    const std::string link = (folder_ / "link.mp3").string();
    if (test.secondName) {
      ASSERT_EQ(::link(engine.FileName().c_str(), link.c_str()), 0);
    }
    {
      const TFileSizeLimit limit(original.size() + (test.secondName ? 100000 : 100));
      EXPECT_THROW(test.write(engine), EID3FileError);
    }
    EXPECT_EQ(Read(engine.FileName()), original);
    EXPECT_EQ(FilesInFolder(), test.secondName ? 2u : 1u);
    EXPECT_TRUE(std::filesystem::is_empty(tempFolder_));
    engine.SetActive(false);
    ::unlink(link.c_str());
  }
}

TEST_F(ID3SafeWriteTest, RewriteKeepsPermissionsAndEveryName) {
  const std::string audio = Audio(2000);
  Open(Tag(4, Frame4("TIT2", Text("Old"))) + audio);
  ASSERT_EQ(::chmod(engine.FileName().c_str(), 0640), 0);
  engine.SetActive(false);
  engine.SetActive(true);
  engine.SetTitle(std::string(500, 'a'));
  engine.WriteTag();
  struct stat info {};
  ASSERT_EQ(::stat(engine.FileName().c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0640u);
  EXPECT_EQ(FilesInFolder(), 1u);

  // Two names for one file: both see the new tag.
  const std::string link = (folder_ / "link.mp3").string();
  ASSERT_EQ(::link(engine.FileName().c_str(), link.c_str()), 0);
  engine.SetTitle(std::string(5000, 'b'));
  engine.WriteTag();
  EXPECT_EQ(Read(link), Read(engine.FileName()));
  EXPECT_EQ(Read(link).substr(static_cast<std::size_t>(engine.TagLength())), audio);
  EXPECT_TRUE(std::filesystem::is_empty(tempFolder_));
}

TEST_F(ID3SafeWriteTest, WritersRefuseAFileChangedSinceItWasRead) {
  const std::string original = Tag(4, Frame4("TIT2", Text("Mine"))) + Audio(300);
  const std::string other = Tag(4, Frame4("TIT2", Text("Other"))) + Audio(300);
  const std::function<void(TID3Engine&)> writers[] = {[](TID3Engine& e) { e.WriteTag(); },
                                                        [](TID3Engine& e) { e.EraseTag(); },
                                                        [](TID3Engine& e) { e.WriteID3v1Tag(); }};
  for (const auto& write : writers) {
    for (const bool renamed : {true, false}) {
      SCOPED_TRACE(renamed ? "another file renamed onto the name" : "the file changed in place");
      Open(original);
      engine.SetTitle("New");
      const std::string replacement = renamed ? other : original + "x";
      if (renamed) {
        ASSERT_EQ(::rename(Write("incoming.mp3", other).c_str(), engine.FileName().c_str()), 0);
      } else {
        std::ofstream(engine.FileName(), std::ios::binary | std::ios::app) << 'x';
      }
      try {
        write(engine);
        ADD_FAILURE() << "the write went ahead";
      } catch (const EID3FileError& error) {
        EXPECT_NE(std::string(error.what()).find("changed since it was read"), std::string::npos);
      }
      EXPECT_EQ(Read(engine.FileName()), replacement);
    }
  }
}

}  // namespace

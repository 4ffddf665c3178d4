#include "core/UnitTextFiles.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>

namespace {

class TempFolder {
 public:
  TempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "svx-text-XXXXXX").string();
    path_ = ::mkdtemp(pattern.data());
  }
  ~TempFolder() { std::filesystem::remove_all(path_); }
  std::string File(const char* name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

TEST(SplitTextLines, AcceptsEveryLineEnd) {
  EXPECT_EQ(SplitTextLines("a\r\nb\nc\rd"), (std::vector<std::string>{"a", "b", "c", "d"}));
  EXPECT_EQ(SplitTextLines("a\r\n"), (std::vector<std::string>{"a"}));
  EXPECT_EQ(SplitTextLines("\n\n"), (std::vector<std::string>{"", ""}));
  EXPECT_EQ(SplitTextLines("\r\r\n"), (std::vector<std::string>{"", ""}));
  EXPECT_TRUE(SplitTextLines("").empty());
  // A UTF-8 byte-order mark is no part of the first line; anywhere else it stays.
  EXPECT_EQ(SplitTextLines("\xEF\xBB\xBFUSED\r\n\xEF\xBB\xBFx"),
            (std::vector<std::string>{"USED", "\xEF\xBB\xBFx"}));
  EXPECT_TRUE(SplitTextLines("\xEF\xBB\xBF").empty());
}

TEST(WriteTextLines, WritesCrLfAndReadsBack) {
  TempFolder dir;
  const auto file = dir.File("LIST.CFG");
  WriteTextLines(file, {"one", "", "three"});
  EXPECT_EQ(ReadWholeFile(file), "one\r\n\r\nthree\r\n");
  EXPECT_EQ(ReadTextLines(file), (std::vector<std::string>{"one", "", "three"}));
}

TEST(WriteFileAtomically, ReplacesWithoutLeavingTemporaries) {
  TempFolder dir;
  const auto file = dir.File("MAIN.INI");
  WriteFileAtomically(file, "old");
  WriteFileAtomically(file, "new");
  EXPECT_EQ(ReadWholeFile(file), "new");
  int count = 0;
  for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::path(file).parent_path())) {
    (void)entry;
    ++count;
  }
  EXPECT_EQ(count, 1);
}

TEST(WriteFileAtomically, FailureLeavesTargetUntouched) {
  TempFolder dir;
  // A target inside a missing folder cannot be written: an error, nothing created.
  EXPECT_THROW(WriteFileAtomically(dir.File("missing/MAIN.INI"), "x"), EFileError);
  // Renaming over a non-empty directory fails: the directory and its content stay.
  const auto target = dir.File("busy");
  std::filesystem::create_directory(target);
  WriteFileAtomically(target + "/inner", "keep");
  EXPECT_THROW(WriteFileAtomically(target, "x"), EFileError);
  EXPECT_EQ(ReadWholeFile(target + "/inner"), "keep");
}

TEST(ReadWholeFile, RejectsMissingDirectoriesAndOversizedFiles) {
  TempFolder dir;
  EXPECT_THROW(ReadWholeFile(dir.File("nothing")), EFileError);
  std::filesystem::create_directory(dir.File("folder"));
  EXPECT_THROW(ReadWholeFile(dir.File("folder")), EFileError);
  WriteFileAtomically(dir.File("big"), std::string(100, 'x'));
  EXPECT_THROW(ReadWholeFile(dir.File("big"), 99), EFileError);
  EXPECT_EQ(ReadWholeFile(dir.File("big"), 100).size(), 100u);
}

TEST(ReadWholeFile, NeverWaitsOnAFifoOrDevice) {
  TempFolder dir;
  // Opening a FIFO without a writer would block for ever; it is no file to read.
  ASSERT_EQ(::mkfifo(dir.File("MAIN.INI").c_str(), 0600), 0);
  EXPECT_THROW(ReadWholeFile(dir.File("MAIN.INI")), EFileError);
  EXPECT_THROW(ReadTextLines("/dev/zero"), EFileError);
}

}  // namespace

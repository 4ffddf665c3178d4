#include "info/UnitFileInfo.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

#include <tuple>

#include "InfoTestSupport.h"
#include "id3/TID3FileStream.h"

namespace {

using infotest::TempFolder;

TEST(LookUpFile, RegularFileSizeTimesAndAttributes) {
  TempFolder dir;
  const auto file = dir.File("song.mp3");
  infotest::WriteBytes(file, std::string(3000, 'x'));
  const timeval times[2] = {{1700000000, 0}, {1600000000, 0}};
  ASSERT_EQ(::utimes(file.c_str(), times), 0);
  const TFileInfo info = LookUpFile(file);
  ASSERT_TRUE(info.Found);
  EXPECT_EQ(info.Size, 3000);
  EXPECT_EQ(info.Modified, FileTimeFromUnix(1600000000));
  EXPECT_EQ(info.Accessed, FileTimeFromUnix(1700000000));
  EXPECT_EQ(info.Attributes, 0U);

  ASSERT_EQ(::chmod(file.c_str(), 0444), 0);
  EXPECT_EQ(LookUpFile(file).Attributes, AttrReadOnly);
}

TEST(LookUpFile, FailedLookUpsGiveZeros) {
  TempFolder dir;
  for (const std::string& path : {dir.File("missing.mp3"), std::string(), std::string("a\0b", 3)}) {
    const TFileInfo info = LookUpFile(path);
    EXPECT_FALSE(info.Found);
    EXPECT_EQ(info.Size, 0);
    EXPECT_EQ(info.Modified, 0);
    EXPECT_EQ(info.Attributes, 0U);
  }
}

TEST(LookUpFile, LinksAreFollowedButHiddenComesFromTheLinkName) {
  TempFolder dir;
  const auto target = dir.File("real.mp3");
  infotest::WriteBytes(target, std::string(1234, 'x'));
  const auto link = dir.File(".link.mp3");
  ASSERT_EQ(::symlink(target.c_str(), link.c_str()), 0);
  const TFileInfo info = LookUpFile(link);
  ASSERT_TRUE(info.Found);
  EXPECT_EQ(info.Size, 1234);
  EXPECT_EQ(info.Attributes, AttrHidden);
  // A report takes the same from the look-up the tag engine's open made.
  const TFileInfo opened = FileInfoOf(link, TID3FileStream(link, TID3FileStream::TMode::Read).Status());
  EXPECT_TRUE(opened.Found);
  EXPECT_EQ(std::make_tuple(opened.Size, opened.Created, opened.Modified, opened.Accessed, opened.Attributes),
            std::make_tuple(info.Size, info.Created, info.Modified, info.Accessed, info.Attributes));

  const auto dangling = dir.File("dangling.mp3");
  ASSERT_EQ(::symlink(dir.File("nowhere").c_str(), dangling.c_str()), 0);
  EXPECT_FALSE(LookUpFile(dangling).Found);
}

TEST(LookUpFile, DirectoriesAndFifos) {
  TempFolder dir;
  EXPECT_EQ(LookUpFile(dir.Path()).Attributes & AttrDirectory, AttrDirectory);
  const auto fifo = dir.File("pipe.mp3");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
  EXPECT_EQ(LookUpFile(fifo).Attributes, AttrSystem);
}

TEST(LookUpFile, SizesBeyondFourGigabytesAreKept) {
  TempFolder dir;
  const auto file = dir.File("big.wav");
  const int fd = ::open(file.c_str(), O_CREAT | O_WRONLY, 0644);
  ASSERT_GE(fd, 0);
  const bool sized = ::ftruncate(fd, 5LL * 1024 * 1024 * 1024) == 0;
  ::close(fd);
  if (!sized) {
    GTEST_SKIP() << "the scratch file system holds no sparse 5 GiB file";
  }
  EXPECT_EQ(LookUpFile(file).Size, 5LL * 1024 * 1024 * 1024);
}

TEST(PathParts, NameAndFolderWithTrailingSeparator) {
  EXPECT_EQ(FileNamePart("/music/a b/song.mp3"), "song.mp3");
  EXPECT_EQ(FolderPart("/music/a b/song.mp3"), "/music/a b/");
  EXPECT_EQ(FileNamePart("song.mp3"), "song.mp3");
  EXPECT_EQ(FolderPart("song.mp3"), "");
  EXPECT_EQ(FileNamePart("/folder/"), "");
  EXPECT_EQ(FolderPart("/song.mp3"), "/");
}

}  // namespace

#include "scan/UnitFileList.h"

#include <gtest/gtest.h>

#include "InfoTestSupport.h"
#include "id3/ID3Engine.h"

namespace {

using infotest::TempFolder;

const TLocaleFormat& En = TLocaleFormat::English();

TEST(CompareSortTexts, AsciiCaseInsensitiveBytewisePrefixFirst) {
  EXPECT_EQ(CompareSortTexts("abc", "ABC"), 0);
  EXPECT_LT(CompareSortTexts("Apple", "banana"), 0);
  EXPECT_GT(CompareSortTexts("banana", "Apple"), 0);
  EXPECT_LT(CompareSortTexts("abc", "abcd"), 0);
  EXPECT_LT(CompareSortTexts("", "a"), 0);
  // Letters compare as capitals, so "_" (after "Z") comes after every letter.
  EXPECT_LT(CompareSortTexts("a", "_"), 0);
  EXPECT_LT(CompareSortTexts("Z", "["), 0);
  // Non-ASCII bytes keep their value: no folding, and they come after ASCII.
  EXPECT_NE(CompareSortTexts("\xC3\xA9", "\xC3\x89"), 0);
  EXPECT_LT(CompareSortTexts("z", "\xC3\xA9"), 0);
  EXPECT_LT(CompareSortTexts("(not available)", "A"), 0);
}

class FileList : public ::testing::Test {
 protected:
  std::string Song(std::string_view name, std::string_view title, std::size_t audio = 512) {
    const auto path = dir.File(name);
    infotest::WriteBytes(path, infotest::Tag({infotest::TextFrame("TIT2", title)}) +
                                   std::string(audio, 'x'));
    return path;
  }
  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    for (const auto& file : list) {
      names.push_back(file.Path.substr(dir.Path().size() + 1));
    }
    return names;
  }
  void Sort(const TStringList& used, int column, bool ascending) {
    SortFoundFiles(list, cache, engine, used, column, ascending, En);
  }

  TempFolder dir;
  TID3Engine engine;
  TFoundFileList list;
  TRowCache cache;
};

TEST_F(FileList, SortByNameEitherWayClearsMarksAndResetsTheCache) {
  for (const auto* name : {"b.mp3", "C.mp3", "a.mp3"}) {
    list.push_back(TFoundFile{Song(name, name), 1});
  }
  cache.resize(1);
  cache[0].Built = true;
  const TStringList used{"0NAM=Name", "1TIT=Song Title"};
  Sort(used, 0, true);
  EXPECT_EQ(Names(), (std::vector<std::string>{"a.mp3", "b.mp3", "C.mp3"}));
  for (const auto& file : list) {
    EXPECT_EQ(file.Checked, 0);
  }
  ASSERT_EQ(cache.size(), 3U);
  for (std::size_t i = 0; i < 3; ++i) {
    EXPECT_FALSE(cache[i].Built);
    EXPECT_TRUE(cache[i].Texts.empty());
  }
  Sort(used, 0, false);
  EXPECT_EQ(Names(), (std::vector<std::string>{"C.mp3", "b.mp3", "a.mp3"}));
}

TEST_F(FileList, TagSortReportsEachFileTellsFormerRowsAndCancelKeepsTheOrder) {
  for (const auto* title : {"b", "c", "a"}) {
    list.push_back(TFoundFile{Song(std::string(title) + ".mp3", title), 1});
  }
  const TStringList used{"0NAM=Name", "1TIT=Song Title"};
  EXPECT_FALSE(SortReadsFiles(used, 0));
  EXPECT_TRUE(SortReadsFiles(used, 1));
  EXPECT_FALSE(SortReadsFiles({}, 0));

  // Cancelled after the second file: order and marks stay, the cache matches the list.
  std::vector<std::size_t> seen;
  TSortResult result = SortFoundFiles(list, cache, engine, used, 1, true, En, [&](std::size_t done, std::size_t total) {
    seen.push_back(done);
    EXPECT_EQ(total, 3U);
    return done < 2;
  });
  EXPECT_FALSE(result.Completed);
  EXPECT_EQ(seen, (std::vector<std::size_t>{1, 2}));
  EXPECT_EQ(Names(), (std::vector<std::string>{"b.mp3", "c.mp3", "a.mp3"}));
  EXPECT_EQ(list[0].Checked, 1);
  EXPECT_EQ(cache.size(), 3U);

  result = SortFoundFiles(list, cache, engine, used, 1, true, En, [](std::size_t, std::size_t) { return true; });
  EXPECT_TRUE(result.Completed);
  EXPECT_EQ(Names(), (std::vector<std::string>{"a.mp3", "b.mp3", "c.mp3"}));
  EXPECT_EQ(result.FormerIndex, (std::vector<std::size_t>{2, 0, 1}));
  // A name sort reads no file and reports nothing.
  seen.clear();
  SortFoundFiles(list, cache, engine, used, 0, false, En, [&](std::size_t done, std::size_t) {
    seen.push_back(done);
    return true;
  });
  EXPECT_TRUE(seen.empty());
}

TEST_F(FileList, SizesSortNumericallyAndTitlesByTag) {
  list.push_back(TFoundFile{Song("one.mp3", "beta", 200 * 1024), 0});
  list.push_back(TFoundFile{Song("two.mp3", "Alpha", 30 * 1024), 0});
  list.push_back(TFoundFile{Song("three.mp3", "gamma", 1100 * 1024), 0});
  const auto plain = dir.File("four.mp3");
  infotest::WriteBytes(plain, std::string(4 * 1024, 'x'));
  list.push_back(TFoundFile{plain, 0});
  Sort({"0NAM=Name", "0SIZ=Size"}, 1, true);
  EXPECT_EQ(Names(), (std::vector<std::string>{"four.mp3", "two.mp3", "one.mp3", "three.mp3"}));
  // A file without the tag sorts as "(not available)", before the letters.
  Sort({"0NAM=Name", "1TIT=Song Title"}, 1, true);
  EXPECT_EQ(Names(), (std::vector<std::string>{"four.mp3", "two.mp3", "one.mp3", "three.mp3"}));
  Sort({"1TIT=Song Title"}, 0, false);
  EXPECT_EQ(Names(), (std::vector<std::string>{"three.mp3", "one.mp3", "two.mp3", "four.mp3"}));
  EXPECT_FALSE(engine.Active());
}

TEST_F(FileList, ColumnPastTheEndUsesTheFirstAndNoColumnKeepsScanOrder) {
  for (const auto* name : {"b.mp3", "c.mp3", "a.mp3"}) {
    list.push_back(TFoundFile{Song(name, name), 1});
  }
  EXPECT_EQ(EffectiveSortColumn({"0NAM=Name"}, 5), 0);
  EXPECT_EQ(EffectiveSortColumn({"0NAM=Name"}, -1), 0);
  EXPECT_EQ(EffectiveSortColumn({}, 0), -1);
  Sort({}, 0, true);
  EXPECT_EQ(Names(), (std::vector<std::string>{"b.mp3", "c.mp3", "a.mp3"}));
  EXPECT_EQ(list[0].Checked, 0);
  EXPECT_EQ(cache.size(), 3U);
  Sort({"0NAM=Name"}, 7, false);
  EXPECT_EQ(Names(), (std::vector<std::string>{"c.mp3", "b.mp3", "a.mp3"}));
}

TEST_F(FileList, UnreadableAndVanishedFilesSortAsNotAvailable) {
  list.push_back(TFoundFile{Song("b.mp3", "Beta"), 0});
  const auto damaged = dir.File("damaged.mp3");
  infotest::WriteBytes(damaged, infotest::Tag({infotest::Frame(
                                    "TIT2", infotest::SyncSafe(50) + "garbage", '\x09')}));
  list.push_back(TFoundFile{damaged, 0});
  list.push_back(TFoundFile{dir.File("vanished.mp3"), 0});
  list.push_back(TFoundFile{Song("a.mp3", "Alpha"), 0});
  ASSERT_NO_THROW(Sort({"1TIT=Song Title"}, 0, true));
  EXPECT_EQ(Names(),
            (std::vector<std::string>{"damaged.mp3", "vanished.mp3", "a.mp3", "b.mp3"}));
}

TEST_F(FileList, RowsAreBuiltOnceWithTheirIcon) {
  const auto path = Song("song.mp3", "Before");
  list.push_back(TFoundFile{path, 0});
  ResetRowCache(list, cache);
  const TStringList used{"1TIT=Song Title", "0NAM=Name"};
  int iconCalls = 0;
  const TIconIndexProvider icon = [&](const std::string&) { return ++iconCalls + 6; };
  ASSERT_TRUE(EnsureRowBuilt(cache, list, 0, engine, used, En, icon));
  EXPECT_TRUE(cache[0].Built);
  EXPECT_EQ(cache[0].Texts, (std::vector<std::string>{"Before", "song.mp3"}));
  EXPECT_EQ(cache[0].Icon, 7);
  // A later change to the file shows only after the list is rebuilt.
  Song("song.mp3", "After");
  ASSERT_TRUE(EnsureRowBuilt(cache, list, 0, engine, used, En, icon));
  EXPECT_EQ(cache[0].Texts[0], "Before");
  EXPECT_EQ(iconCalls, 1);
  EXPECT_FALSE(EnsureRowBuilt(cache, list, 1, engine, used, En, icon));
  ResetRowCache(list, cache);
  ASSERT_TRUE(EnsureRowBuilt(cache, list, 0, engine, used, En));
  EXPECT_EQ(cache[0].Texts[0], "After");
  EXPECT_EQ(cache[0].Icon, -1);
}

TEST_F(FileList, NoUsedColumnGivesEmptyRows) {
  list.push_back(TFoundFile{Song("song.mp3", "x"), 0});
  ResetRowCache(list, cache);
  ASSERT_TRUE(EnsureRowBuilt(cache, list, 0, engine, {}, En));
  EXPECT_TRUE(cache[0].Texts.empty());
}

}  // namespace

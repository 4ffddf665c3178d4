#include "info/UnitColumnConfig.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "InfoTestSupport.h"
#include "core/UnitTextFiles.h"

namespace {

using infotest::TempFolder;

TStringList Used, Unused;

void Load(const std::string& path) { LoadColumnConfiguration(path, Used, Unused); }

// The first lines of a list: those the file gave, before the catalogue types loading appends.
TStringList Head(const TStringList& list, std::size_t count) {
  return TStringList(list.begin(), list.begin() + static_cast<std::ptrdiff_t>(std::min(count, list.size())));
}

TEST(ColumnConfiguration, RoundTripOfTheDefaultsAndOddLines) {
  TempFolder dir;
  const auto file = dir.File("Default.itc");
  TStringList used, unused;
  FillDefaultCatalogue(used, unused);
  used.push_back("0NAM=Name");      // duplicates are kept
  used.push_back("XYZ");            // short lines too
  used.push_back("0NAM=File");      // captions are not looked up
  SaveColumnConfiguration(file, used, unused);
  const std::string text = ReadWholeFile(file);
  EXPECT_TRUE(text.starts_with("USED\r\n0NAM=Name\r\n0TYP=Type\r\n"));
  EXPECT_TRUE(text.ends_with("0NAM=File\r\nNOTUSED\r\n0FUL=Full file name and location\r\n"));
  Load(file);
  EXPECT_EQ(Used, used);
  EXPECT_EQ(Unused, unused);
}

TEST(ColumnConfiguration, NoUsedTypesSavesMarkersBackToBack) {
  TempFolder dir;
  const auto file = dir.File("Default.itc");
  SaveColumnConfiguration(file, {}, {"0NAM=Name", "0FUL=Full"});
  EXPECT_EQ(ReadWholeFile(file), "USED\r\nNOTUSED\r\n0NAM=Name\r\n0FUL=Full\r\n");
  Load(file);
  EXPECT_TRUE(Used.empty());
  EXPECT_EQ(Head(Unused, 2), (TStringList{"0NAM=Name", "0FUL=Full"}));
}

TEST(ColumnConfiguration, MarkersAreExactAndEmptyLinesSkipped) {
  TempFolder dir;
  const auto file = dir.File("odd.ITC");
  // Lines before the first marker are used types; only exact markers switch lists; a lone CR
  // and LF also end lines.
  infotest::WriteBytes(file,
                       "0NAM=First\r\n\r\nUSED\r\nused\r\n USED\r\n1TIT=Song Title\n\n"
                       "NOTUSED\rNOTUSED \r\n0FUL=Full\r\nUSED\r\n0SIZ=Size\r\n=\r\n");
  Load(file);
  EXPECT_EQ(Used, (TStringList{"0NAM=First", "used", " USED", "1TIT=Song Title", "0SIZ=Size", "="}));
  EXPECT_EQ(Head(Unused, 2), (TStringList{"NOTUSED ", "0FUL=Full"}));
}

TEST(ColumnConfiguration, WithoutMarkersEveryLineIsUsed) {
  TempFolder dir;
  const auto file = dir.File("plain.itc");
  infotest::WriteBytes(file, "0NAM=Name\r\n0SIZ=Size");
  Unused = {"stale"};
  Load(file);
  EXPECT_EQ(Used, (TStringList{"0NAM=Name", "0SIZ=Size"}));
  EXPECT_EQ(Unused.size(), InfoTypeCatalogueSize - 2);  // only what the catalogue adds
  // A byte-order mark written by an editor does not hide the first marker.
  infotest::WriteBytes(file, "\xEF\xBB\xBFUSED\r\n0NAM=Name\r\nNOTUSED\r\n0FUL=Full\r\n");
  Load(file);
  EXPECT_EQ(Used, TStringList{"0NAM=Name"});
  EXPECT_EQ(Head(Unused, 1), TStringList{"0FUL=Full"});
}

TEST(ColumnConfiguration, UnreadableFileThrowsAndLeavesListsEmpty) {
  TempFolder dir;
  Used = {"stale"};
  Unused = {"stale"};
  EXPECT_THROW(Load(dir.File("missing.itc")), EFileError);
  EXPECT_TRUE(Used.empty());
  EXPECT_TRUE(Unused.empty());
  EXPECT_THROW(Load(dir.Path()), EFileError);  // a folder is no file
  ASSERT_EQ(::mkfifo(dir.File("Default.itc").c_str(), 0600), 0);
  EXPECT_THROW(Load(dir.File("Default.itc")), EFileError);  // nor is a FIFO, and it is not waited on
}

TEST(ColumnConfiguration, FailedSaveKeepsTheOldFile) {
  TempFolder dir;
  const auto file = dir.File("Default.itc");
  SaveColumnConfiguration(file, {"0NAM=Name"}, {});
  EXPECT_THROW(SaveColumnConfiguration(dir.File("no/such/folder.itc"), {"x"}, {}), EFileError);
  SaveColumnConfiguration(file, {"0SIZ=Size"}, {"0NAM=Name"});
  Load(file);
  EXPECT_EQ(Used, TStringList{"0SIZ=Size"});
  EXPECT_EQ(Head(Unused, 1), TStringList{"0NAM=Name"});
}

TEST(ColumnConfiguration, FileLackingCatalogueTypesGainsThemAsUnused) {
  TempFolder dir;
  const auto file = dir.File("Reports.itc");
  // Saved before some types existed: the missing ones follow the file's own unused lines, in
  // catalogue order; a type is known by its code, whatever its caption.
  infotest::WriteBytes(file, "USED\r\n0NAM=File\r\nTIT2=Title\r\nNOTUSED\r\n0FUL=Full\r\n");
  Load(file);
  TStringList expected{"0FUL=Full"};
  for (std::string_view type : InfoTypeCatalogue())
    if (!type.starts_with("0NAM") && !type.starts_with("TIT2") && !type.starts_with("0FUL")) expected.emplace_back(type);
  EXPECT_EQ(Used, (TStringList{"0NAM=File", "TIT2=Title"}));
  EXPECT_EQ(Unused, expected);
  // Saved and loaded again, nothing more is added.
  SaveColumnConfiguration(file, Used, Unused);
  Load(file);
  EXPECT_EQ(Unused, expected);
}

}  // namespace

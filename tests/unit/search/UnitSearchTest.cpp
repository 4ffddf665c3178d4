#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "core/UnitTextFiles.h"
#include "search/UnitSearchSites.h"
#include "search/UnitSearchText.h"

namespace {

using Lines = std::vector<std::string>;

TEST(SearchSites, LoadRulesKeepLineIndexes) {
  const TSearchSites sites = ParseSearchSites(
      {"Web=https://w/?q=THISISREPLACEDWITHACTUALTEXT&x=1", "=orphan", "Wiki=https://k/THISISREPLACEDWITHACTUALTEXT",
       "", "bare", "Empty="});
  ASSERT_EQ(sites.Entries.size(), 4u);
  EXPECT_EQ(sites.Entries[0].Caption, "Web");
  EXPECT_EQ(sites.Entries[1].Caption, "Wiki");
  EXPECT_EQ(sites.Entries[1].Tag, 2);
  EXPECT_EQ(sites.Entries[2].Caption, "");  // no "=": empty caption, whole line is the template
  EXPECT_EQ(sites.Entries[3].Tag, 5);
  EXPECT_EQ(sites.Templates, (Lines{"https://w/?q=THISISREPLACEDWITHACTUALTEXT&x=1", "=orphan",
                                    "https://k/THISISREPLACEDWITHACTUALTEXT", "", "bare", ""}));
  EXPECT_EQ(sites.FirstSite(), 0);
  EXPECT_TRUE(sites.IsSite(2));
  EXPECT_FALSE(sites.IsSite(1));
  EXPECT_EQ(ParseSearchSites({"=x", "A=a"}).FirstSite(), 1);
  EXPECT_EQ(ParseSearchSites({}).FirstSite(), -1);
}

TEST(SearchSites, RowsRoundTripAndDropEmptyNames) {
  std::string pattern = (std::filesystem::temp_directory_path() / "svx-search-XXXXXX").string();
  const std::string dir = ::mkdtemp(pattern.data());
  const std::string file = dir + "/SEARCH.CFG";
  EXPECT_THROW(ReadSearchSiteRows(file), EFileError);
  EXPECT_THROW(LoadSearchSites(file), EFileError);
  WriteSearchSiteRows(file, {{"A", "http://a/?q=1&b=2"}, {"", "http://lost/"}, {"B", ""}});
  EXPECT_EQ(ReadWholeFile(file), "A=http://a/?q=1&b=2\r\nB=\r\n");
  EXPECT_EQ(ReadSearchSiteRows(file), (std::vector<TSearchSiteRow>{{"A", "http://a/?q=1&b=2"}, {"B", ""}}));
  std::filesystem::remove_all(dir);
}

TEST(SearchText, QueryIsEncodedIntoEveryPlaceholder) {
  EXPECT_EQ(BuildSearchUrl("http://s/THISISREPLACEDWITHACTUALTEXT?q=THISISREPLACEDWITHACTUALTEXT", "a b"),
            "http://s/a%20b?q=a%20b");
  EXPECT_EQ(BuildSearchUrl("http://s/?q=THISISREPLACEDWITHACTUALTEXT", "Simon & Garfunkel"),
            "http://s/?q=Simon%20%26%20Garfunkel");
  EXPECT_EQ(BuildSearchUrl("http://s/?q=thisisreplacedwithactualtext", "x"), "http://s/?q=thisisreplacedwithactualtext");
  EXPECT_EQ(BuildSearchUrl("", "x"), "");
  EXPECT_EQ(PercentEncodeQuery("AZaz09-._~"), "AZaz09-._~");
  EXPECT_EQ(PercentEncodeQuery("a=b+c/d?#%"), "a%3Db%2Bc%2Fd%3F%23%25");
  EXPECT_EQ(PercentEncodeQuery("Bj\xC3\xB6rk"), "Bj%C3%B6rk");
}

TEST(SearchText, GoTakesTheTextAfterColonAndOneCharacter) {
  const struct {
    const char* text;
    const char* query;
  } cases[] = {{"abc: def", "def"}, {"abc:def", "ef"}, {"plain text ", "plain text "}, {"By Artist: Some Band", "Some Band"},
               {"a: b: c", "b: c"}, {"abc:", ""},      {"abc: ", ""},                   {"", ""}};
  for (const auto& c : cases) EXPECT_EQ(QueryFromSearchText(c.text), c.query) << c.text;
}

TEST(SearchText, ProposalsSkipMissingValues) {
  EXPECT_EQ(BuildSearchProposals({"Title", "Artist", "Album", "Year"}, {"Song", "Band", "(not available)", ""}),
            (Lines{"By Title: Song", "By Artist: Band", "By Year: "}));
  EXPECT_TRUE(BuildSearchProposals({"Title", "Artist"}, {"(not available)", "(not available)"}).empty());
}



TEST(SearchSites, ShippedFileOffersSitesWithThePlaceholder) {
  const TSearchSites sites = LoadSearchSites(std::string(SONARVEX_SOURCE_DIR) + "/data/programfolder/SEARCH.CFG");
  ASSERT_GE(sites.Entries.size(), 5u);
  for (const TSearchSiteEntry& entry : sites.Entries) {
    EXPECT_NE(sites.Templates[static_cast<std::size_t>(entry.Tag)].find(SearchPlaceholder), std::string::npos)
        << entry.Caption;
  }
}
}  // namespace

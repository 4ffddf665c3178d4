#include "app/UnitCommandLine.h"

#include <gtest/gtest.h>

namespace {

TEST(ParseCommandLine, ScanWithSubfolderSwitches) {
  auto c = ParseCommandLine({"/SCAN", "/music/My Songs", "/SUBFOLDERS"});
  EXPECT_EQ(c.Kind, TCommandKind::Scan);
  EXPECT_EQ(c.ScanPath, "/music/My Songs");
  EXPECT_EQ(c.Subfolders, TSubfoldersSwitch::On);

  c = ParseCommandLine({"/scan", "/music", "/nosubfolders"});
  EXPECT_EQ(c.Kind, TCommandKind::Scan);
  EXPECT_EQ(c.Subfolders, TSubfoldersSwitch::Off);

  // Any other third parameter leaves the option as it is; a missing path asks the user.
  EXPECT_EQ(ParseCommandLine({"/Scan", "/m", "/SUB"}).Subfolders, TSubfoldersSwitch::Unchanged);
  c = ParseCommandLine({"/SCAN"});
  EXPECT_EQ(c.Kind, TCommandKind::Scan);
  EXPECT_TRUE(c.ScanPath.empty());
}

TEST(ParseCommandLine, ReportTypeOutputAndLocations) {
  auto c = ParseCommandLine({"/REPORT", "4", "/tmp/out.htm", "/a", "/b c"});
  EXPECT_EQ(c.Kind, TCommandKind::Report);
  EXPECT_EQ(c.ReportType, 4);
  EXPECT_EQ(c.ReportOutput, "/tmp/out.htm");
  EXPECT_EQ(c.ReportLocations, (std::vector<std::string>{"/a", "/b c"}));

  // A type that is not a number is type 2; three parameters mean no location.
  c = ParseCommandLine({"/report", "html", "/tmp/out.htm"});
  EXPECT_EQ(c.ReportType, 2);
  EXPECT_TRUE(c.ReportLocations.empty());
  EXPECT_EQ(ParseCommandLine({"/REPORT", "99999999999", "x"}).ReportType, 2);
  EXPECT_EQ(ParseCommandLine({"/REPORT", "-1", "x"}).ReportType, -1);
}

TEST(ParseCommandLine, FirstParameterDecides) {
  EXPECT_EQ(ParseCommandLine({}).Kind, TCommandKind::None);
  EXPECT_EQ(ParseCommandLine({"/music", "/SCAN"}).Kind, TCommandKind::None);
  EXPECT_EQ(ParseCommandLine({"SCAN", "/music"}).Kind, TCommandKind::None);
  EXPECT_EQ(ParseCommandLine({"/SCANX"}).Kind, TCommandKind::None);
}

TEST(DecimalOrDefault, AcceptsOnlyWholeDecimalIntegers) {
  EXPECT_EQ(DecimalOrDefault("12", 2), 12);
  EXPECT_EQ(DecimalOrDefault("+3", 2), 3);
  EXPECT_EQ(DecimalOrDefault("", 2), 2);
  EXPECT_EQ(DecimalOrDefault("3x", 2), 2);
  EXPECT_EQ(DecimalOrDefault(" 3", 2), 2);
  EXPECT_EQ(DecimalOrDefault("0x10", 2), 2);
}

}  // namespace

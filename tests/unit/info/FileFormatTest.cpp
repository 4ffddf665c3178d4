#include "info/UnitFileFormat.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdint>

#include "InfoTestSupport.h"

namespace {

const TLocaleFormat& En = TLocaleFormat::English();

TLocaleFormat German() {
  TLocaleFormat fmt;
  fmt.ThousandSeparator = ".";
  fmt.DecimalSeparator = ",";
  fmt.DateSeparator = ".";
  fmt.TimeSeparator = "-";
  fmt.ShortDateFormat = "%d.%m.%Y";
  fmt.LongTimeFormat = "%H:%M:%S";
  return fmt;
}

TEST(FormatSizeKB, PadsToTwentyCharactersWithGrouping) {
  EXPECT_EQ(FormatSizeKB(ListSizePattern, 1536000, En), std::string(15, ' ') + "1,500 KB");
  EXPECT_EQ(FormatSizeKB(ListSizePattern, 0, En), std::string(19, ' ') + "0 KB");
  // Half a kilobyte rounds up, just under it rounds down.
  EXPECT_EQ(FormatSizeKB("%.0n", 512, En), "1");
  EXPECT_EQ(FormatSizeKB("%.0n", 511, En), "0");
  EXPECT_EQ(FormatSizeKB(ListSizePattern, -1, En), "");
  // The whole 64-bit size counts: 5 GiB is not shown as 1 GiB.
  EXPECT_EQ(FormatSizeKB("%.0n KB", 5LL * 1024 * 1024 * 1024, En), "5,242,880 KB");
  EXPECT_EQ(FormatSizeKB("%.0n KB", 1536000, German()), "1.500 KB");
}

TEST(FormatSizeKB, FixedWidthTextsSortLikeNumbers) {
  const auto small = FormatSizeKB(ListSizePattern, 9 * 1024, En);
  const auto large = FormatSizeKB(ListSizePattern, 10 * 1024, En);
  const auto huge = FormatSizeKB(ListSizePattern, 1000 * 1024, En);
  EXPECT_EQ(small.size(), large.size());
  EXPECT_LT(small, large);
  EXPECT_LT(large, huge);
}

TEST(FormatNumber, WidthCountsCharactersOfMultiByteSeparators) {
  TLocaleFormat fmt;
  fmt.ThousandSeparator = "\u202F";  // narrow no-break space, three bytes
  const auto text = FormatNumber("%10.0n|", 1234567, fmt);
  EXPECT_EQ(text, " 1\u202F234\u202F567|");
  TLocaleFormat none;
  none.ThousandSeparator = "";
  EXPECT_EQ(FormatNumber("%.2n", 1234567.125, none), "1234567.13");
  EXPECT_EQ(FormatNumber("%-6.0n|%%", 12, En), "12    |%");
  EXPECT_EQ(FormatNumber("%.1n", -0.04, En), "0.0");
}

TEST(FormatFileSize, ChoosesTheUnitLikeTheReport) {
  EXPECT_EQ(FormatFileSize(0, En), "0 bytes");
  EXPECT_EQ(FormatFileSize(1024, En), "1,024 bytes");
  EXPECT_EQ(FormatFileSize(1025, En), "1 KB");
  EXPECT_EQ(FormatFileSize(1048575, En), "1,024 KB");
  EXPECT_EQ(FormatFileSize(1048576, En), "1.0 MB");
  EXPECT_EQ(FormatFileSize(1073741824, En), "1.00 GB");
  EXPECT_EQ(FormatFileSize(5LL * 1073741824 + 536870912, En), "5.50 GB");
  EXPECT_EQ(FormatFileSize(1572864, German()), "1,5 MB");
  EXPECT_EQ(FormatFileSize(-5, En), "");
}

TEST(FormatAttributes, WordsInFixedOrder) {
  EXPECT_EQ(FormatAttributes(0x21), "Archive + ReadOnly");
  EXPECT_EQ(FormatAttributes(AttrDirectory), "Directory");
  EXPECT_EQ(FormatAttributes(0), "");
  EXPECT_EQ(FormatAttributes(0x37), "Archive + ReadOnly + Hidden + System + Directory");
  EXPECT_EQ(FormatAttributes(0x80 | 0x08 | AttrHidden), "Hidden");
}

TEST(FormatFileTime, TwoSecondResolutionAndLocaleSeparators) {
  const TFileTime t = infotest::LocalFileTime(2024, 3, 7, 13, 45, 31);
  EXPECT_EQ(FormatFileTime(t, ListTimePattern, En), "2024/03/07 13:45:30");
  EXPECT_EQ(FormatFileTime(t, ListTimePattern, German()), "2024.03.07 13-45-30");
  EXPECT_EQ(FormatFileTime(t, "d/m/yy h:n:s", En), "7/3/24 13:45:30");
  EXPECT_EQ(FormatFileTime(t, "'on' dd", En), "on 07");
}

TEST(FileTimeFromUnix, SubSecondPartBecomesTicks) {
  const TFileTime second = FileTimeFromUnix(1600000000);
  EXPECT_EQ(second, 132444736000000000LL);  // 2020-09-13 12:26:40 UTC in 100 ns ticks since 1601
  EXPECT_EQ(FileTimeFromUnix(1600000000, 500000000) - second, 5000000);
  EXPECT_EQ(FileTimeFromUnix(1600000000, 999999999) - second, 9999999);
  EXPECT_EQ(FileTimeFromUnix(1600000000, 12345) - second, 123);
  EXPECT_EQ(FileTimeFromUnix(1599999999, 1500000000) - second, 5000000);
  EXPECT_EQ(FileTimeFromUnix(1600000000, -1) - second, -1);  // 1 ns before the second falls into the tick before it
  // A time half a second past 13:45:31 still shows 13:45:30 (2-second resolution).
  const TFileTime local = infotest::LocalFileTime(2020, 5, 6, 13, 45, 31);
  EXPECT_EQ(FormatFileTime(local + 5000000, ListTimePattern, En), "2020/05/06 13:45:30");
}

TEST(FormatFileTime, ZeroIsEmptyAndOutOfRangeIsUnknown) {
  EXPECT_EQ(FormatFileTime(0, ListTimePattern, En), "");
  EXPECT_EQ(FormatFileTime(infotest::LocalFileTime(1979, 12, 31, 12, 0, 0), ListTimePattern, En),
            "(unknown)");
  EXPECT_EQ(FormatFileTime(infotest::LocalFileTime(2108, 1, 2, 12, 0, 0), ListTimePattern, En),
            "(unknown)");
  EXPECT_EQ(FormatFileTime(infotest::LocalFileTime(2107, 12, 31, 23, 59, 59), ListTimePattern, En),
            "2107/12/31 23:59:58");
  EXPECT_EQ(FormatFileTime(-1, ListTimePattern, En), "(unknown)");
  // Times some file systems can hold but no calendar here can show.
  EXPECT_EQ(FormatFileTime(FileTimeFromUnix(INT64_MAX / 2), ListTimePattern, En), "(unknown)");
  EXPECT_EQ(FormatFileTime(FileTimeFromUnix(INT64_MIN / 2), ListTimePattern, En), "(unknown)");
  EXPECT_EQ(FormatReportFileTime(FileTimeFromUnix(INT64_MAX), En), "(unknown)");
}

TEST(FileTimeToDosDateTime, PacksDateHighAndTimeLow) {
  const auto packed = FileTimeToDosDateTime(infotest::LocalFileTime(1980, 1, 1, 0, 0, 0));
  ASSERT_TRUE(packed);
  EXPECT_EQ(*packed, (((0U << 9) | (1U << 5) | 1U) << 16));
  const auto later = FileTimeToDosDateTime(infotest::LocalFileTime(2000, 2, 29, 23, 59, 59));
  ASSERT_TRUE(later);
  EXPECT_EQ(*later >> 16, (20U << 9) | (2U << 5) | 29U);
  EXPECT_EQ(*later & 0xFFFFU, (23U << 11) | (59U << 5) | 29U);
}

TEST(FormatReportFileTime, ShortDateAndLongTimeMidnightWithoutTime) {
  EXPECT_EQ(FormatReportFileTime(infotest::LocalFileTime(2024, 3, 7, 13, 45, 31), En),
            "03/07/2024 13:45:30");
  EXPECT_EQ(FormatReportFileTime(infotest::LocalFileTime(2024, 3, 7, 0, 0, 0), En), "03/07/2024");
  // One second past midnight packs to midnight itself (2-second resolution).
  EXPECT_EQ(FormatReportFileTime(infotest::LocalFileTime(2024, 3, 7, 0, 0, 1), En), "03/07/2024");
  EXPECT_EQ(FormatReportFileTime(infotest::LocalFileTime(2024, 3, 7, 0, 0, 2), En),
            "03/07/2024 00:00:02");
  EXPECT_EQ(FormatReportFileTime(infotest::LocalFileTime(2024, 3, 7, 0, 0, 2), German()),
            "07.03.2024 00:00:02");
  EXPECT_EQ(FormatReportFileTime(0, En), "");
  EXPECT_EQ(FormatReportFileTime(infotest::LocalFileTime(1975, 5, 1, 10, 0, 0), En), "(unknown)");
}

TEST(FormatReportFileTime, WeekdayAndDayOfYearForDatePatternsThatNameThem) {
  TLocaleFormat fmt = En;
  fmt.ShortDateFormat = "%a %j";
  const struct {
    int Year, Month, Day;
    const char* Expected;
  } cases[] = {{1980, 1, 1, "Tue 001"}, {2024, 2, 29, "Thu 060"}, {2024, 12, 31, "Tue 366"},
               {2107, 12, 31, "Sat 365"}};
  for (const auto& c : cases)
    EXPECT_EQ(FormatReportFileTime(infotest::LocalFileTime(c.Year, c.Month, c.Day, 0, 0, 0), fmt), c.Expected);
}

TEST(ReadUserLocaleFormat, TheCLocaleHasNoGroupingAndPlainSeparators) {
  const char* previous = std::setlocale(LC_ALL, nullptr);
  const std::string saved = previous != nullptr ? previous : "C";
  std::setlocale(LC_ALL, "C");
  const TLocaleFormat fmt = ReadUserLocaleFormat();
  std::setlocale(LC_ALL, saved.c_str());
  EXPECT_EQ(fmt.ThousandSeparator, "");
  EXPECT_EQ(fmt.DecimalSeparator, ".");
  EXPECT_EQ(fmt.DateSeparator, "/");
  EXPECT_EQ(fmt.TimeSeparator, ":");
  EXPECT_EQ(fmt.ShortDateFormat, "%m/%d/%y");
  EXPECT_EQ(FormatNumber("%.0n", 1234567, fmt), "1234567");
}

}  // namespace

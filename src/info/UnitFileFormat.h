#pragma once
// Display texts for file properties: sizes, file times and attribute bits.
// Everything that depends on the user's locale comes in through a TLocaleFormat, so the
// texts can be produced (and tested) for any locale whatever the machine's own one is.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The number, date and time conventions the texts are written in.
// Separators are UTF-8 texts: a locale's separator may be several bytes (a narrow no-break
// space, for example) or empty (no digit grouping).
struct TLocaleFormat {
  std::string ThousandSeparator = ",";
  std::string DecimalSeparator = ".";
  // Stand in for "/" and ":" in the list's date pattern "yyyy/mm/dd hh:nn:ss".
  std::string DateSeparator = "/";
  std::string TimeSeparator = ":";
  // strftime patterns, as the C library's LC_TIME gives them (D_FMT and T_FMT).
  std::string ShortDateFormat = "%m/%d/%Y";
  std::string LongTimeFormat = "%H:%M:%S";

  // English conventions, independent of the machine: 1,500.5 and 12/31/2024 23:59:58.
  static const TLocaleFormat& English();
};

// The conventions of the current C locale (LC_NUMERIC and LC_TIME); the program sets the
// user's locale with setlocale(LC_ALL, "") before it calls this.
TLocaleFormat ReadUserLocaleFormat();

// A file time: 100-nanosecond ticks since 1601-01-01 00:00:00 UTC; 0 means "no time".
using TFileTime = std::int64_t;
TFileTime FileTimeFromUnix(std::int64_t seconds, std::int64_t nanoseconds = 0);

// Local time of a file time packed the DOS way: date in the high 16 bits (years since 1980,
// month, day), time in the low 16 bits (hour, minute, seconds / 2). No value when the time
// cannot be converted or lies outside 1980 to 2107.
std::optional<std::uint32_t> FileTimeToDosDateTime(TFileTime time);

// Formats one number after a pattern made of literal text and "%[-][width][.precision]n"
// conversions (and "%%"): the number rounded to the precision (half away from zero), digits
// grouped by threes with the thousands separator, padded with blanks to the width (counted
// in characters, not bytes). "%20.0n KB" is the list's size pattern.
std::string FormatNumber(std::string_view pattern, double value, const TLocaleFormat& fmt);

// bytes / 1024 formatted with the pattern; empty for a negative count.
std::string FormatSizeKB(std::string_view pattern, std::int64_t bytes, const TLocaleFormat& fmt);
inline constexpr std::string_view ListSizePattern = "%20.0n KB";

// Size in the largest fitting unit: "%.2n GB", "%.1n MB", "%.0n KB" (above 1024 bytes) or
// "%.0n bytes"; empty for a negative count.
std::string FormatFileSize(std::int64_t bytes, const TLocaleFormat& fmt);

// Formats the file time's local DOS date and time after a pattern of yyyy, yy, mm, m, dd, d,
// hh, h, nn, n, ss, s; "/" becomes the date separator, ":" the time separator, text in double
// or single quotes is copied, everything else stands as it is.
// Zero time: empty text. Not convertible (before 1980, after 2107): "(unknown)".
std::string FormatFileTime(TFileTime time, std::string_view pattern, const TLocaleFormat& fmt);
inline constexpr std::string_view ListTimePattern = "yyyy/mm/dd hh:nn:ss";

// As FormatFileTime, in the locale's short date format, a blank and its long time format; the
// time is left out when it is exactly midnight.
std::string FormatReportFileTime(TFileTime time, const TLocaleFormat& fmt);

// Attribute bits (the platform-neutral set the file lookup reports).
inline constexpr std::uint32_t AttrReadOnly = 0x01;
inline constexpr std::uint32_t AttrHidden = 0x02;
inline constexpr std::uint32_t AttrSystem = 0x04;
inline constexpr std::uint32_t AttrDirectory = 0x10;
inline constexpr std::uint32_t AttrArchive = 0x20;

// "Archive + ReadOnly + Hidden + System + Directory" for the set bits, in that order; other
// bits are ignored; empty when none is set.
std::string FormatAttributes(std::uint32_t bits);

inline constexpr std::string_view NotAvailableText = "(not available)";
inline constexpr std::string_view UnknownTimeText = "(unknown)";

#include "info/UnitFileFormat.h"

#include <clocale>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <limits>
#include <langinfo.h>

#include <utility>

namespace {

// Ticks between 1601-01-01 and 1970-01-01.
constexpr std::int64_t UnixEpochTicks = 116444736000000000LL;
constexpr std::int64_t TicksPerSecond = 10000000LL;

std::size_t Utf8Length(std::string_view text) {
  std::size_t count = 0;
  for (const char c : text) {
    if ((static_cast<unsigned char>(c) & 0xC0U) != 0x80U) {
      ++count;
    }
  }
  return count;
}

std::string GroupThousands(const std::string& digits, const std::string& separator) {
  std::string out;
  const std::size_t n = digits.size();
  for (std::size_t i = 0; i < n; ++i) {
    if (i > 0 && (n - i) % 3 == 0) {
      out += separator;
    }
    out += digits[i];
  }
  return out;
}

// The number with `precision` decimals, rounded half away from zero, grouped.
std::string NumberText(double value, int precision, const TLocaleFormat& fmt) {
  if (!std::isfinite(value)) {
    return std::string();
  }
  const bool negative = value < 0;
  long double scaled = std::fabs(static_cast<long double>(value));
  for (int i = 0; i < precision; ++i) {
    scaled *= 10;
  }
  scaled = std::floor(scaled + 0.5L);
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.0Lf", scaled);
  std::string digits = buffer;
  if (digits.size() <= static_cast<std::size_t>(precision)) {
    digits.insert(0, static_cast<std::size_t>(precision) + 1 - digits.size(), '0');
  }
  const std::size_t intLength = digits.size() - static_cast<std::size_t>(precision);
  std::string out = GroupThousands(digits.substr(0, intLength), fmt.ThousandSeparator);
  if (precision > 0) {
    out += fmt.DecimalSeparator;
    out += digits.substr(intLength);
  }
  if (negative && scaled != 0) {
    out.insert(0, "-");
  }
  return out;
}

int ReadDecimal(std::string_view pattern, std::size_t& pos) {
  int value = 0;
  while (pos < pattern.size() && pattern[pos] >= '0' && pattern[pos] <= '9' && value < 1000) {
    value = value * 10 + (pattern[pos] - '0');
    ++pos;
  }
  return value;
}

// One "%[-][width][.precision]n" conversion starting after the "%"; appends its text.
void AppendConversion(std::string_view pattern, std::size_t& pos, double value,
                      const TLocaleFormat& fmt, std::string& out) {
  bool leftAlign = false;
  if (pos < pattern.size() && pattern[pos] == '-') {
    leftAlign = true;
    ++pos;
  }
  const int width = ReadDecimal(pattern, pos);
  int precision = 2;
  if (pos < pattern.size() && pattern[pos] == '.') {
    ++pos;
    precision = ReadDecimal(pattern, pos);
    if (precision > 18) {
      precision = 18;
    }
  }
  if (pos >= pattern.size()) {
    return;
  }
  const char kind = pattern[pos++];
  if (kind != 'n' && kind != 'N') {
    return;
  }
  const std::string number = NumberText(value, precision, fmt);
  const std::size_t length = Utf8Length(number);
  const std::size_t pad = static_cast<std::size_t>(width) > length ? width - length : 0;
  if (!leftAlign) {
    out.append(pad, ' ');
  }
  out += number;
  if (leftAlign) {
    out.append(pad, ' ');
  }
}

struct TDosFields {
  int Year, Month, Day, Hour, Minute, Second;
};

TDosFields UnpackDos(std::uint32_t packed) {
  const std::uint32_t date = packed >> 16;
  const std::uint32_t time = packed & 0xFFFFU;
  return TDosFields{static_cast<int>((date >> 9) + 1980), static_cast<int>((date >> 5) & 0x0F),
                    static_cast<int>(date & 0x1F), static_cast<int>(time >> 11),
                    static_cast<int>((time >> 5) & 0x3F), static_cast<int>((time & 0x1F) * 2)};
}

std::string TwoDigits(int value) {
  std::string text = std::to_string(value);
  return text.size() < 2 ? "0" + text : text;
}

std::size_t RunLength(std::string_view pattern, std::size_t pos) {
  std::size_t n = 1;
  const char c = static_cast<char>(pattern[pos] | 0x20);
  while (pos + n < pattern.size() && static_cast<char>(pattern[pos + n] | 0x20) == c) {
    ++n;
  }
  return n;
}

void AppendField(char letter, std::size_t run, const TDosFields& f, std::string& out) {
  int value = 0;
  switch (letter) {
    case 'y':
      out += run >= 3 ? std::to_string(f.Year) : TwoDigits(f.Year % 100);
      return;
    case 'm': value = f.Month; break;
    case 'd': value = f.Day; break;
    case 'h': value = f.Hour; break;
    case 'n': value = f.Minute; break;
    default: value = f.Second; break;
  }
  out += run >= 2 ? TwoDigits(value) : std::to_string(value);
}

std::string FormatDosFields(const TDosFields& f, std::string_view pattern,
                            const TLocaleFormat& fmt) {
  std::string out;
  std::size_t pos = 0;
  while (pos < pattern.size()) {
    const char c = pattern[pos];
    const char lower = static_cast<char>(c | 0x20);
    if (c == '"' || c == '\'') {
      const auto end = pattern.find(c, pos + 1);
      const auto stop = end == std::string_view::npos ? pattern.size() : end;
      out += pattern.substr(pos + 1, stop - pos - 1);
      pos = stop + 1;
    } else if (c == '/') {
      out += fmt.DateSeparator;
      ++pos;
    } else if (c == ':') {
      out += fmt.TimeSeparator;
      ++pos;
    } else if (lower == 'y' || lower == 'm' || lower == 'd' || lower == 'h' || lower == 'n' ||
               lower == 's') {
      const std::size_t run = RunLength(pattern, pos);
      AppendField(lower, run, f, out);
      pos += run;
    } else {
      out += c;
      ++pos;
    }
  }
  return out;
}

// Days from 1970-01-01 to a date of the proleptic Gregorian calendar.
int DaysFromCivil(int year, int month, int day) {
  year -= month <= 2 ? 1 : 0;
  const int era = (year >= 0 ? year : year - 399) / 400;
  const int yearOfEra = year - era * 400;
  const int dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const int dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return era * 146097 + dayOfEra - 719468;
}

std::string StrFTime(const std::string& pattern, const TDosFields& f) {
  if (pattern.empty()) {
    return std::string();
  }
  std::tm tm{};
  tm.tm_year = f.Year - 1900;
  tm.tm_mon = f.Month - 1;
  tm.tm_mday = f.Day;
  tm.tm_hour = f.Hour;
  tm.tm_min = f.Minute;
  tm.tm_sec = f.Second;
  tm.tm_isdst = -1;
  // Weekday and day of the year by arithmetic: mktime would look at the time zone file again on
  // every call, and a report formats three times per file.
  if (f.Month >= 1 && f.Month <= 12) {
    const int days = DaysFromCivil(f.Year, f.Month, f.Day);
    tm.tm_wday = ((days % 7) + 11) % 7;  // 1970-01-01 was a Thursday
    tm.tm_yday = days - DaysFromCivil(f.Year, 1, 1);
  }
  char buffer[256];
  const std::size_t n = std::strftime(buffer, sizeof buffer, pattern.c_str(), &tm);
  return std::string(buffer, n);
}

// The first separator character a date or time pattern puts between two fields.
std::string SeparatorOf(const std::string& pattern, const std::string& fallback) {
  for (std::size_t i = 0; i + 1 < pattern.size(); ++i) {
    if (pattern[i] != '%') {
      continue;
    }
    const char conv = pattern[i + 1];
    if (conv == 'D' || conv == 'x') {
      return "/";
    }
    if (conv == 'T' || conv == 'r' || conv == 'R' || conv == 'X') {
      return ":";
    }
    if (conv == 'F') {
      return "-";
    }
    std::size_t j = i + 2;
    std::string separator;
    while (j < pattern.size() && pattern[j] != '%') {
      separator += pattern[j++];
    }
    if (!separator.empty() && j < pattern.size()) {
      return separator;
    }
  }
  return fallback;
}

std::string LangInfo(nl_item item) {
  const char* text = nl_langinfo(item);
  return text != nullptr ? std::string(text) : std::string();
}

}  // namespace

const TLocaleFormat& TLocaleFormat::English() {
  static const TLocaleFormat english;
  return english;
}

TLocaleFormat ReadUserLocaleFormat() {
  TLocaleFormat fmt;
  if (const std::lconv* conv = std::localeconv(); conv != nullptr) {
    fmt.ThousandSeparator = conv->thousands_sep != nullptr ? conv->thousands_sep : "";
    const std::string decimal = conv->decimal_point != nullptr ? conv->decimal_point : "";
    fmt.DecimalSeparator = decimal.empty() ? "." : decimal;
  }
  const std::string date = LangInfo(D_FMT);
  std::string time = LangInfo(T_FMT);
  if (time.empty()) {
    time = LangInfo(T_FMT_AMPM);
  }
  if (!date.empty()) {
    fmt.ShortDateFormat = date;
  }
  if (!time.empty()) {
    fmt.LongTimeFormat = time;
  }
  fmt.DateSeparator = SeparatorOf(fmt.ShortDateFormat, "/");
  fmt.TimeSeparator = SeparatorOf(fmt.LongTimeFormat, ":");
  return fmt;
}

TFileTime FileTimeFromUnix(std::int64_t seconds, std::int64_t nanoseconds) {
  // A tick is 100 ns; whole seconds in the nanoseconds (which a timespec never has, but a
  // caller might pass) move into seconds, so the remainder is below one second.
  constexpr std::int64_t NanosecondsPerSecond = 1000000000LL;
  seconds += nanoseconds / NanosecondsPerSecond;
  nanoseconds %= NanosecondsPerSecond;
  if (nanoseconds < 0) {
    nanoseconds += NanosecondsPerSecond;
    --seconds;
  }
  // Some file systems store times far outside what the ticks can hold; such a time saturates
  // and then counts as not convertible ("(unknown)") instead of wrapping around.
  constexpr std::int64_t Limit = (std::numeric_limits<std::int64_t>::max() - UnixEpochTicks) /
                                 TicksPerSecond - 1;
  if (seconds > Limit) {
    return std::numeric_limits<std::int64_t>::max();
  }
  if (seconds < -Limit) {
    return -1;
  }
  return UnixEpochTicks + seconds * TicksPerSecond + nanoseconds / 100;
}

std::optional<std::uint32_t> FileTimeToDosDateTime(TFileTime time) {
  if (time < 0) {
    return std::nullopt;
  }
  const std::int64_t unixTicks = time - UnixEpochTicks;
  // Floor division, so a time before 1970 still lands in the right second.
  std::int64_t seconds = unixTicks / TicksPerSecond;
  if (unixTicks % TicksPerSecond < 0) {
    --seconds;
  }
  const auto t = static_cast<std::time_t>(seconds);
  std::tm local{};
  if (localtime_r(&t, &local) == nullptr) {
    return std::nullopt;
  }
  const int year = local.tm_year + 1900;
  if (year < 1980 || year > 2107) {
    return std::nullopt;
  }
  const auto date = static_cast<std::uint32_t>(((year - 1980) << 9) | ((local.tm_mon + 1) << 5) |
                                               local.tm_mday);
  const int second = local.tm_sec > 59 ? 59 : local.tm_sec;
  const auto clock =
      static_cast<std::uint32_t>((local.tm_hour << 11) | (local.tm_min << 5) | (second / 2));
  return (date << 16) | clock;
}

std::string FormatNumber(std::string_view pattern, double value, const TLocaleFormat& fmt) {
  std::string out;
  std::size_t pos = 0;
  while (pos < pattern.size()) {
    const char c = pattern[pos++];
    if (c != '%') {
      out += c;
    } else if (pos < pattern.size() && pattern[pos] == '%') {
      out += '%';
      ++pos;
    } else {
      AppendConversion(pattern, pos, value, fmt, out);
    }
  }
  return out;
}

std::string FormatSizeKB(std::string_view pattern, std::int64_t bytes, const TLocaleFormat& fmt) {
  if (bytes < 0) {
    return std::string();
  }
  return FormatNumber(pattern, static_cast<double>(bytes) / 1024.0, fmt);
}

std::string FormatFileSize(std::int64_t bytes, const TLocaleFormat& fmt) {
  if (bytes < 0) {
    return std::string();
  }
  const double kb = static_cast<double>(bytes) / 1024.0;
  const double mb = static_cast<double>(bytes) / 1048576.0;
  if (mb >= 1024.0) {
    return FormatNumber("%.2n GB", mb / 1024.0, fmt);
  }
  if (kb >= 1024.0) {
    return FormatNumber("%.1n MB", kb / 1024.0, fmt);
  }
  if (bytes > 1024) {
    return FormatNumber("%.0n KB", kb, fmt);
  }
  return FormatNumber("%.0n bytes", static_cast<double>(bytes), fmt);
}

std::string FormatFileTime(TFileTime time, std::string_view pattern, const TLocaleFormat& fmt) {
  if (time == 0) {
    return std::string();
  }
  const auto packed = FileTimeToDosDateTime(time);
  if (!packed || *packed == 0) {
    return std::string(UnknownTimeText);
  }
  return FormatDosFields(UnpackDos(*packed), pattern, fmt);
}

std::string FormatReportFileTime(TFileTime time, const TLocaleFormat& fmt) {
  if (time == 0) {
    return std::string();
  }
  const auto packed = FileTimeToDosDateTime(time);
  if (!packed || *packed == 0) {
    return std::string(UnknownTimeText);
  }
  const TDosFields fields = UnpackDos(*packed);
  std::string text = StrFTime(fmt.ShortDateFormat, fields);
  if ((*packed & 0xFFFFU) != 0) {
    text += ' ';
    text += StrFTime(fmt.LongTimeFormat, fields);
  }
  return text;
}

std::string FormatAttributes(std::uint32_t bits) {
  static constexpr std::pair<std::uint32_t, std::string_view> Words[] = {
      {AttrArchive, "Archive"}, {AttrReadOnly, "ReadOnly"}, {AttrHidden, "Hidden"},
      {AttrSystem, "System"},   {AttrDirectory, "Directory"}};
  std::string text;
  for (const auto& [bit, word] : Words) {
    if ((bits & bit) != 0) {
      if (!text.empty()) {
        text += " + ";
      }
      text += word;
    }
  }
  return text;
}

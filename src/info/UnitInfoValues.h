#pragma once
// The display text of an info type for one file: file-system properties straight from the
// path, tag fields through the tag engine. Used by the file list, the details page and the
// report.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/UnitGlobals.h"
#include "info/UnitFileFormat.h"

class TID3Engine;
class TTagSource;

// The code of a code=caption line (its first four characters) and its caption (from the
// sixth character on; empty for a shorter line).
std::string_view InfoCodeOf(std::string_view line);
std::string_view InfoCaptionOf(std::string_view line);

// Windows show at most this many characters of one value; reports keep the whole text.
inline constexpr std::size_t MaxDisplayCharacters = 4096;
// The text cut after MaxDisplayCharacters characters (UTF-8), with "..." where it was cut.
std::string CutForDisplay(std::string text);

// The display text of one info code for the file named by engine's FileName, which the caller
// has opened for tag codes. Never empty: "(not available)" when there is no value.
// "0..." codes look the path up in the file system (one look-up per call); "1TIT", "1ART",
// "1ALB", "1YEA", "1GEN" read the engine's basic fields; any other code is a frame identifier
// taken as it stands. Cut as CutForDisplay does. Errors of a frame look-up are swallowed; an error reading a basic field
// (a damaged compressed frame) passes to the caller.
std::string GetInfoValue(TID3Engine& engine, std::string_view code, const TLocaleFormat& fmt);
// The same from a tag source the caller made once for the file at path.
std::string GetInfoValue(const TTagSource& source, const std::string& path, std::string_view code,
                         const TLocaleFormat& fmt);

// The audio property types: "2DUR", "2BIT", "2SMP", "2CHN", "2BPS", "2COD", "2TAG".
bool IsAudioInfoCode(std::string_view code);
// Those of them that sort by their number: duration, bitrate, sample rate, channels, bits.
bool IsNumericInfoCode(std::string_view code);
// The number a numeric audio code sorts by (milliseconds, kbps, Hz, channels, bits); 0 when the
// file does not tell. Reads only the stream's headers; never throws.
std::int64_t GetSortNumber(const std::string& path, std::string_view code);
// "m:ss" under an hour, "h:mm:ss" from an hour (rounded to the second); empty for no length.
std::string FormatDuration(int milliseconds);
// "Mono", "Stereo", "N channels"; empty for none.
std::string FormatChannels(int channels);

// The value of a file-system code ("0NAM", "0SIZ", ...) for a path, without any tag engine:
// what GetInfoValue gives for that code. "(not available)" for any other code.
std::string GetFileInfoValue(const std::string& path, std::string_view code,
                             const TLocaleFormat& fmt);

// The texts of all used info types for one file, one per line of `used`, in order. Opens and
// closes the engine itself and never throws: a file that cannot be opened or read still shows
// what the path and the file system give, and "(not available)" for the rest.
std::vector<std::string> GetRowValues(TID3Engine& engine, const std::string& path,
                                      const TStringList& used, const TLocaleFormat& fmt);

// One column of a report row.
struct TReportValue {
  std::string Caption;
  std::string Value;  // empty where the list would show "(not available)"
};

// The report's values for one file: one entry per column, in order, except that a "0..." or
// "1..." code the report does not know adds nothing (so captions and values stay aligned).
// Sizes as FormatFileSize, times as FormatReportFileTime. An empty path opens nothing (the
// caption row). Never throws: when opening the file or computing a value fails, the entries
// collected so far are returned and the rest of the file's columns add nothing.
std::vector<TReportValue> GetReportValues(TID3Engine& engine, const std::string& path,
                                          const TStringList& columns, const TLocaleFormat& fmt);

// The same values handed one at a time to `visit` (caption, value), without collecting them;
// the file-system codes share one look-up of the path.
using TReportValueVisitor = std::function<void(std::string_view caption, std::string&& value)>;
void VisitReportValues(TID3Engine& engine, const std::string& path, const TStringList& columns,
                       const TLocaleFormat& fmt, const TReportValueVisitor& visit);

// The file type's description ("MP3 audio"), at most 80 characters, empty when unknown.
// The core knows no type names itself; the user interface installs a provider.
using TShellTypeNameProvider = std::function<std::string(const std::string& path)>;
void SetShellTypeNameProvider(TShellTypeNameProvider provider);
std::string GetShellTypeName(const std::string& path);

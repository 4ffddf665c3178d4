#pragma once
// The details page of one file as data: lines of bold and regular runs, rendered by the
// details widget and written out as RTF or plain text.

#include <string>
#include <vector>

#include "core/UnitGlobals.h"
#include "info/UnitFileFormat.h"

class TID3Engine;

struct TDetailsRun {
  std::string Text;  // UTF-8 (paths: the file system's bytes)
  bool Bold = false;
};
using TDetailsLine = std::vector<TDetailsRun>;

struct TDetails {
  // First line: bold " Full File Name and Path:  " and the path. Then one line per info type
  // with a value, used types first, then unused ones: bold " caption:  " and the value
  // (trimmed of blanks and control characters at both ends).
  std::vector<TDetailsLine> Lines;
  // From the 1TIT and 1ART lines when they have a value; empty otherwise.
  std::string CurrentTitle;
  std::string CurrentArtist;
  // Empty, or why the file could not be read to the end (the lines so far stay). The caller
  // shows it as a failure; building itself never throws.
  std::string Error;
};

// Opens the engine on the path, reads every used and unused info type and closes it again.
TDetails BuildDetails(TID3Engine& engine, const std::string& path, const TStringList& used,
                      const TStringList& unused, const TLocaleFormat& fmt);

// "  Now playing Artist - Title" when both are known, else "  Now playing " + the row caption.
std::string NowPlayingText(const TDetails& details, const std::string& rowCaption);

// A whole RTF document: Arial, bold runs, "\par" line ends, non-ASCII as \uN escapes.
std::string DetailsToRtf(const std::vector<TDetailsLine>& lines);
// The runs' texts, every line ended by CR LF.
std::string DetailsToPlainText(const std::vector<TDetailsLine>& lines);
// True when the file name's extension, upper-cased, is ".RTF": such files get rich text.
bool IsRtfFileName(const std::string& path);
// The file a save writes: a name without an extension gets the suffix of the chosen file type,
// ".rtf" for rich text, else ".txt"; a name with one keeps it as it is (".TXT" stays).
std::string DetailsSaveFileName(const std::string& chosen, bool richTextChosen);

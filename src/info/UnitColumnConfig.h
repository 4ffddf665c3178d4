#pragma once
// Column configuration files (.itc): the used and the unused info types as code=caption
// lines, the used ones after a "USED" line, the unused ones after a "NOTUSED" line.

#include <string>

#include "core/UnitGlobals.h"

inline constexpr std::string_view DefaultColumnFileName = "Default.itc";
inline constexpr std::string_view ReportColumnFileName = "Reports.itc";

// Empties both lists, then fills them from the file. Markers count only as exact whole lines;
// empty lines are skipped; lines before the first marker are used types; every other line is
// kept as it stands (short lines and duplicates too, captions are not looked up). Catalogue
// types whose code no line carries are then appended to the unused list, in catalogue order.
// Throws EFileError when the file cannot be read (both lists then stay empty).
void LoadColumnConfiguration(const std::string& path, TStringList& used, TStringList& unused);

// Writes "USED", the used lines, "NOTUSED", the unused lines (CR LF), replacing the file
// atomically. Throws EFileError on failure; the old file is then untouched.
void SaveColumnConfiguration(const std::string& path, const TStringList& used,
                             const TStringList& unused);

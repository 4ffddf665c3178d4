#pragma once
// The deletion/destruction log: its header item and its lines as shown and saved.

#include <ctime>
#include <string>

#include "core/UnitGlobals.h"
#include "info/UnitFileFormat.h"

// The header item: one entry holding the first lines (title, program, date and time) with their
// line breaks, CR LF, inside it. Date and time in the locale's short date and long time formats.
std::string DestroyLogHeader(std::time_t when, const TLocaleFormat& fmt);

// The log as lines: every item ends one line, and the line breaks inside an item (the header's)
// make more lines of it.
TStringList DestroyLogLines(const TStringList& log);

// The log lines of one file's outcome.
std::string DeletedLine(const std::string& path, bool ok);
std::string DestroyedLine(const std::string& path, bool ok);

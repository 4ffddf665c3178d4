#pragma once
// The text form of what the tag engine reads from a file: one TAB-separated record per line
// (FILE, ACTIVE, HEADER, EXT, FRAME..., PROP..., or ERROR, then END), as id3dump prints it.

#include <string>
#include <string_view>

class TID3Engine;

// Valid UTF-8 (U+FFFD for each byte that is not), with backslash as \\, TAB as \t, LF as \n,
// CR as \r and other bytes below 0x20 as \xHH.
std::string EscapeDumpField(std::string_view text);
// Opens path in engine (FileName, Active := true), describes it, and closes it again. Errors
// while opening or reading become an ERROR record.
std::string DumpID3File(TID3Engine& engine, const std::string& path);

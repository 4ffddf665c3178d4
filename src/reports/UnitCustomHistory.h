#pragma once
// The location history of the custom location dialog, CUSTHIST.CFG: one location per line,
// oldest first. The file may hold duplicates and empty lines; the dialog shows each location
// once, at its first occurrence.

#include <string>
#include <string_view>
#include <vector>

inline constexpr std::string_view CustomHistoryFileName = "CUSTHIST.CFG";

// CUSTHIST.CFG in the program folder.
std::string CustomHistoryFile();

// The entries the dialog offers: empty lines and lines equal (byte for byte) to an earlier
// entry are dropped; the order of first occurrences is kept.
std::vector<std::string> DistinctHistoryEntries(const std::vector<std::string>& lines);

// The history as the dialog shows it. A missing or unreadable file gives an empty history;
// this never throws.
std::vector<std::string> LoadCustomHistory(const std::string& path);
// Replaces the file atomically with one entry per line (an empty list leaves an empty file).
// Throws EFileError.
void SaveCustomHistory(const std::string& path, const std::vector<std::string>& entries);

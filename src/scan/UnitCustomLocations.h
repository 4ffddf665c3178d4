#pragma once
// The custom scan locations of CUSTTARG.CFG: one path per line, in list order.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

inline constexpr std::string_view CustomLocationsFileName = "CUSTTARG.CFG";

// CUSTTARG.CFG in the program folder.
std::string CustomLocationsFile();

// Paths in file order. Empty lines (hand editing) are dropped: an empty location scans nothing.
// Throws EFileError when the file is missing or unreadable.
std::vector<std::string> LoadCustomLocations(const std::string& path);
// Same, but a missing or unreadable file gives an empty list (the main window's start-up rule).
std::vector<std::string> LoadCustomLocationsOrEmpty(const std::string& path);
// Replaces the file atomically; empty paths are not written. Throws EFileError.
void SaveCustomLocations(const std::string& path, const std::vector<std::string>& locations);

// Two paths name the same location when their bytes are equal: file names are case-sensitive,
// and a trailing separator makes a different location.
bool SameLocation(std::string_view a, std::string_view b);
// Index of the first entry that is the same location as `path`.
std::optional<std::size_t> FindLocation(const std::vector<std::string>& locations, std::string_view path);

#pragma once
// The file type groups of EXTENSIO.CFG and the scan filter built from the selected ones.
//
// One group per line: the selected flag ("1" or "0"), the group name, "=", and the extensions
// text, each extension in double quotes and the items joined by commas ("\".MP3\",\".MP2\"").

#include <string>
#include <string_view>
#include <vector>

inline constexpr std::string_view FileTypesFileName = "EXTENSIO.CFG";

struct TFileTypeGroup {
  std::string Name;
  std::string Extensions;  // the quoted, comma-separated text, kept as stored
  bool Selected = false;
};

using TFileTypeGroups = std::vector<TFileTypeGroup>;

// EXTENSIO.CFG in the data folder, where the File Types dialog saves the user's choice.
std::string FileTypesFile();
// The EXTENSIO.CFG to read: the user's own copy, else the one shipped with the program.
std::string FileTypesSourceFile();

// Splits one line at its first "=". Lines without "=" or without a group name (nothing between
// the flag character and the "=") are not groups: they can only come from hand editing, and
// both the dialog and the filter pass over them, so what the dialog shows is what is scanned.
bool ParseFileTypeLine(std::string_view line, TFileTypeGroup& group);
std::string FormatFileTypeLine(const TFileTypeGroup& group);
TFileTypeGroups ParseFileTypes(const std::vector<std::string>& lines);

// Throws EFileError when the file is missing or unreadable.
TFileTypeGroups LoadFileTypes(const std::string& path);
// Replaces the file atomically; throws EFileError.
void SaveFileTypes(const std::string& path, const TFileTypeGroups& groups);

// The extensions texts of the selected groups joined by commas and upper-cased (ASCII only).
// A file with no group at all (empty, or nothing but unusable lines) gives DefaultScanFilter
// rather than a filter that matches nothing.
std::string BuildScanFilter(const TFileTypeGroups& groups);

// Rebuilds ScanFilter from EXTENSIO.CFG (FileTypesSourceFile()) and returns it. Throws EFileError
// when the file is missing or unreadable; ScanFilter is then left empty and the caller decides
// what follows (at start-up: DefaultScanFilter).
std::string ApplyFileTypes();

// An extensions text as memo lines: comma-separated items, double-quoted items without their
// quotes (a doubled quote inside stands for one). Empty items are dropped.
std::vector<std::string> SplitExtensionsText(std::string_view text);
// Memo lines back to an extensions text: every non-empty line, exactly as typed, in quotes.
std::string JoinExtensionLines(const std::vector<std::string>& lines);

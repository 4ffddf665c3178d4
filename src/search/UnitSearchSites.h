#pragma once
// The search sites of SEARCH.CFG: one name=template line per site, split at the first "=".
// A template is the full address of a search endpoint with the placeholder where the query
// goes.

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/UnitGlobals.h"

inline constexpr std::string_view SearchSitesFileName = "SEARCH.CFG";
inline constexpr std::string_view SearchPlaceholder = "THISISREPLACEDWITHACTUALTEXT";

// One entry of the site menu: its caption and the index of its line in the file.
struct TSearchSiteEntry {
  std::string Caption;
  int Tag = 0;
};

// The loaded file: Templates has one item per line; a line that made a menu entry holds only
// its template, empty lines and lines starting with "=" stay as they were (and make no entry).
struct TSearchSites {
  TStringList Templates;
  std::vector<TSearchSiteEntry> Entries;
  // The line of the first menu entry, -1 when there is none.
  int FirstSite() const { return Entries.empty() ? -1 : Entries.front().Tag; }
  bool IsSite(int index) const;
};

// Name and template of one line; a line without "=" has an empty name and is all template.
std::pair<std::string, std::string> SplitSiteLine(const std::string& line);

TSearchSites ParseSearchSites(TStringList lines);
// Reads and parses the file. Throws EFileError when it cannot be read.
TSearchSites LoadSearchSites(const std::string& path);

// A row of the customize dialog.
struct TSearchSiteRow {
  std::string Name;
  std::string Template;
  bool operator==(const TSearchSiteRow&) const = default;
};

// Every line as a row. Throws EFileError when the file cannot be read.
std::vector<TSearchSiteRow> ReadSearchSiteRows(const std::string& path);
// Replaces the file (atomically) by the rows that have a name, as name=template lines.
// Throws EFileError (the old file kept) when it cannot be written.
void WriteSearchSiteRows(const std::string& path, const std::vector<TSearchSiteRow>& rows);

#pragma once
// The data behind the main file list: the row cache of the virtual list, the sort of the
// found files by one column, and building a row's texts when it is first painted.

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/UnitGlobals.h"
#include "info/UnitFileFormat.h"

class TID3Engine;

// One row of the list, in the order of FoundFileList. Texts are meaningful once Built. The
// row's path is the FoundFileList entry of the same index: a long list keeps each path once.
struct TRowCacheEntry {
  bool Built = false;
  int Icon = -1;  // set when built, by the icon provider; -1 when there is none
  std::vector<std::string> Texts;  // one per used column, in column order
};
using TRowCache = std::vector<TRowCacheEntry>;

// Icon index for a path (the user interface keeps the icon list).
using TIconIndexProvider = std::function<int(const std::string& path)>;
// The display texts of the used columns for one file; may throw.
using TRowTextsProvider = std::function<std::vector<std::string>(const std::string& path)>;

// Orders two sort texts: the ASCII letters compared without regard to case, every other byte
// by its value, a prefix before the longer text. <0, 0 or >0.
int CompareSortTexts(std::string_view a, std::string_view b);

// Column actually sorted by: sortColumn when it names a used column, else 0; -1 when there
// is no used column at all (the scan order stays).
int EffectiveSortColumn(const TStringList& used, int sortColumn);

// Told after each file a sort has read: files read so far and their total. Returning false
// cancels the sort.
using TSortProgress = std::function<bool(std::size_t done, std::size_t total)>;

struct TSortResult {
  bool Completed = true;
  // For each row after the sort, the index the file had before it (empty when cancelled).
  std::vector<std::size_t> FormerIndex;
};

// Whether sorting by the used column sortColumn opens the files (a tag column does; a
// file-system column and an empty column set do not).
bool SortReadsFiles(const TStringList& used, int sortColumn);

// Sorts the list by the value of the used column sortColumn (see EffectiveSortColumn), clears
// every check mark and resets the cache to one unbuilt entry per file. A file-system column
// ("0..." code) opens no file; a tag column opens each file once and reports each to progress.
// A file that cannot be read sorts as "(not available)". A cancelled sort leaves the order and
// the marks as they were (the cache is only made to match the list again). Never throws.
TSortResult SortFoundFiles(TFoundFileList& list, TRowCache& cache, TID3Engine& engine,
                           const TStringList& used, int sortColumn, bool ascending,
                           const TLocaleFormat& fmt, const TSortProgress& progress = {});

// One unbuilt cache entry per file, in list order.
void ResetRowCache(const TFoundFileList& list, TRowCache& cache);

// Builds cache row `row` of the file list[row] once, from textsOf and iconOf; later calls return
// at once. A row whose texts cannot be read keeps "(not available)" in each of its columnCount
// columns: a row is painted again and again, and failing (or reporting) on every paint would
// help nobody. Returns false for a row outside the cache or the list. Never throws.
bool EnsureRowBuilt(TRowCache& cache, const TFoundFileList& list, std::size_t row,
                    const TRowTextsProvider& textsOf, std::size_t columnCount,
                    const TIconIndexProvider& iconOf = {});
// The same with the texts of GetRowValues for the used info types, read through engine.
bool EnsureRowBuilt(TRowCache& cache, const TFoundFileList& list, std::size_t row, TID3Engine& engine,
                    const TStringList& used, const TLocaleFormat& fmt,
                    const TIconIndexProvider& iconOf = {});

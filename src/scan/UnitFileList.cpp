#include "scan/UnitFileList.h"

#include <algorithm>
#include <cstdint>
#include <exception>
#include <numeric>
#include <utility>

#include "id3/ID3Engine.h"
#include "info/UnitInfoValues.h"

namespace {

unsigned char SortKeyOf(char c) {
  const auto byte = static_cast<unsigned char>(c);
  return (byte >= 'a' && byte <= 'z') ? static_cast<unsigned char>(byte - ('a' - 'A')) : byte;
}

// The sort value of one file. A file-system code needs no tag, so the file is not opened.
std::string SortValueOf(TID3Engine& engine, const std::string& path, std::string_view code,
                        const TLocaleFormat& fmt) {
  if (code.starts_with('0')) {
    return GetFileInfoValue(path, code, fmt);
  }
  TStringList single{std::string(code)};
  std::vector<std::string> values = GetRowValues(engine, path, single, fmt);
  return values.empty() ? std::string(NotAvailableText) : std::move(values.front());
}

}  // namespace

int CompareSortTexts(std::string_view a, std::string_view b) {
  const std::size_t n = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i) {
    const unsigned char x = SortKeyOf(a[i]);
    const unsigned char y = SortKeyOf(b[i]);
    if (x != y) {
      return x < y ? -1 : 1;
    }
  }
  if (a.size() == b.size()) {
    return 0;
  }
  return a.size() < b.size() ? -1 : 1;
}

int EffectiveSortColumn(const TStringList& used, int sortColumn) {
  if (used.empty()) {
    return -1;
  }
  if (sortColumn < 0 || static_cast<std::size_t>(sortColumn) >= used.size()) {
    return 0;
  }
  return sortColumn;
}

void ResetRowCache(const TFoundFileList& list, TRowCache& cache) {
  cache.clear();
  cache.shrink_to_fit();
  cache.resize(list.size());
}

bool SortReadsFiles(const TStringList& used, int sortColumn) {
  const int column = EffectiveSortColumn(used, sortColumn);
  return column >= 0 && !InfoCodeOf(used[static_cast<std::size_t>(column)]).starts_with('0');
}

TSortResult SortFoundFiles(TFoundFileList& list, TRowCache& cache, TID3Engine& engine,
                           const TStringList& used, int sortColumn, bool ascending,
                           const TLocaleFormat& fmt, const TSortProgress& progress) {
  TSortResult result;
  std::vector<std::size_t> order(list.size());
  std::iota(order.begin(), order.end(), std::size_t{0});
  const int column = EffectiveSortColumn(used, sortColumn);
  if (column >= 0 && list.size() > 1) {
    const std::string code(InfoCodeOf(used[static_cast<std::size_t>(column)]));
    const bool reads = !code.starts_with('0');
    // Audio measures sort by their numbers, as the size column does by its padded figures.
    const bool numeric = IsNumericInfoCode(code);
    std::vector<std::string> keys;
    std::vector<std::int64_t> numbers;
    if (numeric) {
      numbers.reserve(list.size());
    } else {
      keys.reserve(list.size());
    }
    for (const TFoundFile& file : list) {
      if (numeric) {
        numbers.push_back(GetSortNumber(file.Path, code));
      } else {
        try {
          keys.push_back(SortValueOf(engine, file.Path, code, fmt));
        } catch (const std::exception&) {
          keys.emplace_back(NotAvailableText);
        }
      }
      const std::size_t done = numeric ? numbers.size() : keys.size();
      if (reads && progress && !progress(done, list.size())) {
        result.Completed = false;
        if (cache.size() != list.size()) ResetRowCache(list, cache);
        return result;
      }
    }
    // Stable, so files with equal values keep their scan order in either direction.
    std::stable_sort(order.begin(), order.end(), [&](std::size_t x, std::size_t y) {
      const int c = numeric ? (numbers[x] < numbers[y] ? -1 : (numbers[x] > numbers[y] ? 1 : 0))
                            : CompareSortTexts(keys[x], keys[y]);
      return ascending ? c < 0 : c > 0;
    });
    TFoundFileList sorted;
    sorted.reserve(list.size());
    for (const std::size_t i : order) {
      sorted.push_back(TFoundFile{std::move(list[i].Path), 0});
    }
    list = std::move(sorted);
  }
  // Paths built while scanning carry spare capacity; a long list keeps many of them, so they
  // are trimmed to their length here.
  for (TFoundFile& file : list) {
    file.Path.shrink_to_fit();
  }
  for (TFoundFile& file : list) {
    file.Checked = 0;
  }
  ResetRowCache(list, cache);
  result.FormerIndex = std::move(order);
  return result;
}

bool EnsureRowBuilt(TRowCache& cache, const TFoundFileList& list, std::size_t row,
                    const TRowTextsProvider& textsOf, std::size_t columnCount,
                    const TIconIndexProvider& iconOf) {
  if (row >= cache.size() || row >= list.size()) {
    return false;
  }
  TRowCacheEntry& entry = cache[row];
  if (entry.Built) {
    return true;
  }
  const std::string& path = list[row].Path;
  entry.Texts.clear();
  if (textsOf) {
    try {
      entry.Texts = textsOf(path);
    } catch (...) {
      entry.Texts.assign(columnCount, std::string(NotAvailableText));
    }
  }
  entry.Icon = -1;
  if (iconOf) {
    try {
      entry.Icon = iconOf(path);
    } catch (...) {
      entry.Icon = -1;
    }
  }
  entry.Built = true;
  return true;
}

bool EnsureRowBuilt(TRowCache& cache, const TFoundFileList& list, std::size_t row, TID3Engine& engine,
                    const TStringList& used, const TLocaleFormat& fmt,
                    const TIconIndexProvider& iconOf) {
  const TRowTextsProvider textsOf = [&](const std::string& path) { return GetRowValues(engine, path, used, fmt); };
  return EnsureRowBuilt(cache, list, row, textsOf, used.size(), iconOf);
}

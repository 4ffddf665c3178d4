#include "search/UnitSearchSites.h"

#include "core/UnitTextFiles.h"

bool TSearchSites::IsSite(int index) const {
  for (const TSearchSiteEntry& entry : Entries) {
    if (entry.Tag == index) return true;
  }
  return false;
}

std::pair<std::string, std::string> SplitSiteLine(const std::string& line) {
  const std::size_t eq = line.find('=');
  if (eq == std::string::npos) return {std::string(), line};
  return {line.substr(0, eq), line.substr(eq + 1)};
}

TSearchSites ParseSearchSites(TStringList lines) {
  TSearchSites sites;
  sites.Templates = std::move(lines);
  for (std::size_t i = 0; i < sites.Templates.size(); ++i) {
    std::string& line = sites.Templates[i];
    if (line.empty() || line.front() == '=') continue;
    auto [name, url] = SplitSiteLine(line);
    sites.Entries.push_back({std::move(name), static_cast<int>(i)});
    line = std::move(url);
  }
  return sites;
}

TSearchSites LoadSearchSites(const std::string& path) { return ParseSearchSites(ReadTextLines(path)); }

std::vector<TSearchSiteRow> ReadSearchSiteRows(const std::string& path) {
  std::vector<TSearchSiteRow> rows;
  for (const std::string& line : ReadTextLines(path)) {
    auto [name, url] = SplitSiteLine(line);
    rows.push_back({std::move(name), std::move(url)});
  }
  return rows;
}

void WriteSearchSiteRows(const std::string& path, const std::vector<TSearchSiteRow>& rows) {
  TStringList lines;
  for (const TSearchSiteRow& row : rows) {
    if (!row.Name.empty()) lines.push_back(row.Name + "=" + row.Template);
  }
  WriteTextLines(path, lines);
}

#include "search/UnitSearchText.h"

#include <algorithm>

#include "search/UnitSearchSites.h"

namespace {

bool Unreserved(unsigned char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '.' ||
         c == '_' || c == '~';
}

}  // namespace

std::string PercentEncodeQuery(std::string_view text) {
  static constexpr char Hex[] = "0123456789ABCDEF";
  std::string encoded;
  encoded.reserve(text.size());
  for (const char ch : text) {
    const auto c = static_cast<unsigned char>(ch);
    if (Unreserved(c)) {
      encoded += ch;
    } else {
      encoded += '%';
      encoded += Hex[c >> 4];
      encoded += Hex[c & 0x0F];
    }
  }
  return encoded;
}

std::string BuildSearchUrl(std::string_view searchTemplate, std::string_view query) {
  const std::string encoded = PercentEncodeQuery(query);
  std::string url;
  std::size_t from = 0;
  for (std::size_t at = searchTemplate.find(SearchPlaceholder); at != std::string_view::npos;
       at = searchTemplate.find(SearchPlaceholder, from)) {
    url.append(searchTemplate.substr(from, at - from));
    url += encoded;
    from = at + SearchPlaceholder.size();
  }
  url.append(searchTemplate.substr(from));
  return url;
}

std::string QueryFromSearchText(const std::string& text) {
  const std::size_t colon = text.find(':');
  if (colon == std::string::npos) return text;
  return colon + 2 >= text.size() ? std::string() : text.substr(colon + 2);
}

TStringList BuildSearchProposals(const TStringList& captions, const TStringList& values) {
  TStringList proposals;
  const std::size_t count = std::min(captions.size(), values.size());
  for (std::size_t i = 0; i < count; ++i) {
    if (values[i] != "(not available)") proposals.push_back("By " + captions[i] + ": " + values[i]);
  }
  return proposals;
}

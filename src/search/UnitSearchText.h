#pragma once
// From the search field to the address: proposals made from the selected row, the query taken
// from the field's text, and the query put into a site's template.

#include <string>
#include <string_view>

#include "core/UnitGlobals.h"

// Percent-encodes UTF-8 text for a URL: the unreserved characters A-Z a-z 0-9 - . _ ~ stay,
// every other byte becomes %XX (upper-case hex), spaces included.
std::string PercentEncodeQuery(std::string_view text);

// The template with every placeholder replaced by the encoded query. A template without the
// placeholder comes back unchanged.
std::string BuildSearchUrl(std::string_view searchTemplate, std::string_view query);

// The query of a search field text: the whole text when it has no ":", else what follows the
// first ":" and the one character after it ("By Artist: Band" gives "Band"). Not trimmed.
std::string QueryFromSearchText(const std::string& text);

// "By " + caption + ": " + value for every column whose value is not "(not available)", in
// column order (the first column first).
TStringList BuildSearchProposals(const TStringList& captions, const TStringList& values);

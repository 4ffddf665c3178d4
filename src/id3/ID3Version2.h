#pragma once
// Version 2 tags (ID3v2.2): three-character frame identifiers, 6-byte frame headers. Their frames
// are kept under the identifiers of versions 3 and 4, with their data in that layout, so that the
// rest of the engine and every caller sees one kind of frame.

#include <cstddef>
#include <string>
#include <string_view>

// The version 3/4 identifier of a version 2 identifier; one the table does not hold stays as
// its three characters followed by a blank (e.g. "XYZ ").
std::string Version3Identifier(std::string_view version2Id);

// Rewrites the data of a version 2 frame, already named by Version3Identifier, in the version
// 3/4 layout where the two differ: a picture's 3-character image format becomes a MIME type, a
// link's 3-character frame identifier the 4-character one. Other frames keep their bytes.
// Returns how many bytes the data grew by (negative: shrank); the rewritten bytes all lie in
// its first four bytes.
std::ptrdiff_t UpgradeVersion2Data(std::string_view name, std::string& data);

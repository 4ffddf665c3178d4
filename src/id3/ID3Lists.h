#pragma once
// Fixed tables of the tag engine: the ID3v1 genres and the descriptions of the frame identifiers.

#include <array>
#include <cstddef>
#include <string_view>

inline constexpr std::size_t GenreCount = 80;
inline constexpr std::size_t FrameNameCount = 75;

// Index = ID3v1 genre byte; each text is "(index) name", e.g. "(17) Rock".
const std::array<std::string_view, GenreCount>& GenreList();
// "identifier=description" entries, e.g. "TIT2=Title".
const std::array<std::string_view, FrameNameCount>& FrameNameList();
// The description FrameNameList gives for an identifier, or empty when it holds none.
std::string_view FrameDescription(std::string_view identifier);

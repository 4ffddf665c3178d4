#pragma once
// The audio properties of an MPEG audio file (MPEG-1, 2 and 2.5, layers I to III) from a few
// small reads: the ID3v2 header, the first frame with its Xing, Info or VBRI header and, for a
// constant bit rate, the last frames before the trailing tag. The rules are the container
// reader's own, step by step, so both give the same values; a file that is not a plain case for
// this reader (an APE tag, a stream that does not start right after the tag, a very small file,
// an unreadable one) gets no value and the caller asks the container reader instead.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "info/TTagSource.h"

// Reads up to count bytes at offset; fewer only at the end of the file. May throw.
using TReadAt = std::function<std::size_t(std::int64_t offset, void* buffer, std::size_t count)>;

std::optional<TAudioProperties> ReadMPEGProperties(const TReadAt& readAt, std::int64_t fileSize);

// The same for the file at path, opened read-only for the purpose (regular files only).
std::optional<TAudioProperties> ReadMPEGFileProperties(const std::string& path);

// Whether the container reader takes a file of this name for MPEG audio (by its extension).
bool IsMPEGAudioName(const std::string& path);

#pragma once
// The audio properties of an MPEG audio file (MPEG-1, 2 and 2.5, layers I to III) from a few
// small reads: the ID3v2 header, the first frame with its Xing, Info or VBRI header and, for a
// constant bit rate, the last frames before the trailing tag. The rules are the container
// reader's own, step by step, so both give the same values; a file that is not a plain case for
// this reader (an APE tag, a stream that does not start right after the tag, a very small file,
// an unreadable one) gets no value and the caller asks the container reader instead.

#include <optional>
#include <string>

#include "id3/TID3FileStream.h"
#include "info/TTagSource.h"

// Reads through an open file (the tag engine's own, whose window may already hold the bytes).
std::optional<TAudioProperties> ReadMPEGProperties(const TID3FileStream& file);

// The same for the file at path, opened read-only for the purpose (regular files only).
std::optional<TAudioProperties> ReadMPEGFileProperties(const std::string& path);

#pragma once
// Writes into a user's file so that a failure at any point leaves it as it was.

#include <cstdint>
#include <functional>
#include <string>

#include "id3/TID3FileStream.h"

// Writes a file's complete new content into dest (positioned at 0), reading the old content
// from the file as it likes.
using TID3ContentWriter = std::function<void(TID3FileStream& dest)>;

// Replaces the content of file (open read-write) with what produce writes. Normally the new
// content goes into a new file beside the old one (same owner and permissions), which is
// flushed and renamed over it. Where a rename cannot be used (the folder is not writable, the
// file has more than one name, or its owner cannot be kept) the new content is made in a
// temporary file first, the file is extended to its final length before any byte of it
// changes, and then overwritten; should that overwrite fail, the temporary file is kept and the
// error names it. Raises EID3Error; file is closed or reopened by the caller afterwards.
void ReplaceFileContent(TID3FileStream& file, const TID3ContentWriter& produce);

// Writes bytes at offset (within or at the end of file); when that fails, the bytes that were
// there and the old length are put back before the error passes on.
void OverwriteOrRestore(TID3FileStream& file, std::int64_t offset, const std::string& bytes);

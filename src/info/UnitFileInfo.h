#pragma once
// One look-up of a path in the file system: size, times and attribute bits.
// A symbolic link is followed to the file it names (a link to a song shows the song's size,
// dates and permissions); only Hidden comes from the name as given.

#include <sys/stat.h>

#include <cstdint>
#include <string>

#include "info/UnitFileFormat.h"

struct TFileInfo {
  bool Found = false;       // false: the look-up failed and every other field is zero
  std::int64_t Size = 0;    // the full size in bytes
  TFileTime Created = 0;    // 0 where the file system records no birth time
  TFileTime Modified = 0;
  TFileTime Accessed = 0;
  std::uint32_t Attributes = 0;  // AttrReadOnly, AttrHidden, ... of UnitFileFormat.h
};

// Never throws. A missing path, a dangling link or an empty path gives Found == false.
// Attributes: ReadOnly when the owner may not write; Hidden when the name begins with ".";
// System for sockets, devices and FIFOs; Directory for folders; Archive is never set.
TFileInfo LookUpFile(const std::string& path);
// The same from a look-up already made (of the file opened under that path).
TFileInfo FileInfoOf(const std::string& path, const struct statx& status);

// The name part of a path (after its last "/") and the folder part with its trailing "/".
std::string FileNamePart(const std::string& path);
std::string FolderPart(const std::string& path);

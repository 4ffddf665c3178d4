#pragma once
// Small file-system questions asked by several windows.

#include <string>
#include <string_view>
#include <sys/stat.h>

// True when the folder of `path` holds an entry of exactly that name (any kind: file, folder,
// symbolic link, device). A final symbolic link is not followed, so a dangling link still
// exists. The name is taken byte for byte: no trimming, no wildcards, and a path that ends in
// a separator (no name at all) or is empty does not exist.
bool FileExistsByFind(const std::string& path);
// The same test, handing back the entry's own data (of the link itself for a symbolic link).
// `found` is left alone when the result is false.
bool FileExistsByFind(const std::string& path, struct stat& found);

// True when no file can be found under path (following links): the one read failure that
// loses nothing, since a write then creates the file.
bool FileIsMissing(const std::string& path);

// A location made absolute against base, the absolute path of an existing folder: an empty or
// absolute path stays as it is; a relative one is joined to base, with its leading "." and ".."
// steps resolved against base. Nothing else changes (a trailing separator stays).
std::string AbsoluteAgainst(std::string_view path, std::string_view base);
// AbsoluteAgainst the working folder (the path unchanged when that cannot be found out).
std::string AbsoluteFromWorkingFolder(std::string_view path);
// A location typed by the user: "~" and "~/..." mean the home folder, anything else as
// AbsoluteFromWorkingFolder.
std::string AbsoluteTypedLocation(std::string_view typed);
// $HOME, else the password database's home folder; empty when neither is known.
std::string HomeFolder();

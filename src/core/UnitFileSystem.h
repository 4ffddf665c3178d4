#pragma once
// Small file-system questions asked by several windows.

#include <string>
#include <sys/stat.h>

// True when the folder of `path` holds an entry of exactly that name (any kind: file, folder,
// symbolic link, device). A final symbolic link is not followed, so a dangling link still
// exists. The name is taken byte for byte: no trimming, no wildcards, and a path that ends in
// a separator (no name at all) or is empty does not exist.
bool FileExistsByFind(const std::string& path);
// The same test, handing back the entry's own data (of the link itself for a symbolic link).
// `found` is left alone when the result is false.
bool FileExistsByFind(const std::string& path, struct stat& found);

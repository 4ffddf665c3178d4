#pragma once
// The folder walk: finds the files of one folder (or of a whole tree) whose extension is among
// the selected file types. Reads directory listings only: no file contents, nothing written.

#include "core/UnitGlobals.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

// Called by the walks: once with an empty entry path when a folder is entered (recursive walk
// only), and once for every entry of the folder with the entry's full path. After each call the
// walk reads ScanCancelRequested and stops when it is set.
using TScanProgressEvent =
    std::function<void(const std::string& folder, const std::string& entryPath)>;

// True when the entry name's extension (from its last dot, dot included, ASCII upper-cased)
// occurs in double quotes in the filter, i.e. equals one of its quoted items. A name without a
// dot never matches. Directories are the walk's business: this looks at the name alone.
bool MatchesScanFilter(std::string_view entryName, std::string_view filter);

// Appends WithTrailingBackslash(folder) + name for every matching file of the folder, in the order
// the file system lists them. Subfolders are reported to the progress event but never entered. A
// folder that cannot be listed (missing, no access, not a folder) yields nothing.
void ListMatchingFiles(TFoundFileList& result, const std::string& folder, const std::string& filter,
                       const TScanProgressEvent& progress);

// As ListMatchingFiles, followed by each subfolder's own result, depth first in listing order.
// Links to folders are followed, but no folder (device, inode) is entered twice in one walk, so
// link cycles end. On cancel every pending level returns after at most one more progress call.
void ListMatchingFilesRecursive(TFoundFileList& result, const std::string& folder,
                                const std::string& filter, const TScanProgressEvent& progress);

// The names of the folder's subfolders (links to folders included), byte for byte, in the order
// the file system lists them; the same listing the walks use, so every folder a walk enters can
// be offered. Names starting with a dot are left out when hidden is false. A folder that cannot be
// listed has none.
std::vector<std::string> ListSubfolderNames(const std::string& folder, bool hidden);
// Whether ListSubfolderNames would give anything; stops at the first subfolder.
bool HasSubfolderNames(const std::string& folder, bool hidden);

// Measures the display width of a text (pixels, or any unit the caller likes).
using TTextWidthMeasure = std::function<int(const std::string& text)>;

// Shortens a folder path to fit maxWidth by replacing leading folder names with "...": the root
// "/" and the last name stay, e.g. /home/ann/Music/Live -> /.../Music/Live -> /.../Live. When even
// that is too wide the root goes (.../Live), and last of all the last name stands alone.
std::string MinimizeFolderName(const std::string& folder, int maxWidth,
                               const TTextWidthMeasure& measure);

#pragma once
// Where the program keeps the files it writes, and where it reads the files it ships.
//
// Two folders are involved:
// - the program folder (ProgramFolder() in core/UnitGlobals.h): the folder of the executable,
//   holding what comes with the program: the help collection, LICENSE.TXT, INFO.URL and the
//   default lists (EXTENSIO.CFG, SEARCH.CFG). Only ever read.
// - the data folder (DataFolder() below): where every file the program keeps or writes lies:
//   MAIN.INI, Default.itc, EXTENSIO.CFG, CUSTTARG.CFG, CUSTHIST.CFG, SEARCH.CFG, Reports.itc,
//   REPORT.HTM and REPORT.TXT.
//
// A copy that may write to its own folder (a portable copy, the build folder) keeps everything
// beside the executable, so both folders are the same. An installed copy (owned by root under
// /usr) keeps the user's files in $XDG_CONFIG_HOME/sonarvex instead.
//
// Which call to use for a file name:
// - a file the program writes, or reads back after writing (settings, lists, reports):
//   DataFile(name), for reading and writing alike;
// - a file shipped with a default the user may replace (EXTENSIO.CFG, SEARCH.CFG): read
//   ShippedDataFile(name), write DataFile(name); the first save creates the user's own copy and
//   the shipped one is never written;
// - a file only shipped (help, LICENSE.TXT, INFO.URL): ProgramFile(name).

#include <string>
#include <string_view>

// The data folder, decided by DecideDataFolder() on the first call and kept for the run.
const std::string& DataFolder();
// WithTrailingBackslash(DataFolder()) + name.
std::string DataFile(std::string_view name);
// The copy of a shipped file to read: the user's own in the data folder when it exists there,
// else the one that came with the program in the program folder.
std::string ShippedDataFile(std::string_view name);

// Decides the data folder again from the environment, in this order:
// 1. $SONARVEX_DATA_DIR when it is set and not empty (several profiles, tests); a relative
//    name is taken from the current folder at that moment;
// 2. the program folder, when the user can create and replace files in it;
// 3. $XDG_CONFIG_HOME/sonarvex ($HOME/.config/sonarvex when that is unset or not absolute).
// A folder of 1 or 3 that is missing is created, with any missing parents, readable by the
// user alone (0700). When no home folder can be found at all the program folder stays the
// data folder, and saves report their failure as usual.
const std::string& DecideDataFolder();
// Makes `folder` the data folder without asking (SetProgramFolder does this for tests that
// point the program at a scratch folder).
void SetDataFolder(const std::string& folder);

// The test of step 2: can files be created in the folder and renamed over others there? The
// real test makes and removes a scratch file, which answers for permissions, ACLs, read-only
// mounts and root alike. Tests replace it (nullptr restores it); the data folder is decided
// again at the next DecideDataFolder().
using TFolderWritableCheck = bool (*)(const std::string& folder);
void SetFolderWritableCheck(TFolderWritableCheck check);
bool CanReplaceFilesIn(const std::string& folder);

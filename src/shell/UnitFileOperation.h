#pragma once
// Copying and moving files into a folder: the service behind the Copy... and Move... buttons.
// One request covers a list of files, handled in order; a window (or a test) answers the
// questions through callbacks and shows the progress.
//
// What it keeps safe: a file is never lost. A copy is written beside its target under a
// temporary name and renamed into place only when complete, so a replaced file stays intact
// until its replacement is whole. A move within one file system is a rename; across file
// systems the copy is synced and its size checked before the source is deleted.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

enum class TFileOperationKind { Copy, Move };
// The answer to "a file of this name is already there".
enum class TConflictChoice { Replace, Skip, ReplaceAll, SkipAll, Cancel };
// The answer to a failure with one file.
enum class TErrorChoice { Retry, Skip, Cancel };

struct TFileOperationProgress {
  std::size_t FileIndex = 0;  // 0-based, in request order
  std::size_t FileCount = 0;
  std::string Source;
  std::string Target;
  std::uint64_t FileDone = 0;
  std::uint64_t FileSize = 0;
  std::uint64_t TotalDone = 0;
  std::uint64_t TotalSize = 0;
};

struct TFileOperationCallbacks {
  // Before each file and after every chunk copied; false cancels the operation.
  std::function<bool(const TFileOperationProgress&)> Progress;
  // source, the existing target. Without a callback an existing file is skipped.
  std::function<TConflictChoice(const std::string& source, const std::string& target)> Conflict;
  // source, a message naming what failed. Without a callback the file is skipped.
  std::function<TErrorChoice(const std::string& source, const std::string& message)> Error;
};

struct TFileOperationResult {
  std::size_t Done = 0;
  std::size_t Skipped = 0;  // by a conflict answer or after an error
  bool Cancelled = false;
};

// Copies or moves every source into targetFolder, in order. A symbolic link is copied as the
// file it points to and moved as the link itself. A copy into the source's own folder makes
// "name (copy).ext" ("name (copy 2).ext", ... when that exists too); a move into its own folder
// leaves the file as it is. Modification and access times and permission bits are kept.
TFileOperationResult RunFileOperation(TFileOperationKind kind, const std::vector<std::string>& sources,
                                      const std::string& targetFolder, const TFileOperationCallbacks& callbacks);

// The name a copy of `fileName` takes in its own folder: number 1 gives "name (copy).ext",
// number n > 1 "name (copy n).ext". A leading dot does not start an extension.
std::string CopyOfName(const std::string& fileName, int number);

// Copies the bytes of one file into an open, empty target in chunks, calling chunkDone with the
// bytes copied so far (false stops: the result is then false). Exposed for the benchmark.
bool CopyFileContents(int sourceFd, int targetFd, std::uint64_t size,
                      const std::function<bool(std::uint64_t done)>& chunkDone, std::string& error);

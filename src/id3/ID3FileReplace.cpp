#include "id3/ID3FileReplace.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <optional>

#include "id3/ID3Engine.h"

namespace {

// The file a name finally refers to, so that a rename replaces the file and not a link to it.
std::string ResolvedPath(const std::string& path) {
  char resolved[PATH_MAX];
  if (::realpath(path.c_str(), resolved) == nullptr) return path;
  return resolved;
}

std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// Makes a rename durable. A folder that cannot be flushed (some file systems refuse) does not
// undo the rename that already happened.
void FlushFolder(const std::string& folder) {
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  (void)::fsync(fd);
  ::close(fd);
}

// Writes the new content beside the file and renames it over the file; false (nothing changed)
// when that way is closed.
bool ReplaceByRename(TID3FileStream& file, const TID3ContentWriter& produce) {
  const TID3FileStream::TOwnership ownership = file.Ownership();
  if (ownership.Links != 1) return false;  // a rename would split the names apart
  const std::string target = ResolvedPath(file.Path());
  const std::string folder = FolderOf(target);
  std::string tempPath;
  std::optional<TID3FileStream> temp;
  try {
    temp.emplace(CreateTempFile(tempPath, folder, 0600));
  } catch (const EID3FileError&) {
    return false;  // the folder takes no new file
  }
  try {
    if (!temp->TakeOwnership(ownership)) {
      ::unlink(tempPath.c_str());
      return false;
    }
    produce(*temp);
    temp->Flush();
    if (::rename(tempPath.c_str(), target.c_str()) != 0)
      throw EID3FileError("Cannot replace \"" + target + "\": " + std::strerror(errno));
  } catch (...) {
    ::unlink(tempPath.c_str());
    throw;
  }
  FlushFolder(folder);
  return true;
}

void ReplaceInPlace(TID3FileStream& file, const TID3ContentWriter& produce) {
  std::string tempPath;
  TID3FileStream temp = CreateTempFile(tempPath);
  std::int64_t size = 0;
  try {
    produce(temp);
    temp.Flush();
    size = temp.Size();
    // Disk space for the whole new content first: a full disk fails here, before any byte of
    // the file changes.
    file.Allocate(size);
  } catch (...) {
    ::unlink(tempPath.c_str());
    throw;
  }
  try {
    file.Seek(0);
    CopyStreamData(temp, file, 0);
    file.SetSize(size);
    file.Flush();
  } catch (const EID3Error& error) {
    throw EID3FileError(std::string(error.what()) + "; the complete new content of \"" + file.Path() +
                        "\" is kept in \"" + tempPath + "\"");
  }
  ::unlink(tempPath.c_str());
}

}  // namespace

void ReplaceFileContent(TID3FileStream& file, const TID3ContentWriter& produce) {
  if (!ReplaceByRename(file, produce)) ReplaceInPlace(file, produce);
}

void OverwriteOrRestore(TID3FileStream& file, std::int64_t offset, const std::string& bytes) {
  const std::int64_t oldSize = file.Size();
  file.Seek(offset);
  const std::string old = file.ReadBytes(bytes.size());
  try {
    file.Seek(offset);
    file.Write(bytes);
    file.Flush();
  } catch (...) {
    try {
      file.Seek(offset);
      file.Write(old);
      file.SetSize(oldSize);
    } catch (...) {
      // The error that stopped the write is the one to report.
    }
    throw;
  }
}

#pragma once
// Secure destruction of one file: one pass of zero bytes over its whole contents, in place,
// then the file is deleted. Reports progress after every block and lets the caller interrupt.

#include <cstdint>
#include <functional>
#include <string>
#include <sys/types.h>

#include "core/UnitFileSystem.h"  // FileExistsByFind, the existence test run first

inline constexpr std::uint32_t DestroyBlockSize = 32768;

// Called after every block written: position is the 1-based number of that block, maximum the
// block count. cancel arrives false; setting it stops the destruction after this block.
using DestroyProgressEvent = std::function<void(std::int32_t position, std::int32_t maximum, bool& cancel)>;

// Overwrites the whole file with zero bytes in 32768-byte blocks, syncs it to the disk and
// deletes it. True only when every byte was zeroed and synced, the caller did not interrupt and
// the file was deleted. False, with nothing written, when the file does not exist, is not a
// regular file (a symbolic link, device, FIFO or socket), is read-only (owner-write bit clear),
// has other hard links, or is held open elsewhere (by this process or another). Never throws,
// never shows anything.
bool DestroyFile(const std::string& name, const DestroyProgressEvent& progress = {});

// Full blocks + 1: the last block carries the remainder, 0 bytes when the size is a multiple
// of the block size.
constexpr std::uint64_t DestroyBlockCount(std::uint64_t size) { return size / DestroyBlockSize + 1; }

// The system calls DestroyFile makes where a failure can only be produced on purpose (a full or
// failing disk, a file system without leases). Tests replace one at a time; the defaults are
// the system's own calls.
struct TDestroySystemCalls {
  ssize_t (*Write)(int fd, const void* buffer, size_t count);
  int (*Sync)(int fd);
  int (*SetLease)(int fd, int type);
  int (*Unlink)(const char* path);
};
TDestroySystemCalls& DestroySystemCalls();
// Puts the system's own calls back.
void ResetDestroySystemCalls();

// True when a descriptor of some process (the user may look at) other than `ownFd` of this
// process refers to the file (device, inode). The fallback where leases are unavailable.
bool FileOpenElsewhere(dev_t device, ino_t inode, int ownFd);

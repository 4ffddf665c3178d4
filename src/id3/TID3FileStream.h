#pragma once
// A file opened by the tag engine: positioned reads and writes on a POSIX descriptor, with a
// read window so that parsing a tag costs one or two system calls.

#include <sys/stat.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

// What identifies a file's content as read: a writer refuses to write when any of it changed.
struct TID3FileIdentity {
  std::uint64_t Device = 0;
  std::uint64_t Inode = 0;
  std::int64_t Size = 0;
  std::int64_t ModifiedSeconds = 0;
  std::int64_t ModifiedNanoseconds = 0;
  bool operator==(const TID3FileIdentity&) const = default;
};

class TID3FileStream {
 public:
  enum class TMode { Read, ReadWrite };

  // Opens an existing file. Raises EID3FileError when it cannot be opened.
  TID3FileStream(const std::string& path, TMode mode);
  // Creates a new file exclusively with the given permission bits. Raises EID3FileError when it
  // exists or cannot be made.
  static TID3FileStream CreateNew(const std::string& path, unsigned permissions = 0600);
  TID3FileStream(TID3FileStream&& other) noexcept;
  TID3FileStream& operator=(TID3FileStream&&) = delete;
  TID3FileStream(const TID3FileStream&) = delete;
  TID3FileStream& operator=(const TID3FileStream&) = delete;
  ~TID3FileStream();

  const std::string& Path() const { return path_; }
  std::int64_t Size() const { return size_; }
  std::int64_t Position() const { return position_; }
  std::int64_t Remaining() const { return position_ < size_ ? size_ - position_ : 0; }
  void Seek(std::int64_t position) { position_ = position; }

  // Reads up to count bytes at the position and advances by what was read; fewer at the end.
  std::size_t Read(void* buffer, std::size_t count);
  // Reads up to count bytes (never more than the file still holds) into a string.
  std::string ReadBytes(std::size_t count);
  // Loads up to count bytes from the position into the read window, so that the reads that
  // follow in that range need no system call. Nothing is read when the window holds them
  // already; a small file is loaded whole.
  void Prefetch(std::size_t count);
  // Forgets the bytes loaded, so that the next reads see the file as it is now.
  void DropWindow() { window_.clear(); }
  // Reads up to count bytes at offset without moving the position or the window (served from
  // the window when it holds them); fewer at the end of the file. Raises EID3FileError when the
  // read fails.
  std::size_t ReadAt(std::int64_t offset, void* buffer, std::size_t count) const;
  // The count bytes at offset as the read window holds them, without a copy; nullopt when it
  // does not hold them all. Valid until the window is next loaded or dropped.
  std::optional<std::string_view> Loaded(std::int64_t offset, std::size_t count) const;
  // Writes all bytes at the position and advances. Raises EID3FileError on failure.
  void Write(const void* buffer, std::size_t count);
  void Write(const std::string& bytes) { Write(bytes.data(), bytes.size()); }
  // Truncates or extends the file.
  void SetSize(std::int64_t size);
  // Forces the written bytes to the disk.
  void Flush();
  // Reserves disk blocks for the first size bytes, extending the file when it is shorter, so
  // that writes up to that size cannot fail for lack of space. Raises EID3FileError.
  void Allocate(std::int64_t size);
  // The file as it was when opened (asked through the descriptor, not the name).
  const TID3FileIdentity& Identity() const { return identity_; }
  // Everything the open's own look-up found (size, times with the birth time where the file
  // system keeps one, mode), so that a caller need not look the name up once more.
  const struct statx& Status() const { return status_; }
  // Owner, group and permission bits of the file, and how many names it has.
  struct TOwnership {
    unsigned User = 0;
    unsigned Group = 0;
    unsigned Permissions = 0;
    std::uint64_t Links = 0;
  };
  TOwnership Ownership() const;
  // Gives the file the owner, group and permission bits of another; false when the owner or
  // group could not be set (permissions are set in any case).
  bool TakeOwnership(const TOwnership& from);

 private:
  TID3FileStream(int fd, std::string path);
  [[noreturn]] void Fail(const char* what) const;
  bool WindowHolds(std::int64_t offset, std::size_t count) const;
  void Load(std::int64_t offset, std::size_t count);
  // Up to count bytes at offset straight from the file; fewer at its end. Raises EID3FileError.
  std::size_t ReadFromFile(std::int64_t offset, void* buffer, std::size_t count) const;

  int fd_ = -1;
  std::string path_;
  std::int64_t size_ = 0;
  TID3FileIdentity identity_;
  struct statx status_ {};
  std::int64_t position_ = 0;
  // The bytes last loaded, from windowStart_: a plain buffer, so that loading never zero-fills
  // what the read overwrites at once.
  struct TWindow {
    std::unique_ptr<char[]> Data;
    std::size_t Capacity = 0;
    std::size_t Size = 0;
    char* data() const { return Data.get(); }
    std::size_t size() const { return Size; }
    void clear() { Size = 0; }
    // Room for count bytes, their contents undefined until written.
    void Reserve(std::size_t count) {
      if (count <= Capacity) return;
      Data.reset(new char[count]);
      Capacity = count;
    }
  };
  TWindow window_;
  std::int64_t windowStart_ = 0;
};

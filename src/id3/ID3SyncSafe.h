#pragma once
// Big-endian integers of the tag: sync-safe (7 bits a byte) and plain.

#include <cstddef>
#include <cstdint>
#include <string>

// The top bit of each byte is ignored.
inline std::uint64_t DecodeSyncSafe(const unsigned char* bytes, std::size_t count) {
  std::uint64_t value = 0;
  for (std::size_t i = 0; i < count; ++i) value = (value << 7) | (bytes[i] & 0x7Fu);
  return value;
}

inline std::uint32_t DecodeBigEndian32(const unsigned char* bytes) {
  return (std::uint32_t{bytes[0]} << 24) | (std::uint32_t{bytes[1]} << 16) |
         (std::uint32_t{bytes[2]} << 8) | std::uint32_t{bytes[3]};
}

// Appends value as count sync-safe bytes (bits beyond 7 * count are dropped).
inline void AppendSyncSafe(std::string& dest, std::uint64_t value, std::size_t count) {
  for (std::size_t i = count; i-- > 0;) dest.push_back(static_cast<char>((value >> (7 * i)) & 0x7Fu));
}

inline void StoreSyncSafe32(std::string& dest, std::size_t offset, std::uint32_t value) {
  for (std::size_t i = 0; i < 4; ++i)
    dest[offset + i] = static_cast<char>((value >> (7 * (3 - i))) & 0x7Fu);
}

inline constexpr std::uint32_t MaxSyncSafe32 = 0x0FFFFFFFu;

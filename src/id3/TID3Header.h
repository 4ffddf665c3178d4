#pragma once
// The 10-byte tag header (and footer) with the extended header that may follow it.

#include <cstdint>
#include <string>

#include "id3/TID3ExtendedHeader.h"

class TID3Engine;
class TID3FileStream;

class TID3Header {
 public:
  explicit TID3Header(TID3Engine& owner);
  virtual ~TID3Header() = default;
  TID3Header(const TID3Header&) = delete;
  TID3Header& operator=(const TID3Header&) = delete;

  bool Unsynchronisation() const { return unsynchronisation_; }
  void SetUnsynchronisation(bool value) { unsynchronisation_ = value; }
  bool ExtendedHeaderPresent() const { return extendedHeaderPresent_; }
  void SetExtendedHeaderPresent(bool value) { extendedHeaderPresent_ = value; }
  bool Experimental() const { return experimental_; }
  void SetExperimental(bool value) { experimental_ = value; }
  bool FooterPresent() const { return footerPresent_; }
  void SetFooterPresent(bool value) { footerPresent_ = value; }
  // Version 2 only (flag 0x40 there): the whole tag is compressed in a way that version never
  // defined, so its frames cannot be read. Never written: later versions have no such flag.
  bool Compression() const { return compression_; }
  void SetCompression(bool value) { compression_ = value; }
  std::uint8_t VersionNumber() const { return versionNumber_; }
  void SetVersionNumber(std::uint8_t value) { versionNumber_ = value; }
  std::uint8_t VersionRevision() const { return versionRevision_; }
  void SetVersionRevision(std::uint8_t value) { versionRevision_ = value; }
  // The size field: bytes after the 10-byte header, footer excluded. -1 after a failed ReadHeader.
  std::int32_t TagSize() const { return tagSize_; }
  void SetTagSize(std::int32_t value) { tagSize_ = value; }
  TID3ExtendedHeader& ExtendedHeader() { return extendedHeader_; }
  const TID3ExtendedHeader& ExtendedHeader() const { return extendedHeader_; }
  TID3Engine& Owner() const { return owner_; }

  // Reads the header (and extended header) at the stream's position. A version 2 header has
  // only the unsynchronisation and compression flags and no extended header. Returns false, with TagSize
  // -1, when there is no valid header there. On success the stream stands at the first frame.
  virtual bool ReadHeader(TID3FileStream& stream);
  // Appends the header ("ID3", with the extended header when present) or the footer ("3DI") to
  // dest. Returns the offset in dest of the 4-byte size field, written as TagSize.
  virtual std::size_t WriteHeader(std::string& dest, bool footer) const;
  // Flags false (compression too), extended header cleared, version 4.0, TagSize 0.
  virtual void Clear();

 private:
  TID3Engine& owner_;
  bool unsynchronisation_ = false;
  bool extendedHeaderPresent_ = false;
  bool experimental_ = false;
  bool footerPresent_ = false;
  bool compression_ = false;
  std::uint8_t versionNumber_ = 4;
  std::uint8_t versionRevision_ = 0;
  std::int32_t tagSize_ = 0;
  TID3ExtendedHeader extendedHeader_;
};

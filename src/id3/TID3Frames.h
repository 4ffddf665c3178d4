#pragma once
// The frames of a tag, in file order. Items are appended and never reordered.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "id3/TID3Frames_Item.h"

class TID3Engine;
class TID3FileStream;

// Limits that keep a damaged or hostile tag from taking unbounded memory and time; a tag past
// any of them is damaged and raises an error when read.
// Frames in one tag.
inline constexpr std::size_t MaxFrameCount = 50000;
// Stored bytes of one frame, and of all frames of a tag together.
inline constexpr std::uint64_t MaxFrameDataSize = 64u * 1024u * 1024u;
inline constexpr std::uint64_t MaxTagDataSize = 256u * 1024u * 1024u;
// Inflated bytes of all compressed frames of a tag together (each frame: MaxInflatedFrameSize).
inline constexpr std::size_t MaxInflatedTagSize = 64u * 1024u * 1024u;

class TID3Frames {
 public:
  explicit TID3Frames(TID3Engine& owner);
  virtual ~TID3Frames() = default;
  TID3Frames(const TID3Frames&) = delete;
  TID3Frames& operator=(const TID3Frames&) = delete;

  TID3Engine& Owner() const { return owner_; }

  // Appends an unnamed item without flags or data. The reference stays valid until the item is
  // deleted or the collection cleared.
  TID3Frames_Item& Add();
  std::size_t Count() const { return items_.size(); }
  TID3Frames_Item& Item(std::size_t index) { return *items_.at(index); }
  const TID3Frames_Item& Item(std::size_t index) const { return *items_.at(index); }
  TID3Frames_Item& operator[](std::size_t index) { return Item(index); }
  const TID3Frames_Item& operator[](std::size_t index) const { return Item(index); }
  void Delete(std::size_t index);
  void Clear();

  // The first item whose identifier equals id byte for byte, or nullptr.
  TID3Frames_Item* FindFrame(std::string_view id);
  const TID3Frames_Item* FindFrame(std::string_view id) const;

  // Replaces the items with the frames at the stream's position (just after the header and
  // extended header) and sets the engine's Padding (the unused bytes of the declared size, as far
  // as the file holds them). Raises EID3DecompressionError for damaged compressed data and
  // EID3Error for a tag past the limits above.
  void ReadFrames(TID3FileStream& stream);
  // Appends every item to dest in the version 4 layout; sets the header's TagSize to the number
  // of bytes written and returns it. Raises EID3Error for an item without a valid identifier.
  std::size_t WriteFrames(std::string& dest);

 private:
  std::string DamagedTag(const std::string& why) const;

  TID3Engine& owner_;
  std::vector<std::unique_ptr<TID3Frames_Item>> items_;
};

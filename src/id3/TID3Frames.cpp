#include "id3/TID3Frames.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <utility>

#include "id3/ID3Engine.h"
#include "id3/ID3SyncSafe.h"
#include "id3/ID3Version2.h"

namespace {

std::uint32_t IdentifierWord(const char* bytes) {
  std::uint32_t word = 0;
  std::memcpy(&word, bytes, sizeof word);
  return word;
}

bool IsIdentifierByte(unsigned char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z'); }

bool IsIdentifier(std::string_view id) {
  return std::all_of(id.begin(), id.end(), [](char c) { return IsIdentifierByte(static_cast<unsigned char>(c)); });
}

bool IsValidIdentifier(std::string_view id) { return id.size() == 4 && IsIdentifier(id); }

// Reads the frame header after the identifier into item; returns the declared size and the
// number of optional bytes the flags call for, or false when the file ends inside the header.
struct TFrameHead {
  std::uint64_t size = 0;
  std::uint64_t optionalBytes = 0;
  bool complete = true;
};

// Version 3 frames: plain 32-bit size, their own flag bits, and the optional bytes in the order
// decompressed size, encryption method, group.
TFrameHead ReadVersion3Head(TID3FileStream& stream, TID3Frames_Item& item) {
  unsigned char head[6] = {};
  TFrameHead result;
  result.complete = stream.Read(head, 6) == 6;
  result.size = DecodeBigEndian32(head);
  item.SetTagAlterDiscardable((head[4] & 0x80) != 0);
  item.SetFileAlterDiscardable((head[4] & 0x40) != 0);
  item.SetReadOnly((head[4] & 0x20) != 0);
  item.SetCompress((head[5] & 0x80) != 0);
  item.SetDataLengthIndicator(item.Compress());
  item.SetEncrypted((head[5] & 0x40) != 0);
  item.SetGrouping((head[5] & 0x20) != 0);
  if (!result.complete) return result;
  unsigned char extra[4] = {};
  if (item.Compress()) {
    result.optionalBytes += 4;
    result.complete = result.complete && stream.Read(extra, 4) == 4;
  }
  if (item.Encrypted() && result.complete) {
    result.optionalBytes += 1;
    result.complete = stream.Read(extra, 1) == 1;
    item.SetEncryptionID(extra[0]);
  }
  if (item.Grouping() && result.complete) {
    result.optionalBytes += 1;
    result.complete = stream.Read(extra, 1) == 1;
    item.SetGroupID(extra[0]);
  }
  return result;
}

// Version 2 frames: a 24-bit size and no flags.
TFrameHead ReadVersion2Head(TID3FileStream& stream) {
  unsigned char head[3] = {};
  TFrameHead result;
  result.complete = stream.Read(head, 3) == 3;
  result.size = (std::uint64_t{head[0]} << 16) | (std::uint64_t{head[1]} << 8) | head[2];
  return result;
}

TFrameHead ReadVersion4Head(TID3FileStream& stream, TID3Frames_Item& item) {
  unsigned char head[6] = {};
  TFrameHead result;
  result.complete = stream.Read(head, 6) == 6;
  result.size = DecodeSyncSafe(head, 4);
  item.SetTagAlterDiscardable((head[4] & 0x40) != 0);
  item.SetFileAlterDiscardable((head[4] & 0x20) != 0);
  item.SetReadOnly((head[4] & 0x10) != 0);
  item.SetGrouping((head[5] & 0x40) != 0);
  item.SetCompress((head[5] & 0x08) != 0);
  item.SetEncrypted((head[5] & 0x04) != 0);
  item.SetUnSynchronisation((head[5] & 0x02) != 0);
  item.SetDataLengthIndicator((head[5] & 0x01) != 0);
  if (!result.complete) return result;
  unsigned char extra[4] = {};
  if (item.Grouping()) {
    result.optionalBytes += 1;
    result.complete = stream.Read(extra, 1) == 1;
    item.SetGroupID(extra[0]);
  }
  if (item.Encrypted() && result.complete) {
    result.optionalBytes += 1;
    result.complete = stream.Read(extra, 1) == 1;
    item.SetEncryptionID(extra[0]);
  }
  if (item.DataLengthIndicator() && result.complete) {
    result.optionalBytes += 4;
    result.complete = stream.Read(extra, 4) == 4;
  }
  return result;
}

}  // namespace

std::string TID3Frames::DamagedTag(const std::string& why) const {
  return "The tag of \"" + owner_.FileName() + "\" is damaged: " + why;
}

TID3Frames::TID3Frames(TID3Engine& owner) : owner_(owner) {}

TID3Frames_Item& TID3Frames::Add() {
  items_.push_back(std::make_unique<TID3Frames_Item>(*this));
  return *items_.back();
}

void TID3Frames::Delete(std::size_t index) {
  if (index < items_.size()) items_.erase(items_.begin() + static_cast<std::ptrdiff_t>(index));
}

void TID3Frames::Clear() { items_.clear(); }

TID3Frames_Item* TID3Frames::FindFrame(std::string_view id) {
  return const_cast<TID3Frames_Item*>(std::as_const(*this).FindFrame(id));
}

const TID3Frames_Item* TID3Frames::FindFrame(std::string_view id) const {
  // A list or report asks every file for dozens of identifiers, each against every frame:
  // four-byte identifiers compare as one word rather than through a library call.
  if (id.size() == sizeof(std::uint32_t)) {
    const std::uint32_t wanted = IdentifierWord(id.data());
    for (const auto& item : items_) {
      const std::string& name = item->Name();
      if (name.size() == sizeof(std::uint32_t) && IdentifierWord(name.data()) == wanted) return item.get();
    }
    return nullptr;
  }
  for (const auto& item : items_)
    if (item->Name() == id) return item.get();
  return nullptr;
}

void TID3Frames::ReadFrames(TID3FileStream& stream) {
  items_.clear();
  const TID3Header& header = owner_.Header();
  const bool version2 = header.VersionNumber() == 2;
  const bool version3 = header.VersionNumber() == 3;
  const std::size_t idSize = version2 ? 3 : 4;
  const std::int64_t headerEnd = owner_.TagOffset() + 10;
  const std::int64_t declaredEnd = headerEnd + header.TagSize();
  std::int64_t budget = header.TagSize() - (stream.Position() - headerEnd);
  std::uint64_t storedBytes = 0;
  std::size_t inflatedBytes = 0;
  owner_.lastFrameEnd_ = stream.Position();
  owner_.overrunFrame_ = nullptr;
  // A compressed version 2 tag: the standard never said how, so there are no frames to read.
  if (version2 && header.Compression()) {
    owner_.SetPadding(0);
    return;
  }
  for (;;) {
    const std::int64_t frameStart = stream.Position();
    char id[4];
    if (stream.Read(id, idSize) < idSize || !IsIdentifier(std::string_view(id, idSize))) {
      stream.Seek(frameStart);
      break;
    }
    // Keeping only the first frames would let a rewrite drop the others.
    if (items_.size() >= MaxFrameCount)
      throw EID3Error(DamagedTag("it holds more than " + std::to_string(MaxFrameCount) + " frames"));
    TID3Frames_Item& item = Add();
    item.SetName(version2 ? Version3Identifier(std::string_view(id, 3)) : std::string_view(id, 4));
    const TFrameHead head = version2   ? ReadVersion2Head(stream)
                            : version3 ? ReadVersion3Head(stream, item)
                                       : ReadVersion4Head(stream, item);
    bool cutShort = !head.complete;
    const std::int64_t dataStart = stream.Position();
    if (!cutShort) {
      // Never more than the file still holds, whatever the size field claims.
      const std::uint64_t dataSize = head.size > head.optionalBytes ? head.size - head.optionalBytes : 0;
      const std::uint64_t available = std::min<std::uint64_t>(dataSize, static_cast<std::uint64_t>(stream.Remaining()));
      storedBytes += available;
      if (available > MaxFrameDataSize)
        throw EID3Error(DamagedTag("frame " + item.Name() + " holds more than 64 MiB"));
      if (storedBytes > MaxTagDataSize) throw EID3Error(DamagedTag("its frames hold more than 256 MiB together"));
      item.Data() = stream.ReadBytes(static_cast<std::size_t>(available));
      cutShort = item.DataSize() < dataSize;
    }
    owner_.lastFrameEnd_ = stream.Position();
    budget -= stream.Position() - frameStart;
    // Bytes of the data that lie inside the declared tag.
    std::int64_t inside = declaredEnd - dataStart;
    if (version2) inside += UpgradeVersion2Data(item.Name(), item.Data());
    if (stream.Position() > declaredEnd && !item.Compress() && !item.Encrypted()) {
      // The frame runs past the declared end of the tag into bytes that belong to the rest of
      // the file; a rewrite keeps only the part inside the tag.
      owner_.overrunFrame_ = &item;
      owner_.overrunDataSize_ = item.DataSize();
      owner_.overrunKeep_ =
          static_cast<std::size_t>(std::clamp<std::int64_t>(inside, 0, static_cast<std::int64_t>(item.DataSize())));
    }
    if (item.Encrypted() && owner_.OnFrameDecrypt) owner_.OnFrameDecrypt(owner_, item, item.Data());
    if (item.Compress()) {
      const std::size_t left = MaxInflatedTagSize - inflatedBytes;
      if (left < MaxInflatedFrameSize)
        DecompressFrameData(item.Data(), left, "the 64 MiB all compressed frames of a tag may hold together");
      else
        DecompressFrameData(item.Data());
      inflatedBytes += item.DataSize();
    }
    if (cutShort || budget <= 0) break;
  }
  // Padding the size field claims beyond the end of the file does not exist; counting it would
  // make a rewrite of the tag blow the file up to the claimed size.
  budget = std::min(budget, stream.Remaining());
  owner_.SetPadding(static_cast<int>(std::clamp<std::int64_t>(budget, 0, MaxSyncSafe32)));
}

std::size_t TID3Frames::WriteFrames(std::string& dest) {
  const std::size_t start = dest.size();
  for (std::size_t index = 0; index < items_.size(); ++index) {
    TID3Frames_Item& item = *items_[index];
    if (!IsValidIdentifier(item.Name()))
      throw EID3Error("Frame " + std::to_string(index + 1) + " has no valid identifier (\"" + item.Name() +
                      "\"); the tag was not written");
    std::string scratch = item.Data();
    if (item.Compress()) CompressFrameData(scratch);
    if (item.Encrypted() && owner_.OnFrameEncrypt) owner_.OnFrameEncrypt(owner_, item, scratch);
    const std::uint64_t optionalBytes =
        (item.Grouping() ? 1u : 0u) + (item.Encrypted() ? 1u : 0u) + (item.DataLengthIndicator() ? 4u : 0u);
    const std::uint64_t size = scratch.size() + optionalBytes;
    if (size > MaxSyncSafe32 || item.DataSize() > MaxSyncSafe32)
      throw EID3Error("Frame " + item.Name() + " is too large for a tag; the tag was not written");
    dest += item.Name();
    AppendSyncSafe(dest, size, 4);
    unsigned char status = 0;
    if (item.TagAlterDiscardable()) status |= 0x40;
    if (item.FileAlterDiscardable()) status |= 0x20;
    if (item.ReadOnly()) status |= 0x10;
    unsigned char format = 0;
    if (item.Grouping()) format |= 0x40;
    if (item.Compress()) format |= 0x08;
    if (item.Encrypted()) format |= 0x04;
    if (item.UnSynchronisation()) format |= 0x02;
    if (item.DataLengthIndicator()) format |= 0x01;
    dest.push_back(static_cast<char>(status));
    dest.push_back(static_cast<char>(format));
    if (item.Grouping()) dest.push_back(static_cast<char>(item.GroupID()));
    if (item.Encrypted()) dest.push_back(static_cast<char>(item.EncryptionID()));
    if (item.DataLengthIndicator()) AppendSyncSafe(dest, item.DataSize(), 4);
    dest += scratch;
  }
  const std::size_t written = dest.size() - start;
  owner_.Header().SetTagSize(static_cast<std::int32_t>(std::min<std::size_t>(written, 0x7FFFFFFF)));
  return written;
}

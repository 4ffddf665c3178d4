#include "id3/TID3Header.h"

#include "id3/ID3SyncSafe.h"
#include "id3/TID3TagRestrictions.h"
#include "id3/TID3FileStream.h"

namespace {

constexpr unsigned char FlagUnsynchronisation = 0x80;
constexpr unsigned char FlagExtendedHeader = 0x40;
constexpr unsigned char FlagExperimental = 0x20;
constexpr unsigned char FlagFooter = 0x10;
constexpr unsigned char FlagVersion2Compression = 0x40;
constexpr unsigned char ExtFlagUpdate = 0x40;
constexpr unsigned char ExtFlagCRC = 0x20;
constexpr unsigned char ExtFlagRestricted = 0x10;

}  // namespace

TID3Header::TID3Header(TID3Engine& owner) : owner_(owner) {}

void TID3Header::Clear() {
  unsynchronisation_ = extendedHeaderPresent_ = experimental_ = footerPresent_ = compression_ = false;
  extendedHeader_.Clear();
  versionNumber_ = 4;
  versionRevision_ = 0;
  tagSize_ = 0;
}

bool TID3Header::ReadHeader(TID3FileStream& stream) {
  Clear();
  tagSize_ = -1;
  unsigned char bytes[10] = {};
  if (stream.Read(bytes, 10) < 10) return false;
  if (bytes[0] != 'I' || bytes[1] != 'D' || bytes[2] != '3' || bytes[3] > 4) return false;
  versionNumber_ = bytes[3];
  versionRevision_ = bytes[4];
  unsynchronisation_ = (bytes[5] & FlagUnsynchronisation) != 0;
  tagSize_ = static_cast<std::int32_t>(DecodeSyncSafe(bytes + 6, 4));
  if (versionNumber_ == 2) {
    compression_ = (bytes[5] & FlagVersion2Compression) != 0;
    return true;
  }
  extendedHeaderPresent_ = (bytes[5] & FlagExtendedHeader) != 0;
  experimental_ = (bytes[5] & FlagExperimental) != 0;
  footerPresent_ = (bytes[5] & FlagFooter) != 0;
  if (!extendedHeaderPresent_) return true;

  // Fields are read one by one; afterwards the extended header's own size, when it is
  // plausible, says where the frames begin (it may hold fields this reader does not know).
  const std::int64_t start = stream.Position();
  unsigned char ext[6] = {};
  stream.Read(ext, 6);
  const std::uint64_t extSize = DecodeSyncSafe(ext, 4);
  const unsigned char flags = ext[5];
  extendedHeader_.SetTagIsAnUpdate((flags & ExtFlagUpdate) != 0);
  if (flags & ExtFlagCRC) {
    unsigned char crc[5] = {};
    stream.Read(crc, 5);
    extendedHeader_.SetCRCData(DecodeSyncSafe(crc, 5));
  }
  if (flags & ExtFlagRestricted) {
    unsigned char restrictions = 0;
    stream.Read(&restrictions, 1);
    extendedHeader_.SetTagRestricted(true);
    DecodeRestrictions(restrictions, extendedHeader_.TagRestrictions());
  }
  if (versionNumber_ == 3) {
    if (extSize == 6 || extSize == 10) stream.Seek(start + 4 + static_cast<std::int64_t>(extSize));
  } else if (extSize >= 6 && extSize <= static_cast<std::uint64_t>(tagSize_)) {
    stream.Seek(start + static_cast<std::int64_t>(extSize));
  }
  return true;
}

std::size_t TID3Header::WriteHeader(std::string& dest, bool footer) const {
  dest += footer ? "3DI" : "ID3";
  dest.push_back(static_cast<char>(versionNumber_));
  dest.push_back(static_cast<char>(versionRevision_));
  unsigned char flags = 0;
  if (unsynchronisation_) flags |= FlagUnsynchronisation;
  if (extendedHeaderPresent_) flags |= FlagExtendedHeader;
  if (experimental_) flags |= FlagExperimental;
  if (footerPresent_) flags |= FlagFooter;
  dest.push_back(static_cast<char>(flags));
  const std::size_t sizeField = dest.size();
  AppendSyncSafe(dest, tagSize_ < 0 ? 0u : static_cast<std::uint32_t>(tagSize_), 4);
  if (footer || !extendedHeaderPresent_) return sizeField;

  const TID3ExtendedHeader& ext = extendedHeader_;
  AppendSyncSafe(dest, 6u + (ext.CRCDataPresent() ? 5u : 0u) + (ext.TagRestricted() ? 1u : 0u), 4);
  dest.push_back('\1');
  unsigned char extFlags = 0;
  if (ext.TagIsAnUpdate()) extFlags |= ExtFlagUpdate;
  if (ext.CRCDataPresent()) extFlags |= ExtFlagCRC;
  if (ext.TagRestricted()) extFlags |= ExtFlagRestricted;
  dest.push_back(static_cast<char>(extFlags));
  if (ext.CRCDataPresent()) AppendSyncSafe(dest, ext.CRCData(), 5);
  if (ext.TagRestricted()) dest.push_back(static_cast<char>(EncodeRestrictions(ext.TagRestrictions())));
  return sizeField;
}

#include "id3/TID3TagRestrictions.h"

void TID3TagRestrictions::Clear() {
  tagSize_ = TID3TagSizeRestrictions::sr128Frames_1MB;
  textEncoding_ = false;
  textSize_ = TID3TextSizeRestrictions::trNone;
  imageEncoding_ = false;
  imageSize_ = TID3ImageSizeRestrictions::irNone;
}

void DecodeRestrictions(std::uint8_t value, TID3TagRestrictions& restrictions) {
  restrictions.SetTagSize(static_cast<TID3TagSizeRestrictions>((value >> 6) & 3));
  restrictions.SetTextEncodingRestrictions((value & 0x20) != 0);
  restrictions.SetTextSize(static_cast<TID3TextSizeRestrictions>((value >> 3) & 3));
  restrictions.SetImageEncodingRestrictions((value & 0x04) != 0);
  restrictions.SetImageSize(static_cast<TID3ImageSizeRestrictions>(value & 3));
}

std::uint8_t EncodeRestrictions(const TID3TagRestrictions& restrictions) {
  unsigned value = (static_cast<unsigned>(restrictions.TagSize()) & 3) << 6;
  if (restrictions.TextEncodingRestrictions()) value |= 0x20;
  value |= (static_cast<unsigned>(restrictions.TextSize()) & 3) << 3;
  if (restrictions.ImageEncodingRestrictions()) value |= 0x04;
  value |= static_cast<unsigned>(restrictions.ImageSize()) & 3;
  return static_cast<std::uint8_t>(value);
}

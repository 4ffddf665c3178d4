#pragma once
// The tag restrictions an extended header may carry: limits a tagger promised to respect.

#include <cstdint>

enum class TID3TagSizeRestrictions { sr128Frames_1MB, sr64Frames_128KB, sr32Frames_40KB, sr32Frames_4KB };
enum class TID3TextSizeRestrictions { trNone, tr1024max, tr128max, tr30max };
enum class TID3ImageSizeRestrictions { irNone, ir256x256max, ir64x64max, ir64x64fixed };

class TID3TagRestrictions {
 public:
  TID3TagSizeRestrictions TagSize() const { return tagSize_; }
  void SetTagSize(TID3TagSizeRestrictions value) { tagSize_ = value; }
  bool TextEncodingRestrictions() const { return textEncoding_; }
  void SetTextEncodingRestrictions(bool value) { textEncoding_ = value; }
  TID3TextSizeRestrictions TextSize() const { return textSize_; }
  void SetTextSize(TID3TextSizeRestrictions value) { textSize_ = value; }
  bool ImageEncodingRestrictions() const { return imageEncoding_; }
  void SetImageEncodingRestrictions(bool value) { imageEncoding_ = value; }
  TID3ImageSizeRestrictions ImageSize() const { return imageSize_; }
  void SetImageSize(TID3ImageSizeRestrictions value) { imageSize_ = value; }

  // Every member back to its first value or false.
  virtual void Clear();
  virtual ~TID3TagRestrictions() = default;

 private:
  TID3TagSizeRestrictions tagSize_ = TID3TagSizeRestrictions::sr128Frames_1MB;
  bool textEncoding_ = false;
  TID3TextSizeRestrictions textSize_ = TID3TextSizeRestrictions::trNone;
  bool imageEncoding_ = false;
  TID3ImageSizeRestrictions imageSize_ = TID3ImageSizeRestrictions::irNone;
};

// The restrictions byte: bits 7-6 tag size, 5 text encoding, 4-3 text size, 2 image encoding,
// 1-0 image size.
void DecodeRestrictions(std::uint8_t value, TID3TagRestrictions& restrictions);
std::uint8_t EncodeRestrictions(const TID3TagRestrictions& restrictions);

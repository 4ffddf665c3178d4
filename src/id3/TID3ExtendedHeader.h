#pragma once
// The optional extended header that follows the tag header.

#include <cstdint>

#include "id3/TID3TagRestrictions.h"

// A 35-bit CRC held in 64 bits.
using TCRCData = std::uint64_t;

class TID3ExtendedHeader {
 public:
  TID3ExtendedHeader() = default;
  virtual ~TID3ExtendedHeader() = default;
  TID3ExtendedHeader(const TID3ExtendedHeader&) = delete;
  TID3ExtendedHeader& operator=(const TID3ExtendedHeader&) = delete;

  bool TagIsAnUpdate() const { return tagIsAnUpdate_; }
  void SetTagIsAnUpdate(bool value) { tagIsAnUpdate_ = value; }
  bool CRCDataPresent() const { return crcDataPresent_; }
  void SetCRCDataPresent(bool value) { crcDataPresent_ = value; }
  TCRCData CRCData() const { return crcData_; }
  // Also marks the CRC as present.
  void SetCRCData(TCRCData value);
  bool TagRestricted() const { return tagRestricted_; }
  void SetTagRestricted(bool value) { tagRestricted_ = value; }
  TID3TagRestrictions& TagRestrictions() { return restrictions_; }
  const TID3TagRestrictions& TagRestrictions() const { return restrictions_; }

  // Flags false, CRC 0, restrictions cleared.
  virtual void Clear();

 private:
  bool tagIsAnUpdate_ = false;
  bool crcDataPresent_ = false;
  bool tagRestricted_ = false;
  TCRCData crcData_ = 0;
  TID3TagRestrictions restrictions_;
};

#include "id3/TID3ExtendedHeader.h"

void TID3ExtendedHeader::SetCRCData(TCRCData value) {
  crcData_ = value;
  crcDataPresent_ = true;
}

void TID3ExtendedHeader::Clear() {
  tagIsAnUpdate_ = false;
  crcDataPresent_ = false;
  tagRestricted_ = false;
  crcData_ = 0;
  restrictions_.Clear();
}

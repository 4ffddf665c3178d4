#include "id3/TID3Frames_Item.h"

#include <algorithm>

#include "id3/ID3Lists.h"
#include "id3/ID3Text.h"

namespace {

// Frames whose data starts with the text itself, without an encoding byte.
bool HasNoEncodingByte(std::string_view name) {
  if (!name.empty() && name[0] == 'W' && name != "WXXX") return true;
  return name == "UFID" || name == "PRIV" || name == "POPM";
}

}  // namespace

TID3Frames_Item::TID3Frames_Item(TID3Frames& collection) : collection_(collection) {}

void TID3Frames_Item::SetName(std::string_view value) {
  if (value.size() < 4) return;
  name_.assign(value.substr(0, 4));
}

void TID3Frames_Item::SetCompress(bool value) {
  compress_ = value;
  dataLengthIndicator_ = true;
}

void TID3Frames_Item::SetGroupID(std::uint8_t value) {
  groupID_ = value;
  grouping_ = true;
}

void TID3Frames_Item::SetEncryptionID(std::uint8_t value) {
  encryptionID_ = value;
  encrypted_ = true;
}

std::string TID3Frames_Item::AsText() const {
  if (data_.empty()) return {};
  const std::string_view bytes(data_);
  if (HasNoEncodingByte(name_)) return TrimControl(DecodeTerminatedText(bytes, TID3TextEncoding::Latin1));

  const TID3TextEncoding encoding = TextEncodingFromByte(static_cast<unsigned char>(bytes[0]));
  std::string_view rest = bytes.substr(1);
  const bool comment = name_ == "COMM" || name_ == "USLT";
  if (!comment && name_ != "TXXX" && name_ != "WXXX") return TrimControl(DecodeTerminatedText(rest, encoding));

  // Comment-like frames: [language,] description, terminator, then what the user wants to see.
  if (comment) rest.remove_prefix(std::min<std::size_t>(3, rest.size()));
  std::size_t descriptionSize = 0;
  DecodeTerminatedText(rest, encoding, &descriptionSize);
  rest.remove_prefix(descriptionSize);
  // The URL of a WXXX frame is always ISO-8859-1, whatever the description's encoding.
  return TrimControl(DecodeTerminatedText(rest, name_ == "WXXX" ? TID3TextEncoding::Latin1 : encoding));
}

void TID3Frames_Item::SetAsText(std::string_view text) {
  data_.clear();
  data_.push_back(HasHighByte(text) ? '\3' : '\0');
  data_.append(text);
}

std::string TID3Frames_Item::DisplayName() const {
  if (name_.empty()) return "TID3Frames_Item";
  const std::string_view description = FrameDescription(name_);
  return description.empty() ? name_ : std::string(description);
}

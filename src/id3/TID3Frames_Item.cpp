#include "id3/TID3Frames_Item.h"

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
  if (name_ == "COMM" || name_ == "USLT") {
    const std::string_view language = rest.substr(0, 3);
    std::string text;
    for (char c : language)  // a zero byte is no letter of a language code
      if (c != '\0') text += Latin1ToUtf8(std::string_view(&c, 1));
    text += DecodeTerminatedText(rest.substr(language.size()), encoding);
    return TrimControl(text);
  }
  // TXXX and WXXX show their description, which is the text up to the first terminator.
  return TrimControl(DecodeTerminatedText(rest, encoding));
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

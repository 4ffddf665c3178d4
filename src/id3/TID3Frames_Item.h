#pragma once
// One frame of a tag: identifier, flags and data (after decryption and decompression).

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

class TID3Frames;

class TID3Frames_Item {
 public:
  explicit TID3Frames_Item(TID3Frames& collection);
  virtual ~TID3Frames_Item() = default;
  TID3Frames_Item(const TID3Frames_Item&) = delete;
  TID3Frames_Item& operator=(const TID3Frames_Item&) = delete;

  // Four-character identifier such as "TIT2"; empty for a fresh item.
  const std::string& Name() const { return name_; }
  // Ignored for fewer than 4 bytes; otherwise the first 4 become the identifier.
  void SetName(std::string_view value);

  bool TagAlterDiscardable() const { return tagAlterDiscardable_; }
  void SetTagAlterDiscardable(bool value) { tagAlterDiscardable_ = value; }
  bool FileAlterDiscardable() const { return fileAlterDiscardable_; }
  void SetFileAlterDiscardable(bool value) { fileAlterDiscardable_ = value; }
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool value) { readOnly_ = value; }

  bool Grouping() const { return grouping_; }
  void SetGrouping(bool value) { grouping_ = value; }
  // Setting either value also sets DataLengthIndicator.
  bool Compress() const { return compress_; }
  void SetCompress(bool value);
  bool Encrypted() const { return encrypted_; }
  void SetEncrypted(bool value) { encrypted_ = value; }
  // Recorded and written back only: data is never (de-)unsynchronised.
  bool UnSynchronisation() const { return unSynchronisation_; }
  void SetUnSynchronisation(bool value) { unSynchronisation_ = value; }
  bool DataLengthIndicator() const { return dataLengthIndicator_; }
  void SetDataLengthIndicator(bool value) { dataLengthIndicator_ = value; }

  std::uint8_t GroupID() const { return groupID_; }
  // Also sets Grouping.
  void SetGroupID(std::uint8_t value);
  std::uint8_t EncryptionID() const { return encryptionID_; }
  // Also sets Encrypted.
  void SetEncryptionID(std::uint8_t value);

  // The data bytes as the program sees them.
  const std::string& Data() const { return data_; }
  std::string& Data() { return data_; }
  void SetData(std::string value) { data_ = std::move(value); }
  std::size_t DataSize() const { return data_.size(); }

  // UTF-8 text view of the data. Text frames: the text after the encoding byte (ISO-8859-1,
  // UTF-16 with or without byte-order mark, UTF-16BE or UTF-8), up to its terminator.
  // COMM, USLT: the text after language and description; TXXX: the value after the
  // description; WXXX: the URL (ISO-8859-1) after the description. URL frames, UFID, PRIV,
  // POPM: the ISO-8859-1 bytes up to the first zero. Leading and trailing code points up to
  // 32 are removed. No data gives the empty text.
  std::string AsText() const;
  // Data := encoding byte (3 = UTF-8 when the text has a byte of 0x80 or more, else 0) and the
  // text's bytes, no terminator.
  void SetAsText(std::string_view text);

  // The frame's description from FrameNameList, the identifier when the list lacks it, or the
  // class name for an unnamed item.
  std::string DisplayName() const;
  TID3Frames& Collection() const { return collection_; }

 private:
  TID3Frames& collection_;
  std::string name_;
  bool tagAlterDiscardable_ = false;
  bool fileAlterDiscardable_ = false;
  bool readOnly_ = false;
  bool grouping_ = false;
  bool compress_ = false;
  bool encrypted_ = false;
  bool unSynchronisation_ = false;
  bool dataLengthIndicator_ = false;
  std::uint8_t groupID_ = 0;
  std::uint8_t encryptionID_ = 0;
  std::string data_;
};

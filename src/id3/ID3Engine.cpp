#include "id3/ID3Engine.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>

#include "id3/ID3FileReplace.h"
#include "id3/ID3SyncSafe.h"
#include "id3/ID3Text.h"

namespace {

constexpr std::int64_t HeaderSize = 10;
constexpr std::int64_t TrailerSize = 128;
constexpr std::size_t SeekBlockSize = 4096;
// Tags up to this size are read with one system call; larger ones frame by frame.
constexpr std::size_t MaxPrefetch = 16u * 1024u * 1024u;
constexpr std::int64_t StreamLookahead = 4096;

bool IsTagStart(const unsigned char* bytes) {
  return bytes[0] == 'I' && bytes[1] == 'D' && bytes[2] == '3' && bytes[3] <= 4;
}

// Folders, pipes and devices are no files to read a tag from.
bool FileExists(const std::string& path) {
  struct stat info {};
  return !path.empty() && ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

// Whole text as a decimal integer (optional sign), else fallback.
int IntegerOr(std::string_view text, int fallback) {
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  int value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || text.empty()) return fallback;
  return value;
}

// An ID3v1 text field: up to its first zero byte, as UTF-8, without blanks around it.
std::string TrailerField(std::string_view trailer, std::size_t offset, std::size_t width) {
  std::string_view field = trailer.substr(offset, width);
  field = field.substr(0, field.find('\0'));
  return TrimControl(Latin1ToUtf8(field));
}

void PutTrailerField(std::string& trailer, std::size_t offset, std::size_t width, std::string_view text) {
  const std::string bytes = Utf8ToLatin1(text);
  std::copy_n(bytes.begin(), std::min(width, bytes.size()), trailer.begin() + static_cast<std::ptrdiff_t>(offset));
}

// Copies count bytes at from into dest; count 0 copies nothing (unlike CopyStreamData).
void CopyRange(TID3FileStream& source, std::int64_t from, std::int64_t count, TID3FileStream& dest) {
  if (count <= 0) return;
  source.Seek(from);
  CopyStreamData(source, dest, count);
}

}  // namespace

TID3Engine::TID3Engine() : header_(*this), frames_(*this) {}

TID3Engine::~TID3Engine() = default;

void TID3Engine::Fire(const TNotifyEvent& event) {
  if (event) event(*this);
}

void TID3Engine::SetFileName(const std::string& value) {
  if (!Active()) fileName_ = value;
}

void TID3Engine::SetPadding(int value) { padding_ = value < 0 || header_.FooterPresent() ? 0 : value; }

void TID3Engine::SetActive(bool value) {
  if (value == Active()) return;
  if (!value) {
    stream_.reset();
    ResetTag();
    Fire(OnFileClose);
    return;
  }
  try {
    stream_ = std::make_unique<TID3FileStream>(fileName_, TID3FileStream::TMode::Read);
  } catch (const EID3FileError&) {
    if (!FileExists(fileName_)) return;
    throw;
  }
  try {
    ReadTag();
  } catch (...) {
    stream_.reset();
    ResetTag();
    throw;
  }
  Fire(OnFileOpen);
}

void TID3Engine::ResetTag() {
  header_.Clear();
  frames_.Clear();
  padding_ = 0;
  tagLength_ = 0;
  tagOffset_ = 0;
  tagKind_ = TID3TagKind::None;
  lastFrameEnd_ = 0;
  declaredLength_ = 0;
  overrunFrame_ = nullptr;
}

void TID3Engine::ReadTag() {
  if (!Active()) return;
  ResetTag();
  stream_->DropWindow();  // a tag read again is read from the file
  identity_ = stream_->Identity();
  // Until the read completes, the tag in memory may be partial: nothing may be written from it.
  tagComplete_ = false;
  if (!LocateTag()) tagOffset_ = 0;
  stream_->Seek(tagOffset_);
  if (header_.ReadHeader(*stream_)) {
    tagKind_ = TID3TagKind::ID3v2;
    // One read for the whole tag, its header and the start of what follows (where readers of
    // the audio stream look next).
    const std::int64_t framesStart = stream_->Position();
    stream_->Seek(tagOffset_);
    stream_->Prefetch(static_cast<std::size_t>(std::min<std::int64_t>(HeaderSize * 2 + header_.TagSize() + StreamLookahead, MaxPrefetch)));
    stream_->Seek(framesStart);
    frames_.ReadFrames(*stream_);
    if (header_.FooterPresent()) padding_ = 0;
    const std::int64_t declared = HeaderSize + header_.TagSize();
    const std::int64_t framesEnd = lastFrameEnd_ - tagOffset_;
    declaredLength_ = declared + (header_.FooterPresent() ? HeaderSize : 0);
    tagLength_ = framesEnd > declared ? framesEnd : declaredLength_;
  } else {
    ReadID3v1Tag();
    tagLength_ = 0;
    declaredLength_ = 0;
  }
  tagComplete_ = true;
  Fire(OnReadTag);
}

bool TID3Engine::LocateTag() {
  tagOffset_ = 0;
  if (!Active()) return false;
  unsigned char start[4] = {};
  stream_->Seek(0);
  if (stream_->Read(start, 4) == 4 && IsTagStart(start)) return true;
  if (!fullID3TagSeek_) return false;

  // Every offset in turn; the last 3 bytes of a block are kept to catch a match across blocks.
  std::string carry;
  std::int64_t blockStart = 0;
  stream_->Seek(0);
  for (;;) {
    std::string bytes = carry + stream_->ReadBytes(SeekBlockSize);
    if (bytes.size() == carry.size()) return false;
    const std::int64_t base = blockStart - static_cast<std::int64_t>(carry.size());
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
    for (std::size_t i = 0; i + 4 <= bytes.size(); ++i) {
      if (IsTagStart(data + i)) {
        tagOffset_ = base + static_cast<std::int64_t>(i);
        return true;
      }
    }
    blockStart += static_cast<std::int64_t>(bytes.size() - carry.size());
    carry = bytes.substr(bytes.size() >= 3 ? bytes.size() - 3 : 0);
  }
}

void TID3Engine::ReadID3v1Tag() {
  if (!Active() || stream_->Size() < TrailerSize) return;
  stream_->Seek(stream_->Size() - TrailerSize);
  const std::string trailer = stream_->ReadBytes(TrailerSize);
  if (trailer.size() < TrailerSize || trailer.compare(0, 3, "TAG") != 0) return;
  if (tagKind_ == TID3TagKind::None) tagKind_ = TID3TagKind::ID3v1;
  SetTitle(TrailerField(trailer, 3, 30));
  SetArtist(TrailerField(trailer, 33, 30));
  SetAlbum(TrailerField(trailer, 63, 30));
  SetYear(TrailerField(trailer, 93, 4));
  AddComment("MAIN", TrailerField(trailer, 97, 29), "ENG");
  const auto track = static_cast<unsigned char>(trailer[126]);
  SetTrack(std::to_string(track));
  const auto genre = static_cast<unsigned char>(trailer[127]);
  if (genre < GenreCount) SetGenre(GenreList()[genre]);
  header_.SetExtendedHeaderPresent(true);
  header_.ExtendedHeader().SetTagIsAnUpdate(true);
  SetPadding(250);
}

std::optional<std::string> TID3Engine::TextFrame(std::string_view id) const {
  if (!Active()) return std::string();
  const TID3Frames_Item* frame = frames_.FindFrame(id);
  if (!frame) return std::nullopt;
  return frame->AsText();
}

std::optional<std::string> TID3Engine::Year() const {
  std::optional<std::string> year = TextFrame("TYER");
  if (!Active() || frames_.FindFrame("TYER") != nullptr) return year;
  return YearOfRecordingTime(TextFrame("TDRC"));
}

void TID3Engine::SetTextFrame(std::string_view id, std::string_view text) {
  if (!Active()) return;
  TID3Frames_Item* frame = frames_.FindFrame(id);
  if (!frame) {
    frame = &frames_.Add();
    frame->SetName(id);
  }
  frame->SetAsText(text);
}

int TID3Engine::AddComment(std::string_view description, std::string_view text, std::string_view language) {
  if (!Active()) return -1;
  const int before = CountFrames("COMM");
  std::string data;
  data.push_back(HasHighByte(description) || HasHighByte(text) ? '\3' : '\0');
  std::string code(language.substr(0, 3));
  code.resize(3, ' ');
  data += code;
  data += description;
  data.push_back('\0');
  data += text;
  data.push_back('\0');
  TID3Frames_Item& frame = frames_.Add();
  frame.SetName("COMM");
  frame.SetData(std::move(data));
  return before;
}

int TID3Engine::CountFrames(std::string_view id) const {
  int count = 0;
  for (std::size_t i = 0; i < frames_.Count(); ++i)
    if (frames_[i].Name() == id) ++count;
  return count;
}

TID3FileStream TID3Engine::OpenForWriting() {
  if (!tagComplete_) throw EID3Error("The tag of \"" + fileName_ + "\" could not be read completely; nothing was written");
  TID3FileStream file(fileName_, TID3FileStream::TMode::ReadWrite);
  if (file.Identity() != identity_)
    throw EID3FileError("\"" + fileName_ + "\" changed since it was read; nothing was written");
  return file;
}

void TID3Engine::ReopenAfterWriting() {
  stream_ = std::make_unique<TID3FileStream>(fileName_, TID3FileStream::TMode::Read);
  identity_ = stream_->Identity();
}

std::int64_t TID3Engine::DeclaredRoom(const TID3FileStream& file) const {
  return std::clamp<std::int64_t>(file.Size() - tagOffset_, 0, declaredLength_);
}

std::string TID3Engine::SerializeTag(std::int64_t room, bool& inPlace, std::int64_t& padding) {
  const bool footer = header_.FooterPresent();
  const std::int64_t footerSize = footer ? HeaderSize : 0;
  // The tag is always written in the version 4 layout, so it must say version 4; a tag that
  // cannot be written keeps the version it was read with.
  const std::uint8_t version = header_.VersionNumber(), revision = header_.VersionRevision();
  header_.SetVersionNumber(4);
  header_.SetVersionRevision(0);
  std::string tag;
  const std::size_t sizeField = header_.WriteHeader(tag, false);
  try {
    frames_.WriteFrames(tag);
  } catch (...) {
    header_.SetVersionNumber(version);
    header_.SetVersionRevision(revision);
    throw;
  }
  padding = footer ? 0 : padding_;
  std::int64_t length = static_cast<std::int64_t>(tag.size()) + padding + footerSize;
  // In place only where the old tag has room; a shorter tag is padded to the old length so that
  // no stale frame bytes stay behind it.
  inPlace = length <= room;
  if (inPlace) {
    padding += room - length;
    length = room;
  }
  const std::int64_t tagSize = length - HeaderSize - footerSize;
  if (tagSize > MaxSyncSafe32) throw EID3Error("The tag is too large to be written to \"" + fileName_ + "\"");
  header_.SetTagSize(static_cast<std::int32_t>(tagSize));
  StoreSyncSafe32(tag, sizeField, static_cast<std::uint32_t>(tagSize));
  tag.append(static_cast<std::size_t>(padding), '\0');
  if (footer) header_.WriteHeader(tag, true);
  return tag;
}

void TID3Engine::WriteTag() {
  if (!Active()) return;
  if (tagKind_ == TID3TagKind::ID3v2 && header_.VersionNumber() == 2 && header_.Compression() && declaredLength_ > 0)
    throw EID3Error("The tag of \"" + fileName_ +
                    "\" is compressed (version 2.2) and its frames could not be read; nothing was written");
  TID3FileStream file = OpenForWriting();
  const std::int64_t room = DeclaredRoom(file);
  // A frame that ran past the declared end keeps only its bytes inside the tag: the bytes after
  // the end belong to the rest of the file, which stays where it is.
  TID3Frames_Item* overrun = nullptr;
  std::string overrunData;
  for (std::size_t i = 0; i < frames_.Count() && overrunFrame_; ++i)
    if (&frames_[i] == overrunFrame_ && frames_[i].DataSize() == overrunDataSize_) overrun = &frames_[i];
  if (overrun) {
    overrunData = overrun->Data();
    overrun->Data().resize(overrunKeep_);
  }
  try {
    bool inPlace = false;
    std::int64_t padding = 0;
    const std::string tag = SerializeTag(room, inPlace, padding);
    if (inPlace) {
      OverwriteOrRestore(file, tagOffset_, tag);
    } else {
      ReplaceFileContent(file, [&](TID3FileStream& dest) {
        dest.Write(tag);
        CopyRange(file, 0, tagOffset_, dest);
        const std::int64_t rest = tagOffset_ + room;
        CopyRange(file, rest, file.Size() - rest, dest);
      });
      tagOffset_ = 0;
    }
    tagLength_ = declaredLength_ = static_cast<std::int64_t>(tag.size());
    if (!header_.FooterPresent()) padding_ = static_cast<int>(padding);
  } catch (...) {
    if (overrun) overrun->Data() = std::move(overrunData);
    throw;
  }
  overrunFrame_ = nullptr;
  tagKind_ = TID3TagKind::ID3v2;
  ReopenAfterWriting();
  Fire(OnWriteTag);
  if (writeID3V1_) WriteID3v1Tag();
}

void TID3Engine::EraseTag() {
  if (!Active()) return;
  if (header_.TagSize() >= 0 && declaredLength_ > 0) {
    TID3FileStream file = OpenForWriting();
    const std::int64_t rest = tagOffset_ + DeclaredRoom(file);
    ReplaceFileContent(file, [&](TID3FileStream& dest) {
      CopyRange(file, 0, tagOffset_, dest);
      CopyRange(file, rest, file.Size() - rest, dest);
    });
    // The file holds no tag any more: a later WriteTag must insert one, not overwrite audio.
    header_.SetTagSize(-1);
    tagOffset_ = 0;
    tagLength_ = declaredLength_ = 0;
    overrunFrame_ = nullptr;
    tagKind_ = TID3TagKind::None;
    ReopenAfterWriting();
  }
  Fire(OnEraseTag);
}

void TID3Engine::WriteID3v1Tag() {
  if (!Active()) return;
  TID3FileStream file = OpenForWriting();
  std::int64_t at = file.Size();
  if (file.Size() >= TrailerSize) {
    file.Seek(file.Size() - TrailerSize);
    if (file.ReadBytes(3) == "TAG") at = file.Size() - TrailerSize;
  }
  std::string trailer(TrailerSize, '\0');
  trailer.replace(0, 3, "TAG");
  PutTrailerField(trailer, 3, 30, Title().value_or(""));
  PutTrailerField(trailer, 33, 30, Artist().value_or(""));
  PutTrailerField(trailer, 63, 30, Album().value_or(""));
  PutTrailerField(trailer, 93, 4, Year().value_or(""));
  trailer[126] = static_cast<char>(IntegerOr(Track().value_or(""), 0) & 0xFF);
  const std::string genre = Genre().value_or("");
  const std::size_t open = genre.find('('), close = genre.find(')');
  int genreIndex = 0;
  if (open != std::string::npos && close != std::string::npos && close > open)
    genreIndex = IntegerOr(std::string_view(genre).substr(open + 1, close - open - 1), 0);
  trailer[127] = static_cast<char>(genreIndex & 0xFF);
  OverwriteOrRestore(file, at, trailer);
  ReopenAfterWriting();
}

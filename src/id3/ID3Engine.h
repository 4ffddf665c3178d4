#pragma once
// TID3Engine: opens one audio file at a time, parses its ID3v2 tag (or, failing that, its ID3v1
// trailer) into a header and a frame collection, and can write the tag back, erase it and write
// an ID3v1 trailer.
//
// Use: SetFileName(path); SetActive(true); read; SetActive(false) - the last step also when
// reading raised, e.g. through a guard. Opening reads only the tag bytes, never audio data.
//
// Texts are UTF-8; paths are the file system's bytes.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "id3/ID3Errors.h"
#include "id3/ID3Lists.h"
#include "id3/TID3FileStream.h"
#include "id3/TID3Frames.h"
#include "id3/TID3Frames_Item.h"
#include "id3/TID3Header.h"

class TID3Engine;

// Where the tag in memory came from.
enum class TID3TagKind {
  None,   // the file has neither an ID3v2 tag nor an ID3v1 trailer
  ID3v1,  // no ID3v2 tag; the frames were made from the ID3v1 trailer
  ID3v2,  // an ID3v2 tag, of version Header().VersionNumber() (2, 3 or 4; 0 and 1 are odd tags)
};

using TNotifyEvent = std::function<void(TID3Engine& sender)>;
// Transforms the bytes of an encrypted frame in place (data: the frame's bytes).
using TID3EngineFrameNotify =
    std::function<void(TID3Engine& sender, TID3Frames_Item& frame, std::string& data)>;

class TID3Engine {
 public:
  TID3Engine();
  // Closes the file without firing OnFileClose.
  virtual ~TID3Engine();
  TID3Engine(const TID3Engine&) = delete;
  TID3Engine& operator=(const TID3Engine&) = delete;

  bool Active() const { return stream_ != nullptr; }
  // The open file while active (null otherwise), for readers of what follows the tag.
  const TID3FileStream* Stream() const { return stream_.get(); }
  // true: when inactive and the file exists, opens it read-only, ReadTag, fires OnFileOpen; a
  // missing file (or a folder, pipe or device) leaves the engine inactive without error. An open failure raises
  // EID3FileError; an error while reading (a damaged tag or compressed frame) closes the file again and
  // propagates. false: closes the file, forgets the tag, fires OnFileClose.
  void SetActive(bool value);
  const std::string& FileName() const { return fileName_; }
  // Ignored while active.
  void SetFileName(const std::string& value);
  bool FullID3TagSeek() const { return fullID3TagSeek_; }
  void SetFullID3TagSeek(bool value) { fullID3TagSeek_ = value; }
  bool WriteID3V1() const { return writeID3V1_; }
  void SetWriteID3V1(bool value) { writeID3V1_ = value; }
  // Padding bytes after the last frame: never negative, 0 while the header has a footer.
  int Padding() const { return padding_; }
  void SetPadding(int value);
  TID3Header& Header() { return header_; }
  const TID3Header& Header() const { return header_; }
  TID3Frames& Frames() { return frames_; }
  const TID3Frames& Frames() const { return frames_; }
  // File offset of the tag's first byte (0 unless found by the full seek).
  std::int64_t TagOffset() const { return tagOffset_; }
  // Bytes the tag occupies: header, extended header, frames, padding, footer; 0 without a tag.
  std::int64_t TagLength() const { return tagLength_; }
  // What the last read found (None while inactive); a WriteTag makes it ID3v2 (version 4), an
  // EraseTag None.
  TID3TagKind TagKind() const { return tagKind_; }

  // Named text properties: the AsText of the first frame with the identifier.
  //   frame present          -> its text (possibly "")
  //   active, no such frame  -> std::nullopt
  //   inactive               -> "" (an empty text, not nullopt)
  // Setters (no effect while inactive) give the first such frame, appended when missing, the
  // data of TID3Frames_Item::SetAsText.
  std::optional<std::string> Title() const { return TextFrame("TIT2"); }
  void SetTitle(std::string_view text) { SetTextFrame("TIT2", text); }
  std::optional<std::string> SubTitle() const { return TextFrame("TIT3"); }
  void SetSubTitle(std::string_view text) { SetTextFrame("TIT3", text); }
  std::optional<std::string> Artist() const { return TextFrame("TPE1"); }
  void SetArtist(std::string_view text) { SetTextFrame("TPE1", text); }
  std::optional<std::string> Album() const { return TextFrame("TALB"); }
  void SetAlbum(std::string_view text) { SetTextFrame("TALB", text); }
  // TYER; a tag without one (version 4 replaced it by TDRC) gives the first four characters
  // of the first TDRC frame when they are four digits.
  std::optional<std::string> Year() const;
  void SetYear(std::string_view text) { SetTextFrame("TYER", text); }
  std::optional<std::string> Track() const { return TextFrame("TRCK"); }
  void SetTrack(std::string_view text) { SetTextFrame("TRCK", text); }
  std::optional<std::string> Genre() const { return TextFrame("TCON"); }
  void SetGenre(std::string_view text) { SetTextFrame("TCON", text); }
  std::optional<std::string> EncodedBy() const { return TextFrame("TENC"); }
  void SetEncodedBy(std::string_view text) { SetTextFrame("TENC", text); }

  std::optional<std::string> TextFrame(std::string_view id) const;
  void SetTextFrame(std::string_view id, std::string_view text);
  // Appends a COMM frame (language: its first 3 bytes, padded with blanks). Returns the number
  // of COMM frames there were before, or -1 while inactive.
  int AddComment(std::string_view description, std::string_view text, std::string_view language);
  int CountFrames(std::string_view id) const;

  // Re-reads the tag of the open file; no effect while inactive.
  void ReadTag();
  // The writers below never touch a byte after the declared end of the tag (TagOffset + 10 +
  // TagSize, + 10 with a footer), even where a frame ran past it when read, and leave the file
  // as it was when they fail (see ReplaceFileContent). They raise EID3FileError without writing
  // when the file is no longer the one that was read (another file renamed onto the name, or
  // the file changed in between).
  //
  // Writes the in-memory tag (version 4 layout, whatever version was read) into the file, opened
  // read-write for it, in place of the old tag. A tag shorter than the old one is padded to the
  // old length. Then, with WriteID3V1, the trailer. Raises EID3Error without writing for a frame
  // whose identifier version 4 cannot hold (a version 2 frame without a later counterpart) and
  // for a compressed version 2 tag, whose frames could not be read (EraseTag removes it).
  void WriteTag();
  // Removes the ID3v2 tag bytes from the file; the in-memory tag stays (the header's TagSize
  // becomes -1 and TagLength 0, since the file holds no tag any more). A trailer is kept.
  void EraseTag();
  // Overwrites the ID3v1 trailer or appends one, from Title, Artist, Album, Year, Track, Genre.
  void WriteID3v1Tag();

  // Parts of ReadTag, usable on their own while active.
  // Finds the tag: at offset 0, or (FullID3TagSeek) at the first "ID3" + version 0-4 in the file.
  // Sets TagOffset (0 when nothing is found) and returns whether a tag was found.
  bool LocateTag();
  // Fills the tag from the ID3v1 trailer, when the file has one.
  void ReadID3v1Tag();

  TNotifyEvent OnReadTag;
  TNotifyEvent OnWriteTag;
  TNotifyEvent OnEraseTag;
  TNotifyEvent OnFileOpen;
  TNotifyEvent OnFileClose;
  TID3EngineFrameNotify OnFrameDecrypt;
  TID3EngineFrameNotify OnFrameEncrypt;

 private:
  friend class TID3Frames;
  void ResetTag();
  void Fire(const TNotifyEvent& event);
  void SetTagLength(std::int64_t value) { tagLength_ = value; }
  // The file opened read-write, after checking that the tag was read completely and that the
  // file is still the one it was read from.
  TID3FileStream OpenForWriting();
  // Reopens the file for reading after a write and remembers it as read.
  void ReopenAfterWriting();
  // The tag's bytes as they go into the file: header, frames, padding, footer; room: what the
  // old tag occupies. Sets the header's TagSize and reports whether it fits in place.
  std::string SerializeTag(std::int64_t room, bool& inPlace, std::int64_t& padding);
  // Bytes of the old tag in the file up to its declared end (never past the end of the file).
  std::int64_t DeclaredRoom(const TID3FileStream& file) const;

  std::string fileName_;
  bool fullID3TagSeek_ = false;
  bool writeID3V1_ = false;
  int padding_ = 0;
  std::int64_t tagOffset_ = 0;
  std::int64_t tagLength_ = 0;
  TID3TagKind tagKind_ = TID3TagKind::None;
  std::int64_t lastFrameEnd_ = 0;
  // TagLength as the header declares it, whatever a frame claimed beyond it.
  std::int64_t declaredLength_ = 0;
  // The frame that ran past the declared end when read: its data size then, and how much of it
  // lay inside the tag.
  const TID3Frames_Item* overrunFrame_ = nullptr;
  std::size_t overrunDataSize_ = 0;
  std::size_t overrunKeep_ = 0;
  TID3FileIdentity identity_;
  bool tagComplete_ = false;
  TID3Header header_;
  TID3Frames frames_;
  std::unique_ptr<TID3FileStream> stream_;
};

// Name for a new temporary file: the system temporary folder (TMPDIR, else /tmp) + "ID3TMP" +
// upper-case hexadecimal number + ".tmp", not existing when returned.
std::string MakeTempFileName();
// The same name in another folder.
std::string MakeTempFileName(std::string folder);
// Creates a temporary file exclusively (mode 0600) under a MakeTempFileName name; path receives
// the name. The caller deletes it.
TID3FileStream CreateTempFile(std::string& path);
// The same in folder, with the given permission bits.
TID3FileStream CreateTempFile(std::string& path, const std::string& folder, unsigned permissions);
// Copies count bytes from source's position to dest's position in blocks of at most 4096 bytes;
// count 0 means all of source from its start; a count beyond what source holds is cut.
void CopyStreamData(TID3FileStream& source, TID3FileStream& dest, std::int64_t count);
// Inflates a zlib stream in place, in memory. Raises EID3DecompressionError for damaged data, a
// stream cut short, or more than MaxInflatedFrameSize bytes (limit bytes, described by
// limitText, in the second form).
inline constexpr std::size_t MaxInflatedFrameSize = 16u * 1024u * 1024u;
void DecompressFrameData(std::string& data);
void DecompressFrameData(std::string& data, std::size_t limit, const std::string& limitText);
// Deflates at level 9 (through a temporary file) in place.
void CompressFrameData(std::string& data);

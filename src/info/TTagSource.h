#pragma once
// Where a file's tag values and audio properties come from: the program's own ID3 engine for
// files with an ID3 tag, the other containers' native tags otherwise. Callers ask by frame
// identifier (ID3v2.4 identifiers whatever the container) and never write through a source.

#include <optional>
#include <string>
#include <string_view>

// What the audio stream says of itself; zero (or empty) where the file does not tell.
struct TAudioProperties {
  int LengthMs = 0;
  int BitrateKbps = 0;  // the average for a variable bit rate
  int SampleRate = 0;   // Hz
  int Channels = 0;
  int BitsPerSample = 0;  // only where the format has one (lossless and PCM formats)
  std::string Codec;      // "MP3", "FLAC", "Vorbis", ...; empty when unknown
};

class TTagSource {
 public:
  virtual ~TTagSource() = default;

  // The text of the first frame with this identifier; no value when there is none.
  virtual std::optional<std::string> FrameText(std::string_view id) const = 0;
  // "ID3v2.4", "ID3v1", "Vorbis comments", "MP4", ...; empty when the file has no tag.
  virtual std::string TagFormat() const = 0;
  // Read on first use: listing tag columns never pays for decoding stream headers.
  virtual const TAudioProperties& AudioProperties() const = 0;

  // The basic field of "1TIT", "1ART", "1ALB", "1YEA", "1GEN": the text of its frame (TIT2,
  // TPE1, TALB, TYER or the year of TDRC, TCON), no text when the frame is missing. No value at
  // all for any other code.
  virtual std::optional<std::optional<std::string>> BasicField(std::string_view code) const;
};

#pragma once
// The tag source of the containers the ID3 engine does not read (FLAC, Ogg, MP4, WAV, AIFF,
// APE, WavPack, Musepack, ASF ...), and the audio properties of every file. The container's
// unified properties are presented as ID3v2.4 frames: TITLE as TIT2, DATE as TDRC, COMMENT as
// COMM and so on, each with the property's first value as its text. A file the reader cannot
// open, or a damaged one, has no frames, no tag format and empty properties.

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "info/TTagSource.h"

// Whether the container reader takes a file of this name for MPEG audio (by its extension).
bool IsMPEGAudioName(const std::string& path);

class TTagLibSource final : public TTagSource {
 public:
  // Reads the file (read-only) when first asked.
  explicit TTagLibSource(std::string path);
  // Reads the file's bytes from memory instead; the container is told by its content.
  static TTagLibSource FromBytes(std::string bytes);

  std::optional<std::string> FrameText(std::string_view id) const override;
  std::string TagFormat() const override;
  const TAudioProperties& AudioProperties() const override;

  // The frames in the order they were mapped: (identifier, text).
  const std::vector<std::pair<std::string, std::string>>& Frames() const;

 private:
  TTagLibSource() = default;
  void Read(bool withProperties) const;

  std::string path_;
  std::optional<std::string> bytes_;
  mutable bool tagsRead_ = false;
  mutable bool propertiesRead_ = false;
  mutable std::vector<std::pair<std::string, std::string>> frames_;
  mutable std::string tagFormat_;
  mutable TAudioProperties properties_;
};

#include "info/UnitID3TagSource.h"

#include "id3/ID3Engine.h"
#include "info/UnitMPEGProperties.h"
#include "info/UnitTagLibSource.h"

bool HasID3Tag(const TID3Engine& engine) {
  // A failed header read leaves the size at -1; a trailer alone fills frames all the same.
  return engine.Active() && (engine.Header().TagSize() >= 0 || engine.Frames().Count() > 0);
}

std::string ID3TagFormat(const TID3Engine& engine) {
  if (!engine.Active()) return std::string();
  if (engine.Header().TagSize() >= 0) {
    return "ID3v2." + std::to_string(engine.Header().VersionNumber());
  }
  return engine.Frames().Count() > 0 ? std::string("ID3v1") : std::string();
}

TID3TagSource::TID3TagSource(const TID3Engine& engine) : engine_(engine) {}

TID3TagSource::~TID3TagSource() = default;

std::optional<std::string> TID3TagSource::FrameText(std::string_view id) const {
  if (const TID3Frames_Item* frame = engine_.Frames().FindFrame(id); frame != nullptr) {
    return frame->AsText();
  }
  return std::nullopt;
}

std::string TID3TagSource::TagFormat() const { return ID3TagFormat(engine_); }

const TAudioProperties& TID3TagSource::AudioProperties() const {
  if (!engine_.Active()) {
    static const TAudioProperties none;
    return none;
  }
  if (mpeg_) return *mpeg_;
  // MPEG audio is measured through the descriptor the engine holds; anything else, or an MPEG
  // file that is not a plain case, through the container reader.
  if (!stream_ && IsMPEGAudioName(engine_.FileName())) {
    mpeg_ = ReadMPEGProperties(*engine_.Stream());
    if (mpeg_) return *mpeg_;
  }
  if (!stream_) stream_ = std::make_unique<TTagLibSource>(engine_.FileName());
  return stream_->AudioProperties();
}

std::optional<std::optional<std::string>> TID3TagSource::BasicField(std::string_view code) const {
  if (code == "1TIT") return engine_.Title();
  if (code == "1ART") return engine_.Artist();
  if (code == "1ALB") return engine_.Album();
  if (code == "1YEA") return engine_.Year();
  if (code == "1GEN") return engine_.Genre();
  return std::nullopt;
}

#include "info/UnitTagSource.h"

#include "id3/ID3Engine.h"
#include "id3/ID3Text.h"
#include "info/UnitID3TagSource.h"
#include "info/UnitTagLibSource.h"

std::optional<std::optional<std::string>> TTagSource::BasicField(std::string_view code) const {
  if (code == "1TIT") return FrameText("TIT2");
  if (code == "1ART") return FrameText("TPE1");
  if (code == "1ALB") return FrameText("TALB");
  if (code == "1GEN") return FrameText("TCON");
  if (code != "1YEA") return std::nullopt;
  if (auto year = FrameText("TYER")) return year;
  return std::optional<std::optional<std::string>>(YearOfRecordingTime(FrameText("TDRC")));
}

std::unique_ptr<TTagSource> MakeTagSource(const TID3Engine& engine) {
  if (!engine.Active() || HasID3Tag(engine)) {
    return std::make_unique<TID3TagSource>(engine);
  }
  return std::make_unique<TTagLibSource>(engine.FileName());
}

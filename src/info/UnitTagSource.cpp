#include "info/UnitTagSource.h"

#include "id3/ID3Engine.h"
#include "info/UnitID3TagSource.h"
#include "info/UnitTagLibSource.h"

std::optional<std::optional<std::string>> TTagSource::BasicField(std::string_view code) const {
  if (code == "1TIT") return FrameText("TIT2");
  if (code == "1ART") return FrameText("TPE1");
  if (code == "1ALB") return FrameText("TALB");
  if (code == "1GEN") return FrameText("TCON");
  if (code != "1YEA") return std::nullopt;
  if (auto year = FrameText("TYER")) return year;
  // Newer tags keep only the recording time; its year stands in when it starts with one.
  const std::optional<std::string> recorded = FrameText("TDRC");
  if (!recorded || recorded->size() < 4) return std::optional<std::string>();
  for (std::size_t i = 0; i < 4; ++i) {
    if ((*recorded)[i] < '0' || (*recorded)[i] > '9') return std::optional<std::string>();
  }
  return std::optional<std::string>(recorded->substr(0, 4));
}

std::unique_ptr<TTagSource> MakeTagSource(const TID3Engine& engine) {
  if (!engine.Active() || HasID3Tag(engine)) {
    return std::make_unique<TID3TagSource>(engine);
  }
  return std::make_unique<TTagLibSource>(engine.FileName());
}

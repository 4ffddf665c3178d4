#pragma once
// The tag source of a file whose tag the ID3 engine read.

#include <memory>
#include <optional>
#include <string>

#include "info/TTagSource.h"

class TID3Engine;
class TTagLibSource;

// Whether the open engine found an ID3v2 tag or an ID3v1 trailer in its file.
bool HasID3Tag(const TID3Engine& engine);
// "ID3v2.N" after the tag header's major version, "ID3v1" for a trailer alone, else empty.
std::string ID3TagFormat(const TID3Engine& engine);

class TID3TagSource final : public TTagSource {
 public:
  explicit TID3TagSource(const TID3Engine& engine);
  ~TID3TagSource() override;
  TID3TagSource(const TID3TagSource&) = delete;
  TID3TagSource& operator=(const TID3TagSource&) = delete;

  std::optional<std::string> FrameText(std::string_view id) const override;
  std::string TagFormat() const override;
  const TAudioProperties& AudioProperties() const override;
  // The engine's own fields, exactly as every other window reads them.
  std::optional<std::optional<std::string>> BasicField(std::string_view code) const override;

 private:
  const TID3Engine& engine_;
  // The stream's properties: MPEG audio read on the engine's own descriptor, other containers
  // through the container reader, opened when first asked.
  mutable std::optional<TAudioProperties> mpeg_;
  mutable std::unique_ptr<TTagLibSource> stream_;
};

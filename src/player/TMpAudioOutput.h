#pragma once
// The player page's audio output as the volume requests of UnitMpVolume see it.

#include "player/UnitMpVolume.h"

class QAudioOutput;

class TMpAudioOutput : public TMpAudioDevice {
 public:
  explicit TMpAudioOutput(QAudioOutput* output) : output_(output) {}

  double Level() const override;
  void SetLevel(double level) override;
  void SetMuted(bool muted) override;
  bool Muted() const;

 private:
  QAudioOutput* output_;
};

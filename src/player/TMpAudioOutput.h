#pragma once
// The player page's audio output as the volume requests of UnitMpVolume see it.

#include "player/UnitMpVolume.h"

class TMediaEngine;

class TMpAudioOutput : public TMpAudioDevice {
 public:
  explicit TMpAudioOutput(TMediaEngine* engine) : engine_(engine) {}

  double Level() const override;
  void SetLevel(double level) override;
  void SetMuted(bool muted) override;
  bool Muted() const;

 private:
  TMediaEngine* engine_;
};

#include "player/UnitMpVolume.h"

#include <algorithm>
#include <cmath>

double MpVolumeToLevel(int volume) {
  return static_cast<double>(std::clamp(volume, 0, MpVolumeMaximum)) / MpVolumeMaximum;
}

int MpLevelToVolume(double level) {
  if (!(level > 0.0)) return 0;  // also NaN
  if (level >= 1.0) return MpVolumeMaximum;
  // Rounded, so that a volume set through the slider reads back as the same number.
  return static_cast<int>(std::lround(level * MpVolumeMaximum));
}

int GetMpVolume(const TMpAudioDevice* device) { return device != nullptr ? MpLevelToVolume(device->Level()) : 0; }

void SetMpVolume(TMpAudioDevice* device, int volume) {
  if (device != nullptr) device->SetLevel(MpVolumeToLevel(volume));
}

void SetMpAudio(TMpAudioDevice* device, bool on) {
  if (device != nullptr) device->SetMuted(!on);
}

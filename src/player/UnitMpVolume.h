#pragma once
// Volume and mute of the media player's audio output: the three requests the player page
// itself does not offer. The page hands in its output through TMpAudioDevice; without one
// (nothing open) the requests do nothing and the volume reads as 0.

// Volume scale of the page's slider.
inline constexpr int MpVolumeMaximum = 1000;

// The audio output of the player, as the volume requests see it (level 0.0 to 1.0).
class TMpAudioDevice {
 public:
  virtual ~TMpAudioDevice() = default;
  virtual double Level() const = 0;
  virtual void SetLevel(double level) = 0;
  virtual void SetMuted(bool muted) = 0;
};

// 0..1000 to 0.0..1.0 and back, linearly; values outside are clamped.
double MpVolumeToLevel(int volume);
int MpLevelToVolume(double level);

// The device's volume, 0 to 1000; 0 without a device.
int GetMpVolume(const TMpAudioDevice* device);
// Sets the volume (0 to 1000, clamped).
void SetMpVolume(TMpAudioDevice* device, int volume);
// Audio on (true) or off (false, mute).
void SetMpAudio(TMpAudioDevice* device, bool on);

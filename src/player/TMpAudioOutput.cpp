#include "player/TMpAudioOutput.h"

#include <QAudioOutput>

double TMpAudioOutput::Level() const { return static_cast<double>(output_->volume()); }

void TMpAudioOutput::SetLevel(double level) { output_->setVolume(static_cast<float>(level)); }

void TMpAudioOutput::SetMuted(bool muted) { output_->setMuted(muted); }

bool TMpAudioOutput::Muted() const { return output_->isMuted(); }

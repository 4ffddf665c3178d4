#include "player/TMpAudioOutput.h"

#include "player/TMediaEngine.h"

double TMpAudioOutput::Level() const { return engine_->Volume(); }

void TMpAudioOutput::SetLevel(double level) { engine_->SetVolume(level); }

void TMpAudioOutput::SetMuted(bool muted) { engine_->SetMuted(muted); }

bool TMpAudioOutput::Muted() const { return engine_->Muted(); }

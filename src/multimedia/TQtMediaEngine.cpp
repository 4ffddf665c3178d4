#include "multimedia/TQtMediaEngine.h"

#include <QAudioOutput>
#include <QMediaPlayer>
#include <QUrl>

TQtMediaEngine::TQtMediaEngine(TListener* listener) : listener_(listener), output_(new QAudioOutput(&owner_)) {
  Renew();
}

TQtMediaEngine::~TQtMediaEngine() {
  if (player_ != nullptr) player_->stop();
}

void TQtMediaEngine::Renew() {
  if (player_ != nullptr) {
    player_->disconnect(&owner_);
    player_->stop();
    player_->setAudioOutput(nullptr);
    delete player_;
  }
  player_ = new QMediaPlayer(&owner_);
  player_->setAudioOutput(output_);
  QObject::connect(player_, &QMediaPlayer::durationChanged, &owner_,
                   [this](qint64 length) { listener_->OnDurationChanged(length); });
  QObject::connect(player_, &QMediaPlayer::errorOccurred, &owner_, [this](QMediaPlayer::Error error) {
    if (error != QMediaPlayer::NoError) listener_->OnFailed();
  });
  QObject::connect(player_, &QMediaPlayer::mediaStatusChanged, &owner_, [this](QMediaPlayer::MediaStatus status) {
    if (status == QMediaPlayer::InvalidMedia) listener_->OnFailed();
  });
}

void TQtMediaEngine::SetSource(const QUrl& url) { player_->setSource(url); }
QUrl TQtMediaEngine::Source() const { return player_->source(); }
void TQtMediaEngine::Play() { player_->play(); }
void TQtMediaEngine::Pause() { player_->pause(); }
void TQtMediaEngine::Stop() { player_->stop(); }

TMediaEngine::TState TQtMediaEngine::State() const {
  switch (player_->playbackState()) {
    case QMediaPlayer::PlayingState: return TState::Playing;
    case QMediaPlayer::PausedState: return TState::Paused;
    case QMediaPlayer::StoppedState: break;
  }
  return TState::Stopped;
}

bool TQtMediaEngine::Loaded() const { return player_->mediaStatus() == QMediaPlayer::LoadedMedia; }
bool TQtMediaEngine::AtEnd() const { return player_->mediaStatus() == QMediaPlayer::EndOfMedia; }
qint64 TQtMediaEngine::Position() const { return player_->position(); }
void TQtMediaEngine::SetPosition(qint64 milliseconds) { player_->setPosition(milliseconds); }
qint64 TQtMediaEngine::Duration() const { return player_->duration(); }
double TQtMediaEngine::Volume() const { return static_cast<double>(output_->volume()); }
void TQtMediaEngine::SetVolume(double level) { output_->setVolume(static_cast<float>(level)); }
bool TQtMediaEngine::Muted() const { return output_->isMuted(); }
void TQtMediaEngine::SetMuted(bool muted) { output_->setMuted(muted); }

extern "C" Q_DECL_EXPORT int SonarvexMediaEngineVersion() { return MediaEngineInterfaceVersion; }

extern "C" Q_DECL_EXPORT TMediaEngine* SonarvexCreateMediaEngine(TMediaEngine::TListener* listener) {
  if (listener == nullptr) return nullptr;
  return new TQtMediaEngine(listener);
}

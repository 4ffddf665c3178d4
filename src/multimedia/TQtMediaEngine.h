#pragma once
// The media module's player: Qt Multimedia's player and audio output.

#include <QObject>

#include "player/TMediaEngine.h"

class QAudioOutput;
class QMediaPlayer;

class TQtMediaEngine final : public TMediaEngine {
 public:
  explicit TQtMediaEngine(TListener* listener);
  ~TQtMediaEngine() override;
  TQtMediaEngine(const TQtMediaEngine&) = delete;
  TQtMediaEngine& operator=(const TQtMediaEngine&) = delete;

  void SetSource(const QUrl& url) override;
  QUrl Source() const override;
  void Play() override;
  void Pause() override;
  void Stop() override;
  TState State() const override;
  bool Loaded() const override;
  bool AtEnd() const override;
  qint64 Position() const override;
  void SetPosition(qint64 milliseconds) override;
  qint64 Duration() const override;
  double Volume() const override;
  void SetVolume(double level) override;
  bool Muted() const override;
  void SetMuted(bool muted) override;
  void Renew() override;

 private:
  TListener* listener_;
  // Parent of the output and the player, and the context of their connections.
  QObject owner_;
  QAudioOutput* output_ = nullptr;
  QMediaPlayer* player_ = nullptr;
};

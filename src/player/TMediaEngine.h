#pragma once
// What the media module offers the Play page: one file at a time, played through an audio output
// that keeps its volume and mute from file to file. The module links the media framework and is
// loaded when the page first needs a player, so the program starts, and runs unattended reports,
// without it. The two sides meet through plain virtual calls and two C entry points only; they
// share no meta-object code.

#include <QtGlobal>

class QUrl;

class TMediaEngine {
 public:
  enum class TState { Stopped, Playing, Paused };

  // Hears what the player does.
  class TListener {
   public:
    // The file's length became known (an MP3's only once playback has begun).
    virtual void OnDurationChanged(qint64 milliseconds) = 0;
    // The file cannot be played: an error, or media the backend does not understand.
    virtual void OnFailed() = 0;

   protected:
    ~TListener() = default;
  };

  virtual ~TMediaEngine() = default;

  // An empty URL closes the file.
  virtual void SetSource(const QUrl& url) = 0;
  virtual QUrl Source() const = 0;
  virtual void Play() = 0;
  virtual void Pause() = 0;
  virtual void Stop() = 0;
  virtual TState State() const = 0;
  // The file is loaded and can play.
  virtual bool Loaded() const = 0;
  // Playback ran to the end of the file.
  virtual bool AtEnd() const = 0;
  virtual qint64 Position() const = 0;
  virtual void SetPosition(qint64 milliseconds) = 0;
  virtual qint64 Duration() const = 0;
  // The audio output, level 0.0 to 1.0; it outlives Renew().
  virtual double Volume() const = 0;
  virtual void SetVolume(double level) = 0;
  virtual bool Muted() const = 0;
  virtual void SetMuted(bool muted) = 0;
  // A player whose open failed refuses every later file: this starts over with a new one.
  virtual void Renew() = 0;
};

// Raised with every change of the class above: a module built against another layout is refused
// rather than called.
inline constexpr int MediaEngineInterfaceVersion = 1;

// The module's entry points, looked up by these names.
inline constexpr const char* MediaEngineVersionEntry = "SonarvexMediaEngineVersion";
inline constexpr const char* CreateMediaEngineEntry = "SonarvexCreateMediaEngine";
using TMediaEngineVersionFunction = int (*)();
// Null when the framework cannot make a player.
using TCreateMediaEngineFunction = TMediaEngine* (*)(TMediaEngine::TListener* listener);

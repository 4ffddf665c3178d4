#pragma once
// The Play page: plays the file selected in the list, with a position slider, elapsed and
// total time, Play/Pause/Stop, Previous/Next (they move the list selection), volume and mute.
// A file that cannot be opened shows an error panel in place of the player.

#include <QWidget>
#include <memory>
#include <string>

#include "player/TMediaEngine.h"
#include "player/TMpAudioOutput.h"

class QCheckBox;
class QLabel;
class QSlider;
class QStackedLayout;
class QTimer;
class QToolButton;

class TMediaPlayerPage : public QWidget, private TMediaEngine::TListener {
  Q_OBJECT

 public:
  explicit TMediaPlayerPage(QWidget* parent = nullptr);
  ~TMediaPlayerPage() override;

  // Picks the media backend that plays without a sound device; call before the first player
  // exists (the constructor calls it too).
  static void ChooseMediaBackend();

  // Opens the file (stopping and closing the one before), shows nowPlaying and starts playing
  // when auto play is checked. A file that cannot be opened shows the error panel.
  void LoadFile(const std::string& path, const QString& nowPlaying);
  // Stops the timer and closes the open file, if any.
  void StopAndClose();
  // The position guard: set while the timer moves the slider, so that the move is not taken
  // as a seek. Every selection change of the list clears it.
  void ClearPositionGuard() { positionGuard_ = false; }
  bool PositionGuard() const { return positionGuard_; }
  // One tick of the position timer (every second while a file is open).
  void timMP3PlayerTimer();
  bool ShowsError() const;
  // The player, once something asked for one; null before, and when the media module cannot
  // be loaded (the user was told why).
  TMediaEngine* Engine() const { return engine_.get(); }

 Q_SIGNALS:
  void PreviousRequested();
  void NextRequested();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  // Loads the media module and makes the player, once; false when there is none to be had.
  bool EnsureBackend();
  void OnDurationChanged(qint64 milliseconds) override;
  void OnFailed() override;
  void CreateControls();
  QWidget* CreateButtonPanel();
  void CenterButtonPanel();
  void ShowLoadError();
  void UpdateErrorText();
  void OpenFailed();
  void tbMP3PositionChange(int value);
  void tbMP3PlayVolumeChange(int value);
  void chkMP3PlayMuteClick(bool checked);
  void PlayClick();

  std::unique_ptr<TMediaEngine> engine_;
  std::unique_ptr<TMpAudioOutput> audio_;
  bool backendMissing_ = false;  // the module could not be loaded: asked once, not again
  int renewals_ = 0;             // players started over since the first
  std::string loadedPath_;
  std::string errorPath_;  // display form of the file that failed
  bool positionGuard_ = false;
  bool playerFailed_ = false;

  QStackedLayout* stack_ = nullptr;
  QWidget* panBottomPageMP3Play = nullptr;
  QWidget* panMediaPlayerError = nullptr;
  QLabel* txtMediaPlayerError = nullptr;
  QLabel* txtNowPlaying = nullptr;
  QSlider* tbMP3Position = nullptr;
  QLabel* txtCurMP3Length = nullptr;
  QWidget* buttonHolder_ = nullptr;
  QWidget* panBottomPageMP3PlayButtons = nullptr;
  QWidget* mpMediaPlayer = nullptr;
  QToolButton* btnPlay = nullptr;
  QToolButton* btnPause = nullptr;
  QToolButton* btnStop = nullptr;
  QToolButton* tbMP3PlayPrevious = nullptr;
  QToolButton* tbMP3PlayNext = nullptr;
  QSlider* tbMP3PlayVolume = nullptr;
  QCheckBox* chkMP3PlayMute = nullptr;
  QCheckBox* chkAutoPlay = nullptr;
  QTimer* timMP3Player = nullptr;
};

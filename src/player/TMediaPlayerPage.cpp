#include "player/TMediaPlayerPage.h"

#include <algorithm>

#include <QCheckBox>
#include <QEvent>
#include <QFileInfo>
#include <QFont>
#include <QHBoxLayout>
#include <QLabel>
#include <QSlider>
#include <QShowEvent>
#include <QStackedLayout>
#include <QStyle>
#include <QTimer>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

#include "app/ByteString.h"
#include "app/UiPrompts.h"
#include "shell/TProgramModules.h"
#include "player/UnitMpVolume.h"
#include "player/UnitPlayerText.h"

namespace {

constexpr int TimerInterval = 1000;

QToolButton* ToolButton(const char* name, QStyle::StandardPixmap icon, const QString& hint) {
  auto* button = new QToolButton;
  button->setObjectName(QLatin1String(name));
  button->setIcon(button->style()->standardIcon(icon));
  button->setToolTip(hint);
  button->setStatusTip(hint);
  button->setAutoRaise(true);
  return button;
}

}  // namespace

void TMediaPlayerPage::ChooseMediaBackend() {
  // The FFmpeg backend crashes when the machine has no audio device; GStreamer falls back to
  // a sink that plays silently. A choice made in the environment is respected.
  if (qEnvironmentVariableIsEmpty("QT_MEDIA_BACKEND")) qputenv("QT_MEDIA_BACKEND", "gstreamer");
}

TMediaPlayerPage::TMediaPlayerPage(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("pageMediaPlayer"));
  ChooseMediaBackend();
  // Starting the media framework takes a good part of the program's start; an unattended
  // report plays nothing, so there it starts only should something ask for the player.
  if (!Unattended()) EnsureBackend();

  CreateControls();

  timMP3Player = new QTimer(this);
  timMP3Player->setObjectName(QStringLiteral("timMP3Player"));
  timMP3Player->setInterval(TimerInterval);
  connect(timMP3Player, &QTimer::timeout, this, &TMediaPlayerPage::timMP3PlayerTimer);
}

bool TMediaPlayerPage::EnsureBackend() {
  if (engine_ != nullptr) return true;
  if (backendMissing_) return false;
  const TModuleEntry module = LoadModuleEntry(QStringLiteral(SONARVEX_MEDIA_MODULE), MediaEngineVersionEntry,
                                              MediaEngineInterfaceVersion, CreateMediaEngineEntry);
  if (module.Create != nullptr) engine_.reset(reinterpret_cast<TCreateMediaEngineFunction>(module.Create)(this));
  if (engine_ == nullptr) {
    backendMissing_ = true;
    const QString reason = module.Failure.isEmpty() ? QStringLiteral("No player could be made.") : module.Failure;
    ShowFailure(this, QStringLiteral("The media player could not be started:\r\n\r\n") + reason);
    return false;
  }
  // The output outlives the players: it keeps the user's volume and mute from file to file.
  audio_ = std::make_unique<TMpAudioOutput>(engine_.get());
  return true;
}

// An MP3's length is known only once playback has begun: the slider follows it.
void TMediaPlayerPage::OnDurationChanged(qint64 milliseconds) { tbMP3Position->setMaximum(static_cast<int>(milliseconds)); }

void TMediaPlayerPage::OnFailed() { OpenFailed(); }

TMediaPlayerPage::~TMediaPlayerPage() {
  timMP3Player->stop();
  if (engine_ != nullptr) engine_->Stop();
}

void TMediaPlayerPage::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  // The heading's face is looked up when the page is first shown rather than at the program's
  // start: finding and loading a bold face is a font file read the other pages never need.
  if (txtNowPlaying->testAttribute(Qt::WA_SetFont)) return;
  QFont font(QStringLiteral("Arial"));
  font.setPixelSize(16);
  font.setBold(true);
  txtNowPlaying->setFont(font);
}

void TMediaPlayerPage::CreateControls() {
  stack_ = new QStackedLayout(this);

  panBottomPageMP3Play = new QWidget;
  panBottomPageMP3Play->setObjectName(QStringLiteral("panBottomPageMP3Play"));
  auto* layout = new QVBoxLayout(panBottomPageMP3Play);
  txtNowPlaying = new QLabel;
  txtNowPlaying->setObjectName(QStringLiteral("txtNowPlaying"));
  layout->addWidget(txtNowPlaying);

  tbMP3Position = new QSlider(Qt::Horizontal);
  tbMP3Position->setObjectName(QStringLiteral("tbMP3Position"));
  tbMP3Position->setTickPosition(QSlider::NoTicks);
  tbMP3Position->setPageStep(10000);
  tbMP3Position->setRange(0, 0);
  connect(tbMP3Position, &QSlider::valueChanged, this, &TMediaPlayerPage::tbMP3PositionChange);
  layout->addWidget(tbMP3Position);

  txtCurMP3Length = new QLabel;
  txtCurMP3Length->setObjectName(QStringLiteral("txtCurMP3Length"));
  txtCurMP3Length->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  layout->addWidget(txtCurMP3Length);

  // The button panel keeps itself centred in the player panel (see CenterButtonPanel).
  buttonHolder_ = new QWidget;
  panBottomPageMP3PlayButtons = CreateButtonPanel();
  panBottomPageMP3PlayButtons->setParent(buttonHolder_);
  panBottomPageMP3PlayButtons->resize(panBottomPageMP3PlayButtons->sizeHint());
  buttonHolder_->setFixedHeight(panBottomPageMP3PlayButtons->height());
  buttonHolder_->setMinimumWidth(panBottomPageMP3PlayButtons->width());
  buttonHolder_->installEventFilter(this);
  panBottomPageMP3Play->installEventFilter(this);
  layout->addWidget(buttonHolder_);

  chkAutoPlay = new QCheckBox(QStringLiteral("Automatically play media file when selected"));
  chkAutoPlay->setObjectName(QStringLiteral("chkAutoPlay"));
  chkAutoPlay->setChecked(false);
  layout->addWidget(chkAutoPlay);
  layout->addStretch(1);
  stack_->addWidget(panBottomPageMP3Play);

  panMediaPlayerError = new QWidget;
  panMediaPlayerError->setObjectName(QStringLiteral("panMediaPlayerError"));
  auto* errorLayout = new QVBoxLayout(panMediaPlayerError);
  txtMediaPlayerError = new QLabel;
  txtMediaPlayerError->setObjectName(QStringLiteral("txtMediaPlayerError"));
  txtMediaPlayerError->setAlignment(Qt::AlignCenter);
  txtMediaPlayerError->setWordWrap(true);
  txtMediaPlayerError->installEventFilter(this);
  errorLayout->addWidget(txtMediaPlayerError);
  stack_->addWidget(panMediaPlayerError);
  stack_->setCurrentWidget(panBottomPageMP3Play);
}

QWidget* TMediaPlayerPage::CreateButtonPanel() {
  auto* panel = new QWidget;
  panel->setObjectName(QStringLiteral("panBottomPageMP3PlayButtons"));
  auto* row = new QHBoxLayout(panel);
  row->setContentsMargins(0, 0, 0, 0);

  mpMediaPlayer = new QWidget;
  mpMediaPlayer->setObjectName(QStringLiteral("mpMediaPlayer"));
  auto* playerButtons = new QHBoxLayout(mpMediaPlayer);
  playerButtons->setContentsMargins(0, 0, 0, 0);
  playerButtons->setSpacing(1);
  btnPlay = ToolButton("btnPlay", QStyle::SP_MediaPlay, QStringLiteral("Play"));
  btnPause = ToolButton("btnPause", QStyle::SP_MediaPause, QStringLiteral("Pause"));
  btnStop = ToolButton("btnStop", QStyle::SP_MediaStop, QStringLiteral("Stop"));
  for (QToolButton* b : {btnPlay, btnPause, btnStop}) playerButtons->addWidget(b);
  connect(btnPlay, &QToolButton::clicked, this, &TMediaPlayerPage::PlayClick);
  connect(btnPause, &QToolButton::clicked, this, [this] {
    if (engine_ != nullptr) engine_->Pause();
  });
  connect(btnStop, &QToolButton::clicked, this, [this] {
    if (engine_ != nullptr) engine_->Stop();
  });
  row->addWidget(mpMediaPlayer);

  tbMP3PlayPrevious = ToolButton("tbMP3PlayPrevious", QStyle::SP_MediaSkipBackward, QStringLiteral("Previous"));
  tbMP3PlayNext = ToolButton("tbMP3PlayNext", QStyle::SP_MediaSkipForward, QStringLiteral("Next"));
  connect(tbMP3PlayPrevious, &QToolButton::clicked, this, &TMediaPlayerPage::PreviousRequested);
  connect(tbMP3PlayNext, &QToolButton::clicked, this, &TMediaPlayerPage::NextRequested);
  row->addWidget(tbMP3PlayPrevious);
  row->addWidget(tbMP3PlayNext);

  tbMP3PlayVolume = new QSlider(Qt::Horizontal);
  tbMP3PlayVolume->setObjectName(QStringLiteral("tbMP3PlayVolume"));
  tbMP3PlayVolume->setToolTip(QStringLiteral("Volume"));
  tbMP3PlayVolume->setStatusTip(QStringLiteral("Volume"));
  tbMP3PlayVolume->setRange(0, MpVolumeMaximum);
  tbMP3PlayVolume->setPageStep(100);
  tbMP3PlayVolume->setFixedWidth(110);
  // Without a backend yet the slider shows what a new output starts with: full volume.
  tbMP3PlayVolume->setValue(audio_ != nullptr ? GetMpVolume(audio_.get()) : MpLevelToVolume(1.0));
  connect(tbMP3PlayVolume, &QSlider::valueChanged, this, &TMediaPlayerPage::tbMP3PlayVolumeChange);
  row->addWidget(tbMP3PlayVolume);

  chkMP3PlayMute = new QCheckBox(QStringLiteral("Mute"));
  chkMP3PlayMute->setObjectName(QStringLiteral("chkMP3PlayMute"));
  connect(chkMP3PlayMute, &QCheckBox::clicked, this, &TMediaPlayerPage::chkMP3PlayMuteClick);
  row->addWidget(chkMP3PlayMute);
  return panel;
}

bool TMediaPlayerPage::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::Resize && (watched == panBottomPageMP3Play || watched == buttonHolder_)) {
    CenterButtonPanel();
  } else if (event->type() == QEvent::Resize && watched == txtMediaPlayerError && ShowsError()) {
    UpdateErrorText();
  }
  return QWidget::eventFilter(watched, event);
}

void TMediaPlayerPage::CenterButtonPanel() {
  // Left edge = (player panel width - button panel width) / 2, in the panel's coordinates.
  const int left = (panBottomPageMP3Play->width() - panBottomPageMP3PlayButtons->width()) / 2;
  panBottomPageMP3PlayButtons->move(left - buttonHolder_->x(), 0);
}

// ---------------------------------------------------------------------------------------------
// Loading and closing

void TMediaPlayerPage::StopAndClose() {
  timMP3Player->stop();
  loadedPath_.clear();
  if (engine_ == nullptr) return;  // nothing was ever loaded
  // After a failed open the backend refuses every later file: start over with a new player.
  if (playerFailed_) {
    engine_->Renew();
    ++renewals_;
    playerFailed_ = false;
    return;
  }
  if (!engine_->Source().isEmpty()) {
    engine_->Stop();
    engine_->SetSource(QUrl());
  }
}

void TMediaPlayerPage::LoadFile(const std::string& path, const QString& nowPlaying) {
  const bool playable = EnsureBackend();
  StopAndClose();
  stack_->setCurrentWidget(panBottomPageMP3Play);
  loadedPath_ = path;
  const QString file = PathToQString(path);
  // The backend reports a missing file late and vaguely; check before handing it over.
  if (!playable || !QFileInfo(file).isFile()) {
    ShowLoadError();
    return;
  }
  engine_->SetSource(QUrl::fromLocalFile(file));
  if (ShowsError()) return;  // the backend refused it at once
  tbMP3Position->setValue(0);
  tbMP3Position->setMaximum(static_cast<int>(engine_->Duration()));
  txtNowPlaying->setText(nowPlaying);
  timMP3Player->start();
  timMP3PlayerTimer();
  txtCurMP3Length->clear();
  // The output keeps the user's volume and mute from file to file; the controls show them.
  tbMP3PlayVolume->setValue(GetMpVolume(audio_.get()));
  chkMP3PlayMute->setChecked(audio_->Muted());
  if (chkAutoPlay->isChecked()) engine_->Play();
}

void TMediaPlayerPage::OpenFailed() {
  if (loadedPath_.empty() || playerFailed_) return;
  playerFailed_ = true;
  ShowLoadError();
  // The player cannot be replaced from inside its own notification: once it has returned.
  QTimer::singleShot(0, this, [this, failed = renewals_] {
    if (failed == renewals_ && playerFailed_) StopAndClose();
  });
}

void TMediaPlayerPage::ShowLoadError() {
  timMP3Player->stop();
  errorPath_ = ToStdString(PathToQString(loadedPath_));
  stack_->setCurrentWidget(panMediaPlayerError);
  UpdateErrorText();
}

void TMediaPlayerPage::UpdateErrorText() {
  // A page that was not showing has not been laid out yet: the text follows the label's size.
  const QFontMetrics metrics(txtMediaPlayerError->font());
  const int width = std::max(txtMediaPlayerError->width(), 100);
  const std::string shortened = ShortenPath(
      errorPath_, [&](const std::string& text) { return metrics.horizontalAdvance(ToQString(text)) <= width; });
  txtMediaPlayerError->setText(ToQString(PlayerErrorText(shortened)));
}

bool TMediaPlayerPage::ShowsError() const { return stack_->currentWidget() == panMediaPlayerError; }

// ---------------------------------------------------------------------------------------------
// Timer, slider and buttons

void TMediaPlayerPage::timMP3PlayerTimer() {
  positionGuard_ = true;
  if (engine_ == nullptr || engine_->State() != TMediaEngine::TState::Playing) return;
  // A slider the user is dragging is left alone; so is one at its end.
  if (tbMP3Position->value() != tbMP3Position->maximum() && !tbMP3Position->isSliderDown()) {
    const qint64 position = engine_->Position();
    tbMP3Position->setValue(static_cast<int>(position));
    txtCurMP3Length->setText(ToQString(FormatPlayPosition(position, engine_->Duration())));
  }
  positionGuard_ = false;
}

void TMediaPlayerPage::tbMP3PositionChange(int value) {
  if (positionGuard_ || engine_ == nullptr || engine_->Source().isEmpty()) return;
  if (engine_->Position() != value) {
    engine_->SetPosition(value);
    engine_->Play();
  }
}

void TMediaPlayerPage::tbMP3PlayVolumeChange(int value) {
  if (EnsureBackend()) SetMpVolume(audio_.get(), value);
}

void TMediaPlayerPage::chkMP3PlayMuteClick(bool checked) {
  if (EnsureBackend()) SetMpAudio(audio_.get(), !checked);
}

void TMediaPlayerPage::PlayClick() {
  if (engine_ == nullptr || engine_->Source().isEmpty()) return;
  const qint64 length = engine_->Duration();
  if (engine_->AtEnd() || (length > 0 && engine_->Position() >= length)) engine_->SetPosition(0);
  engine_->Play();
}

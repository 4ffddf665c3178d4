#include "actions/FormDestroyProgress.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QFont>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QShowEvent>

#include "actions/UnitBasicDestroy.h"
#include "actions/UnitDestroyLog.h"
#include "app/ByteString.h"
#include "app/BorderlessWindow.h"
#include "app/UiPrompts.h"
#include "core/UnitGlobals.h"
#include "help/HtmlHelp.h"
#include "scan/UnitScan.h"

namespace {

constexpr int Margin = 8;
constexpr int LabelHeight = 50;
constexpr int BarTop = 64;
constexpr int BarHeight = 20;
constexpr int ButtonWidth = 75;
constexpr int ButtonHeight = 25;
constexpr int ButtonTop = 100;

}  // namespace

TfrmDestroyProgress::TfrmDestroyProgress(QWidget* owner) : QDialog(owner, Qt::Dialog | Qt::FramelessWindowHint) {
  setObjectName(QStringLiteral("frmDestroyProgress"));
  setWindowTitle(QStringLiteral("Destroying"));
  setModal(true);
  setFixedSize(ClientWidth, ClientHeight);
  setProperty("HelpContext", HelpContext);

  txtNowDestroying = new QLabel(this);
  txtNowDestroying->setObjectName(QStringLiteral("txtNowDestroying"));
  txtNowDestroying->setGeometry(Margin, Margin, ClientWidth - 2 * Margin, LabelHeight);
  txtNowDestroying->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  txtNowDestroying->setTextFormat(Qt::PlainText);
  QFont font(QStringLiteral("Arial"));
  font.setPixelSize(13);
  txtNowDestroying->setFont(font);

  pbDestroying = new QProgressBar(this);
  pbDestroying->setObjectName(QStringLiteral("pbDestroying"));
  pbDestroying->setGeometry(Margin, BarTop, ClientWidth - 2 * Margin, BarHeight);
  pbDestroying->setRange(0, 1);
  pbDestroying->setValue(0);

  cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
  cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
  cmdCancel->setGeometry((ClientWidth - ButtonWidth) / 2, ButtonTop, ButtonWidth, ButtonHeight);
  connect(cmdCancel, &QPushButton::clicked, this, &TfrmDestroyProgress::cmdCancelClick);
}

void TfrmDestroyProgress::SetFileName(const std::string& path) {
  fileName_ = path;
  txtNowDestroying->setText(DestroyingText(path));
}

QString TfrmDestroyProgress::DestroyingText(const std::string& path) const {
  const QFontMetrics metrics(txtNowDestroying->font());
  const auto measure = [&metrics](const std::string& text) { return metrics.horizontalAdvance(PathToQString(text)); };
  return QStringLiteral("Destroying \r\n") +
         PathToQString(MinimizeFolderName(path, txtNowDestroying->contentsRect().width(), measure));
}

void TfrmDestroyProgress::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (event->spontaneous() || activated_) return;
  activated_ = true;
  CentreOnOwner(*this);
  // Destroy once the modal loop runs, so the window is up and Cancel can reach it.
  QMetaObject::invokeMethod(this, [this] { FormActivate(); }, Qt::QueuedConnection);
}

void TfrmDestroyProgress::FormActivate() {
  cancelRequested_ = false;
  txtNowDestroying->setText(DestroyingText(fileName_));
  running_ = true;
  destroyed_ = DestroyFile(fileName_, [this](std::int32_t position, std::int32_t maximum, bool& cancel) {
    DestroyProgress(position, maximum, cancel);
  });
  running_ = false;
  DestroyLog.push_back(DestroyedLine(fileName_, destroyed_));
  if (!destroyed_) {
    // An interruption by the user is a failure like any other: the file is not destroyed.
    ShowFailure(this, QStringLiteral("Unable to destroy\r\n\r\n%1\r\n\r\nPlease make sure the file is not opened by "
                                     "another program (such as an MP3 player) and retry.")
                          .arg(PathToQString(fileName_)));
  }
  finished_ = true;
  QMetaObject::invokeMethod(this, [this] { accept(); }, Qt::QueuedConnection);
}

void TfrmDestroyProgress::DestroyProgress(std::int32_t position, std::int32_t maximum, bool& cancel) {
  pbDestroying->setMaximum(maximum);
  pbDestroying->setValue(position);
  cancel = cancelRequested_;
  // A Cancel answered while the events run reaches the destruction at the next block.
  QCoreApplication::processEvents();
}

void TfrmDestroyProgress::cmdCancelClick() {
  if (!running_) return;
  const QString question =
      QStringLiteral("Are you sure you want to interrupt the destruction of \r\n\r\n%1?\r\n\r\nThe file may not be "
                     "destroyed beyond recovery and it may be easily viewed or recovered by anyone.")
          .arg(PathToQString(fileName_));
  if (ConfirmAction(this, question)) cancelRequested_ = true;
}

void TfrmDestroyProgress::closeEvent(QCloseEvent* event) {
  // No close box: the window closes itself when the destruction has ended.
  if (!finished_) {
    event->ignore();
    return;
  }
  QDialog::closeEvent(event);
}

void TfrmDestroyProgress::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_F1) {
    ShowHelpContext(this, HelpContext);
    event->accept();
    return;
  }
  if (event->key() == Qt::Key_Escape) {
    event->accept();  // only Cancel, with its question, interrupts
    return;
  }
  QDialog::keyPressEvent(event);
}

void TfrmDestroyProgress::paintEvent(QPaintEvent* event) {
  QDialog::paintEvent(event);
  PaintHighlightFrame(*this);
}

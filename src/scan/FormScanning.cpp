#include "scan/FormScanning.h"

#include "app/ByteString.h"
#include "app/BorderlessWindow.h"
#include "help/HtmlHelp.h"
#include "scan/UnitScan.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QFont>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>

namespace {

constexpr int LabelMargin = 8;
constexpr int LabelTop = 8;
constexpr int LabelHeight = 50;
constexpr int ButtonWidth = 75;
constexpr int ButtonHeight = 25;
constexpr int ButtonTop = 64;

}  // namespace

TfrmScanning::TfrmScanning(QWidget* owner) : QDialog(owner, Qt::Dialog | Qt::FramelessWindowHint) {
  setObjectName(QStringLiteral("frmScanning"));
  setWindowTitle(QStringLiteral("Scanning"));
  setModal(true);
  setFixedSize(ClientWidth, ClientHeight);
  setProperty("HelpContext", HelpContextNumber);

  txtNowScanning = new QLabel(this);
  txtNowScanning->setObjectName(QStringLiteral("txtNowScanning"));
  txtNowScanning->setGeometry(LabelMargin, LabelTop, ClientWidth - 2 * LabelMargin, LabelHeight);
  txtNowScanning->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  txtNowScanning->setWordWrap(true);
  txtNowScanning->setTextFormat(Qt::PlainText);
  QFont font(QStringLiteral("Arial"));
  font.setPixelSize(13);
  txtNowScanning->setFont(font);

  txtNowScanning->installEventFilter(this);

  cmdCancelScanning = new QPushButton(QStringLiteral("Cancel"), this);
  cmdCancelScanning->setObjectName(QStringLiteral("cmdCancelScanning"));
  cmdCancelScanning->setGeometry((ClientWidth - ButtonWidth) / 2, ButtonTop, ButtonWidth, ButtonHeight);
  connect(cmdCancelScanning, &QPushButton::clicked, this, &TfrmScanning::cmdCancelScanningClick);
}

void TfrmScanning::SetFolder(const std::string& folder) { FFolder = folder; }
void TfrmScanning::SetRecursive(bool recursive) { FRecursive = recursive; }
void TfrmScanning::SetResultList(TFoundFileList* result) { FResult = result; }

QString TfrmScanning::ScanningText(const std::string& folder) const {
  const QFontMetrics metrics(txtNowScanning->font());
  const auto measure = [&metrics](const std::string& text) { return metrics.horizontalAdvance(ToQString(text)); };
  return QStringLiteral("Scanning \r\n") +
         ToQString(MinimizeFolderName(folder, txtNowScanning->contentsRect().width(), measure));
}

void TfrmScanning::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (event->spontaneous() || FActivated) return;
  FActivated = true;
  FClosing = false;
  CentreOnOwner(*this);
  // Walk once the modal loop runs, so the window is up and Cancel can reach it.
  QMetaObject::invokeMethod(this, [this] { FormActivate(); }, Qt::QueuedConnection);
}

void TfrmScanning::hideEvent(QHideEvent* event) {
  QDialog::hideEvent(event);
  if (!event->spontaneous()) FActivated = false;
}

void TfrmScanning::FormActivate() {
  if (FClosing) return;  // cancelled before the walk could start
  ScanCancelRequested = false;
  FShownFolder = FPendingFolder = FFolder;
  txtNowScanning->setText(ScanningText(FFolder));
  FSinceEvents.invalidate();
  FWalking = true;
  try {
    if (FResult != nullptr) {
      const TScanProgressEvent progress = [this](const std::string& folder, const std::string& entryPath) {
        ScanProgressEvent(folder, entryPath);
      };
      if (FRecursive)
        ListMatchingFilesRecursive(*FResult, FFolder, ScanFilter, progress);
      else
        ListMatchingFiles(*FResult, FFolder, ScanFilter, progress);
    }
  } catch (...) {
    FWalking = false;
    QMetaObject::invokeMethod(this, [this] { CloseWith(QDialog::Rejected); }, Qt::QueuedConnection);
    throw;
  }
  FWalking = false;
  QMetaObject::invokeMethod(this, [this] { CloseWith(QDialog::Accepted); }, Qt::QueuedConnection);
}

void TfrmScanning::ScanProgressEvent(const std::string& folder, const std::string& /*entryPath*/) {
  if (folder != FPendingFolder) FPendingFolder = folder;
  // Repainting and polling the event queue after every entry would dominate a large walk.
  if (FSinceEvents.isValid() && FSinceEvents.elapsed() < FEventIntervalMs) return;
  // The folder is shortened to the label's width when the label paints, not here: a window that
  // is covered or minimised does no text measuring at all.
  if (FPendingFolder != FShownFolder) txtNowScanning->update();
  QCoreApplication::processEvents();
  FSinceEvents.start();
}

bool TfrmScanning::eventFilter(QObject* watched, QEvent* event) {
  if (watched == txtNowScanning && event->type() == QEvent::Paint && FPendingFolder != FShownFolder) {
    FShownFolder = FPendingFolder;
    txtNowScanning->setText(ScanningText(FShownFolder));
  }
  return QDialog::eventFilter(watched, event);
}

void TfrmScanning::cmdCancelScanningClick() {
  ScanCancelRequested = true;
  CloseWith(QDialog::Rejected);
}

void TfrmScanning::reject() { cmdCancelScanningClick(); }

void TfrmScanning::CloseWith(int result) {
  if (FClosing) return;
  FClosing = true;
  done(result);
}

void TfrmScanning::closeEvent(QCloseEvent* event) {
  // There is no close box; a close from the window system must not leave a walk running behind a
  // vanished window, nor end it unasked. Cancel is the one way out.
  if (!FClosing) {
    event->ignore();
    return;
  }
  QDialog::closeEvent(event);
}

void TfrmScanning::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_F1:
      ShowHelpContext(this, HelpContext());
      event->accept();
      return;
    case Qt::Key_Escape:
      event->accept();  // Escape does not cancel a scan
      return;
    default:
      QDialog::keyPressEvent(event);
  }
}

void TfrmScanning::paintEvent(QPaintEvent* event) {
  QDialog::paintEvent(event);
  PaintHighlightFrame(*this);
}

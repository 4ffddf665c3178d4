#include "scan/FormSortProgress.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

#include "app/BorderlessWindow.h"

namespace {

int& DefaultDelay() {
  static int delay = TfrmSortProgress::DefaultShowDelayMs;
  return delay;
}

// The busy cursor for as long as the sort runs, also when it ends by an exception.
class TBusyCursor {
 public:
  TBusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
  ~TBusyCursor() { QApplication::restoreOverrideCursor(); }
  TBusyCursor(const TBusyCursor&) = delete;
  TBusyCursor& operator=(const TBusyCursor&) = delete;
};

}  // namespace

TfrmSortProgress::TfrmSortProgress(QWidget* owner) : QDialog(owner, Qt::Dialog | Qt::FramelessWindowHint) {
  setObjectName(QStringLiteral("frmSortProgress"));
  setWindowTitle(QStringLiteral("Sorting"));
  setWindowModality(Qt::ApplicationModal);
  setFixedSize(ClientWidth, ClientHeight);

  txtNowSorting = new QLabel(this);
  txtNowSorting->setObjectName(QStringLiteral("txtNowSorting"));
  txtNowSorting->setGeometry(8, 8, ClientWidth - 16, 50);
  txtNowSorting->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  txtNowSorting->setTextFormat(Qt::PlainText);
  QFont font(QStringLiteral("Arial"));
  font.setPixelSize(13);
  txtNowSorting->setFont(font);

  cmdCancelSorting = new QPushButton(QStringLiteral("Cancel"), this);
  cmdCancelSorting->setObjectName(QStringLiteral("cmdCancelSorting"));
  cmdCancelSorting->setGeometry((ClientWidth - 75) / 2, 64, 75, 25);
  connect(cmdCancelSorting, &QPushButton::clicked, this, &TfrmSortProgress::reject);
  FSinceStart.start();
}

QString TfrmSortProgress::ProgressText(std::size_t done, std::size_t total) {
  return QStringLiteral("Sorting \r\n") + QString::number(done) + QStringLiteral(" of ") + QString::number(total) +
         QStringLiteral(" files read");
}

bool TfrmSortProgress::Step(std::size_t done, std::size_t total) {
  if (FCancelled) return false;
  if (FSinceEvents.isValid() && FSinceEvents.elapsed() < EventIntervalMs) return true;
  if (!isVisible() && FSinceStart.elapsed() >= FShowDelayMs) {
    CentreOnOwner(*this);
    show();
  }
  // Events run only while the modal window is up: before, a click could start a second sort
  // of the list this one is reading.
  if (!isVisible()) return true;
  txtNowSorting->setText(ProgressText(done, total));
  QCoreApplication::processEvents();
  FSinceEvents.start();
  return !FCancelled;
}

TSortResult TfrmSortProgress::Run(QWidget* owner, bool readsFiles,
                                  const std::function<TSortResult(const TSortProgress&)>& sort) {
  const TBusyCursor busy;
  if (!readsFiles) return sort({});
  TfrmSortProgress window(owner);
  window.SetShowDelay(DefaultDelay());
  return sort([&window](std::size_t done, std::size_t total) { return window.Step(done, total); });
}

void TfrmSortProgress::reject() {
  FCancelled = true;
  hide();
}

void TfrmSortProgress::SetDefaultShowDelay(int milliseconds) { DefaultDelay() = milliseconds; }

void TfrmSortProgress::keyPressEvent(QKeyEvent* event) {
  // As in the scanning window, only the Cancel button stops the work.
  if (event->key() == Qt::Key_Escape) {
    event->accept();
    return;
  }
  QDialog::keyPressEvent(event);
}

void TfrmSortProgress::closeEvent(QCloseEvent* event) { event->ignore(); }

void TfrmSortProgress::paintEvent(QPaintEvent* event) {
  QDialog::paintEvent(event);
  PaintHighlightFrame(*this);
}

#include "app/TSignalCloser.h"

#include <QApplication>
#include <QDialog>
#include <QSocketNotifier>
#include <QWidget>
#include <csignal>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr int HandledSignals[] = {SIGTERM, SIGINT, SIGHUP};

int PipeEnds[2] = {-1, -1};
volatile std::sig_atomic_t SignalsSeen = 0;

extern "C" void OnTerminationSignal(int signal) {
  // A user who asks twice does not want to wait for the orderly close.
  if (SignalsSeen != 0) ::_exit(128 + signal);
  SignalsSeen = 1;
  const int saved = errno;
  const char byte = static_cast<char>(signal);
  [[maybe_unused]] const ssize_t written = ::write(PipeEnds[1], &byte, 1);
  errno = saved;
}

void SetAction(void (*handler)(int)) {
  struct sigaction action {};
  action.sa_handler = handler;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (const int signal : HandledSignals) ::sigaction(signal, &action, nullptr);
}

}  // namespace

int TSignalCloser::InstallHandlers() {
  if (PipeEnds[0] < 0 && ::pipe2(PipeEnds, O_CLOEXEC | O_NONBLOCK) != 0) {
    PipeEnds[0] = PipeEnds[1] = -1;
    return -1;
  }
  SignalsSeen = 0;
  SetAction(&OnTerminationSignal);
  return PipeEnds[0];
}

void TSignalCloser::RemoveHandlers() {
  SetAction(SIG_DFL);
  for (int& end : PipeEnds) {
    if (end >= 0) ::close(end);
    end = -1;
  }
  SignalsSeen = 0;
}

TSignalCloser::TSignalCloser(QWidget* window) : QObject(window), window_(window) {
  const int readEnd = InstallHandlers();
  if (readEnd < 0) return;
  notifier_ = new QSocketNotifier(static_cast<qintptr>(readEnd), QSocketNotifier::Read, this);
  connect(notifier_, &QSocketNotifier::activated, this, &TSignalCloser::SignalArrived);
}

TSignalCloser::~TSignalCloser() {
  delete notifier_;
  RemoveHandlers();
}

void TSignalCloser::SignalArrived() {
  char bytes[16];
  while (::read(PipeEnds[0], bytes, sizeof bytes) > 0) {
  }
  // Nobody may be there to answer a dialog (the session is ending): open dialogs are cancelled
  // first, then the window closes as its close button does.
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    if (auto* dialog = qobject_cast<QDialog*>(widget); dialog != nullptr && dialog->isVisible()) dialog->reject();
  }
  if (window_) window_->close();
}

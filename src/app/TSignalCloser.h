#pragma once
// SIGTERM, SIGINT and SIGHUP (logout, kill, Ctrl+C in a terminal) close the main window the way
// its close button does, so its settings are written; a second such signal ends the program at
// once. The signal handler only writes to a pipe; the event loop reads it and does the closing.

#include <QObject>
#include <QPointer>

class QSocketNotifier;
class QWidget;

class TSignalCloser : public QObject {
  Q_OBJECT

 public:
  // Closes `window` on the first signal. One instance at a time; the handlers go with it.
  explicit TSignalCloser(QWidget* window);
  ~TSignalCloser() override;

  TSignalCloser(const TSignalCloser&) = delete;
  TSignalCloser& operator=(const TSignalCloser&) = delete;

  // The part that needs no event loop: the pipe and the handlers. Returns the pipe's read end,
  // or -1 when it could not be made (then the signals keep their default action).
  static int InstallHandlers();
  static void RemoveHandlers();

 private:
  void SignalArrived();

  QPointer<QWidget> window_;
  QSocketNotifier* notifier_ = nullptr;
};

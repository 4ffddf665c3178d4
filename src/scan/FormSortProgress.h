#pragma once
// Feedback while the file list is sorted: the busy cursor for every sort and, for a sort that
// reads every file's tag, a small window in the style of the scanning window with the number of
// files read and a Cancel button. The window appears only when the sort takes a noticeable time.

#include <QDialog>
#include <QElapsedTimer>
#include <cstddef>
#include <functional>

#include "scan/UnitFileList.h"

class QLabel;
class QPushButton;

class TfrmSortProgress : public QDialog {
  Q_OBJECT

 public:
  static constexpr int ClientWidth = 630;
  static constexpr int ClientHeight = 99;
  static constexpr int DefaultShowDelayMs = 400;
  static constexpr int EventIntervalMs = 30;

  explicit TfrmSortProgress(QWidget* owner);

  // The sort's progress call: shows the window once the delay has passed, lets pending events
  // run now and then (so Cancel can be pressed) and answers false once it was.
  bool Step(std::size_t done, std::size_t total);
  bool Cancelled() const { return FCancelled; }
  // Cancelling the window from outside (the program is asked to end) is its Cancel button.
  void reject() override;
  void SetShowDelay(int milliseconds) { FShowDelayMs = milliseconds; }

  // "Sorting \r\n" and how many of the files have been read.
  static QString ProgressText(std::size_t done, std::size_t total);

  // Runs a sort with the busy cursor and, when it reads the files, with this window; the sort is
  // given the progress call to pass on.
  static TSortResult Run(QWidget* owner, bool readsFiles,
                         const std::function<TSortResult(const TSortProgress&)>& sort);
  // How long Run waits before the window shows (tests make it show at once).
  static void SetDefaultShowDelay(int milliseconds);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  QLabel* txtNowSorting = nullptr;
  QPushButton* cmdCancelSorting = nullptr;
  QElapsedTimer FSinceStart;
  QElapsedTimer FSinceEvents;
  int FShowDelayMs = DefaultShowDelayMs;
  bool FCancelled = false;
};

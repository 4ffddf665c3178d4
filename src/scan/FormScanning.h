#pragma once
// The small modal window shown while a folder is walked: the folder being scanned and a Cancel
// button. It walks when it is shown, appends what it finds to the caller's list and then closes
// itself; the caller reads ScanCancelRequested afterwards to learn whether the walk was cut short.

#include "core/UnitGlobals.h"

#include <QDialog>
#include <QElapsedTimer>
#include <string>

class QLabel;
class QPushButton;

class TfrmScanning : public QDialog {
  Q_OBJECT

 public:
  static constexpr int ClientWidth = 630;
  static constexpr int ClientHeight = 99;
  static constexpr int HelpContextNumber = 2010;
  // Shortest time between two rounds of event processing during a walk.
  static constexpr int DefaultEventIntervalMs = 30;

  explicit TfrmScanning(QWidget* owner);

  // The three inputs, set before the window is shown. The window appends to the result list and
  // never clears it; the list must outlive the showing.
  void SetFolder(const std::string& folder);
  void SetRecursive(bool recursive);
  void SetResultList(TFoundFileList* result);

  int HelpContext() const { return HelpContextNumber; }
  // 0 lets pending events run after every entry.
  void SetEventInterval(int milliseconds) { FEventIntervalMs = milliseconds; }

  // The walk's progress event: shows the folder and lets pending events run, so the label repaints
  // and Cancel can be pressed.
  void ScanProgressEvent(const std::string& folder, const std::string& entryPath);

  // Cancelling the window from outside (the program is asked to end) is its Cancel button.
  void reject() override;

  // "Scanning \r\n" and the folder shortened to the label's width.
  QString ScanningText(const std::string& folder) const;

 protected:
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void FormActivate();
  void cmdCancelScanningClick();
  void CloseWith(int result);

  QLabel* txtNowScanning = nullptr;
  QPushButton* cmdCancelScanning = nullptr;

  std::string FFolder;
  bool FRecursive = false;
  TFoundFileList* FResult = nullptr;

  bool FActivated = false;  // once per showing
  bool FWalking = false;
  bool FClosing = false;
  int FEventIntervalMs = DefaultEventIntervalMs;
  QElapsedTimer FSinceEvents;
  std::string FPendingFolder;
  std::string FShownFolder;
};

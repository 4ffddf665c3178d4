#pragma once
// The window of a copy or move: what is being done, the file, how far the whole request has got,
// and Cancel. It asks before replacing a file and reports each failure with Retry, Skip and
// Cancel; the work itself is the file operation service.

#include <QDialog>
#include <string>
#include <vector>

#include "info/UnitFileFormat.h"
#include "shell/UnitFileOperation.h"

class QLabel;
class QProgressBar;
class QPushButton;

class TShellFileOperation : public QDialog {
  Q_OBJECT

 public:
  explicit TShellFileOperation(QWidget* owner);

  // Copies or moves the files, in order, into the folder, with this window up; returns when the
  // request has ended (done, skipped or cancelled).
  TFileOperationResult Run(TFileOperationKind kind, const std::vector<std::string>& sources,
                           const std::string& targetFolder);

 protected:
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  bool OnProgress(const TFileOperationProgress& progress);
  TConflictChoice OnConflict(const std::string& source, const std::string& target);
  TErrorChoice OnError(const std::string& source, const std::string& message);
  void cmdCancelClick();

  QLabel* txtAction = nullptr;
  QLabel* txtFile = nullptr;
  QLabel* txtFromTo = nullptr;
  QProgressBar* pbTotal = nullptr;
  QLabel* txtBytes = nullptr;
  QPushButton* cmdCancel = nullptr;

  TFileOperationKind kind_ = TFileOperationKind::Copy;
  TLocaleFormat format_;
  bool running_ = false;
  bool cancelRequested_ = false;
};

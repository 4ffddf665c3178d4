#pragma once
// "Add Custom": one location (drive, folder, network path) typed or picked, with the history of
// earlier ones from CUSTHIST.CFG. The caller may set the caption ("Scan"), runs exec() and reads
// Result(): empty unless the dialog ended with OK.

#include <QDialog>
#include <QString>
#include <string>

#include "core/UnitKeptFiles.h"

class QComboBox;
class QLabel;
class QPushButton;

class TfrmAddCustom : public QDialog {
  Q_OBJECT

 public:
  explicit TfrmAddCustom(QWidget* owner);

  // The location as entered, made absolute: a relative one against the working folder, "~" and
  // "~/..." against the home folder. Empty when the dialog was not ended with OK.
  QString Result() const { return result_; }
  // The same as a file-system path: the exact bytes of a history entry picked unchanged, so
  // that names which are not valid UTF-8 survive.
  std::string ResultPath() const { return resultPath_; }

  QLabel* Label1 = nullptr;
  QComboBox* cbCustomTargets = nullptr;
  QPushButton* cmdBrowse = nullptr;
  QPushButton* cmdOK = nullptr;
  QPushButton* cmdCancel = nullptr;
  QPushButton* cmdClearHistory = nullptr;
  QPushButton* cmdHelp = nullptr;

 private:
  void LoadHistory();
  void AddHistoryItem(const std::string& location);
  // The bytes behind the edit text.
  std::string CurrentPath() const;
  bool SaveHistory();
  void UpdateOK();
  void cmdBrowseClick();
  void cmdOKClick();
  void cmdClearHistoryClick();
  void cmdHelpClick();

  QString result_;
  std::string resultPath_;
  // Set when CUSTHIST.CFG exists but could not be read: OK then leaves it as it is.
  TUnreadableKeptFiles unreadableHistory_;
};

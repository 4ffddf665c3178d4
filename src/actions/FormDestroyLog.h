#pragma once
// The deletion/destruction log of the last Delete or Destroy run: shown, saved as a text file.

#include <QDialog>
#include <QStringList>

#include "core/UnitGlobals.h"

class QPlainTextEdit;
class QPushButton;

class TfrmDestroyLog : public QDialog {
  Q_OBJECT

 public:
  static constexpr int HelpContext = 2060;

  explicit TfrmDestroyLog(QWidget* owner);

  // Loads the log items; their inner line breaks make lines of their own.
  void SetLog(const TStringList& log);
  // The lines the window shows.
  QStringList Lines() const;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void cmdSaveClick();
  void cmdHelpClick();

  QPlainTextEdit* memoLog = nullptr;
  QPushButton* cmdOK = nullptr;
  QPushButton* cmdSave = nullptr;
  QPushButton* cmdHelp = nullptr;
  // The lines as the file system's bytes: a path that is not valid UTF-8 is saved as it is.
  TStringList lines_;
};

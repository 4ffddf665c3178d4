#pragma once
// "Edit": the name and the extensions (one per line) of one file type group.

#include <QDialog>
#include <string>

class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QLabel;

class TfrmExtensionEdit : public QDialog {
  Q_OBJECT

 public:
  explicit TfrmExtensionEdit(QWidget* owner);

  // The group's name and its extensions text (quoted, comma-separated) as stored. The name
  // field refuses "=" (it ends the name in the file) and line breaks.
  void SetGroupName(const std::string& name);
  void SetExtensionsText(const std::string& extensions);
  std::string GroupName() const;
  // Built from the memo: every non-empty line as typed, in quotes, joined by commas.
  std::string ExtensionsText() const;

  QLineEdit* ediExtensionsName = nullptr;
  QLabel* Label1 = nullptr;
  QPlainTextEdit* memoExtensionsExtensions = nullptr;
  QPushButton* cmdOK = nullptr;
  QPushButton* cmdCancel = nullptr;
  QPushButton* cmdHelp = nullptr;

 private:
  void cmdOKClick();
  // What was put in, so that an untouched field hands back its exact bytes even where they
  // are not valid UTF-8.
  std::string originalName_;
  std::string originalExtensions_;
  QString shownName_;
  QString shownExtensions_;

  void cmdHelpClick();
};

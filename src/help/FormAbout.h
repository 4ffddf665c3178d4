#pragma once
// The About box: product name, version and picture, the link to the product's web page (the
// address in INFO.URL of the program folder) and the licence text (LICENSE.TXT there).
// Created for each showing, shown modally (exec()), destroyed afterwards.

#include <QDialog>

class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;

class TfrmAbout : public QDialog {
  Q_OBJECT

 public:
  explicit TfrmAbout(QWidget* parent = nullptr);

  // The address shown when INFO.URL names none.
  static QString DefaultProductAddress();

  QTabWidget* pcAbout = nullptr;
  QLabel* txtProductName = nullptr;
  QLabel* txtVersion = nullptr;
  QLabel* imgProduct = nullptr;
  QLabel* txtOnlineProductInformationValue = nullptr;
  QPlainTextEdit* memoLicense = nullptr;
  QPushButton* cmdOK = nullptr;

  // Opens the web address of INFO.URL with the desktop's browser; nothing when the file is
  // missing or names no web address.
  void txtOnlineProductInformationValueClick();

 protected:
  // Esc works the OK button, as Enter does: both close the box with the result OK.
  void reject() override;

 private:
  QWidget* BuildAboutTab();
  QWidget* BuildLicenseTab();
  void FormCreate();
};

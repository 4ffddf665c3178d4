#pragma once
// The small borderless window shown while one file is destroyed: the file, a progress bar and
// Cancel. It destroys the file when it is first shown, adds the outcome to the log and then
// closes itself.

#include <QDialog>
#include <cstdint>
#include <string>

class QLabel;
class QProgressBar;
class QPushButton;

class TfrmDestroyProgress : public QDialog {
  Q_OBJECT

 public:
  static constexpr int ClientWidth = 536;
  static constexpr int ClientHeight = 137;
  static constexpr int HelpContext = 2060;

  explicit TfrmDestroyProgress(QWidget* owner);

  // The file to destroy, set before the window is shown.
  void SetFileName(const std::string& path);
  // After the window has closed: whether the file was destroyed.
  bool Destroyed() const { return destroyed_; }

  // "Destroying \r\n" and the path shortened to the label's width.
  QString DestroyingText(const std::string& path) const;

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  void FormActivate();
  void DestroyProgress(std::int32_t position, std::int32_t maximum, bool& cancel);
  void cmdCancelClick();

  QLabel* txtNowDestroying = nullptr;
  QProgressBar* pbDestroying = nullptr;
  QPushButton* cmdCancel = nullptr;

  std::string fileName_;
  bool activated_ = false;
  bool running_ = false;
  bool finished_ = false;
  bool cancelRequested_ = false;
  bool destroyed_ = false;
};

#pragma once
// Status bar panel 1: the search page's loading progress as up to 15 green blocks.

#include <QWidget>

class TStatusProgressPanel : public QWidget {
  Q_OBJECT

 public:
  explicit TStatusProgressPanel(QWidget* parent = nullptr);

  // p = page progress * 15 / maximum (0 when the maximum is 0); 0 or less draws no block.
  void SetProgress(int p);
  int Progress() const { return progress_; }
  static int ProgressBlocks(int value, int maximum);

  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  int progress_ = 0;
};

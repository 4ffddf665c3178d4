#include "app/TStatusProgressPanel.h"

#include <QPainter>

TStatusProgressPanel::TStatusProgressPanel(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("sbStatusBarPanel1"));
  setFixedWidth(126);
}

void TStatusProgressPanel::SetProgress(int p) {
  if (p == progress_) return;
  progress_ = p;
  update();
}

int TStatusProgressPanel::ProgressBlocks(int value, int maximum) {
  if (maximum == 0) return 0;
  // Signed division truncating toward zero, as C++ division does.
  return static_cast<int>(static_cast<long long>(value) * 15 / maximum);
}

QSize TStatusProgressPanel::sizeHint() const { return {126, 18}; }

void TStatusProgressPanel::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const QRect r = rect();
  painter.fillRect(r, palette().button());
  // Never draw past the panel, whatever value a caller sets.
  const int blocks = std::min(progress_, (r.width() + 1) / 8 + 1);
  for (int k = 0; k < blocks; ++k) {
    painter.fillRect(QRect(QPoint(r.left() + 8 * k, r.top() + 2), QPoint(r.left() + 8 * k + 5, r.bottom() - 2)),
                     QColor(0, 255, 0));
  }
}

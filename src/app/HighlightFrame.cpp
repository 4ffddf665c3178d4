#include "app/HighlightFrame.h"

#include <QPainter>
#include <QPalette>
#include <QWidget>

void PaintHighlightFrame(QWidget& widget) {
  QPainter painter(&widget);
  const QColor colour = widget.palette().color(QPalette::Active, QPalette::Highlight);
  const int w = widget.width();
  const int h = widget.height();
  const int f = HighlightFrameWidth;
  painter.fillRect(0, 0, w, f, colour);
  painter.fillRect(0, h - f, w, f, colour);
  painter.fillRect(0, 0, f, h, colour);
  painter.fillRect(w - f, 0, f, h, colour);
}

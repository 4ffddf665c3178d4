#include "app/BorderlessWindow.h"

#include <QPainter>
#include <QPalette>
#include <QScreen>
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

void CentreOnOwner(QWidget& widget) {
  const QWidget* owner = widget.parentWidget();
  QRect area;
  if (owner != nullptr)
    area = owner->window()->frameGeometry();
  else if (const QScreen* s = widget.screen())
    area = s->availableGeometry();
  if (area.isValid()) widget.move(area.center() - QPoint(widget.width() / 2, widget.height() / 2));
}

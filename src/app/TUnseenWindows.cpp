#include "app/TUnseenWindows.h"

#include <QEvent>
#include <QWidget>

bool TUnseenWindows::eventFilter(QObject* watched, QEvent* event) {
  // A window is polished when first shown: its native window exists by then but is not mapped.
  if (event->type() == QEvent::Polish && watched->isWidgetType()) {
    auto* widget = static_cast<QWidget*>(watched);
    if (widget->isWindow()) widget->setAttribute(Qt::WA_DontShowOnScreen);
  }
  // Unmapped, a window would still be painted into its backing store on every update.
  return event->type() == QEvent::UpdateRequest;
}

#include "app/TPaneLimits.h"

#include <QEvent>
#include <QSplitter>
#include <algorithm>

TPaneLimits::TPaneLimits(QSplitter* leftClient, QSplitter* clientBottom, QObject* parent)
    : QObject(parent), leftClient_(leftClient), clientBottom_(clientBottom) {
  leftClient_->installEventFilter(this);
  clientBottom_->installEventFilter(this);
}

int TPaneLimits::ClampPagesHeight(int total, int wanted) {
  return std::min(wanted, std::max(0, total - MinListExtent));
}

int TPaneLimits::ClampExplorerWidth(int total, int wanted) {
  return std::min(wanted, std::max(MinExplorerWidth, total - MinListExtent));
}

void TPaneLimits::Apply() {
  pending_ = false;
  const QList<int> bottom = clientBottom_->sizes();
  if (bottom.size() == 2) {
    const int total = bottom[0] + bottom[1];
    const int pages = ClampPagesHeight(total, bottom[1]);
    if (pages != bottom[1]) clientBottom_->setSizes({total - pages, pages});
  }
  const QList<int> left = leftClient_->sizes();
  if (left.size() == 2 && left[0] > 0 && leftClient_->widget(0)->isVisible()) {
    const int total = left[0] + left[1];
    const int explorer = ClampExplorerWidth(total, left[0]);
    if (explorer != left[0]) leftClient_->setSizes({explorer, total - explorer});
  }
}

bool TPaneLimits::eventFilter(QObject* watched, QEvent* event) {
  // The splitter shares out its new size after the filters ran: check once it has.
  if (event->type() == QEvent::Resize && !pending_) {
    pending_ = true;
    QMetaObject::invokeMethod(this, &TPaneLimits::Apply, Qt::QueuedConnection);
  }
  return QObject::eventFilter(watched, event);
}

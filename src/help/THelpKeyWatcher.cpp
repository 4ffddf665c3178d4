#include "help/THelpKeyWatcher.h"

#include <QKeyEvent>
#include <QWidget>

#include "help/HtmlHelp.h"

THelpKeyWatcher::THelpKeyWatcher(QWidget* owner) : QObject(owner), owner_(owner) {}

void THelpKeyWatcher::Watch(QWidget* widget) { widget->installEventFilter(this); }

bool THelpKeyWatcher::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress || static_cast<QKeyEvent*>(event)->key() != Qt::Key_F1)
    return QObject::eventFilter(watched, event);
  auto* widget = qobject_cast<QWidget*>(watched);
  const int context = watched->property("HelpContext").toInt();
  if (widget == nullptr || context <= 0) return QObject::eventFilter(watched, event);
  // The menu goes first, so that the help window comes up in front of the window it is about.
  if (widget->isWindow() && (widget->windowFlags() & Qt::Popup) == Qt::Popup) widget->close();
  ShowHelpContext(owner_.data(), context);
  return true;
}

#pragma once
// F1 on a widget that carries its own help context (the "HelpContext" property), such as the main
// window's menus: while a menu is open it has the keyboard, so the window's own F1 never fires.

#include <QObject>
#include <QPointer>

class QWidget;

class THelpKeyWatcher : public QObject {
  Q_OBJECT

 public:
  // owner: the window the help is shown for.
  explicit THelpKeyWatcher(QWidget* owner);

  // Watches the widget: F1 closes it when it is a popup and shows its help context.
  void Watch(QWidget* widget);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QPointer<QWidget> owner_;
};

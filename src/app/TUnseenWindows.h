#pragma once
// Where there is no screen at all (an unattended run on the offscreen platform), windows are
// still opened, run and closed as on a desktop, but none is mapped or painted: drawing pictures
// that nobody can look at is most of what showing a window costs. Install on the application.

#include <QObject>

class TUnseenWindows : public QObject {
 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
};

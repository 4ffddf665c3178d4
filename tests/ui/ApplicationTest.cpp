// An exception that no handler catches reaches the general error box and the program goes on.

#include <QFileInfo>
#include <QGuiApplication>
#include <QSettings>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <stdexcept>

#include "app/ByteString.h"
#include "app/TSonarvexApplication.h"
#include "app/TUnseenWindows.h"
#include "core/UnitGlobals.h"
#include "app/UiPrompts.h"

class TPaintCounter : public QWidget {
 public:
  int Paints = 0;

 protected:
  void paintEvent(QPaintEvent* /*event*/) override { ++Paints; }
};

class ApplicationTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void uncaughtExceptionShowsTheErrorBoxAndGoesOn() {
    QList<TMessageRequest> shown;
    SetMessageHook([&shown](const TMessageRequest& r) {
      shown.append(r);
      return TMsgResult::Ok;
    });
    QObject target;
    bool later = false;
    QTimer::singleShot(0, &target, [] { throw std::runtime_error("Cannot open file \"/x/EXTENSIO.CFG\"."); });
    QTimer::singleShot(10, &target, [&later] { later = true; });
    QVERIFY(QTest::qWaitFor([&] { return later; }, 2000));
    QCOMPARE(shown.size(), 1);
    QCOMPARE(shown[0].Caption, QStringLiteral("Corvantis Sonarvex"));
    QCOMPARE(shown[0].Text, QStringLiteral("Cannot open file \"/x/EXTENSIO.CFG\"."));
    QCOMPARE(shown[0].Icon, TMsgIcon::Error);
    SetMessageHook({});
  }

  void titlesAreExactAndQtSettingsStayInTheProgramFolder() {
    // No display name is set (it follows the application name), so Qt appends nothing to titles.
    const QString name = QCoreApplication::applicationName();
    QCoreApplication::setApplicationName(QStringLiteral("renamed"));
    QCOMPARE(QGuiApplication::applicationDisplayName(), QStringLiteral("renamed"));
    QCoreApplication::setApplicationName(name);
    // The file dialogs' history goes next to the program's other files, not into the home folder.
    const QString file = QSettings(QSettings::UserScope, QStringLiteral("QtProject")).fileName();
    QCOMPARE(QFileInfo(file).absolutePath(), QFileInfo(PathToQString(ProgramFolder())).absoluteFilePath());
  }

  void unseenWindowsAreShownButNeverPainted() {
    // On the offscreen platform a shown window is painted on every update...
    TPaintCounter seen;
    seen.show();
    QVERIFY(QTest::qWaitFor([&seen] { return seen.Paints > 0; }, 2000));
    const int before = seen.Paints;
    seen.update();
    QCoreApplication::sendPostedEvents(&seen, QEvent::UpdateRequest);
    QCOMPARE(seen.Paints, before + 1);
    // ...an unseen one is shown (its show and close events run as usual) but never painted.
    TUnseenWindows unseen;
    qApp->installEventFilter(&unseen);
    TPaintCounter window;
    window.show();
    QVERIFY(window.isVisible());
    QVERIFY(window.testAttribute(Qt::WA_DontShowOnScreen));
    window.update();
    QCoreApplication::sendPostedEvents(&window, QEvent::UpdateRequest);
    QCoreApplication::processEvents();
    QCOMPARE(window.Paints, 0);
  }
};

int main(int argc, char** argv) {
  TSonarvexApplication app(argc, argv);
  ApplicationTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "ApplicationTest.moc"

#include "app/TSonarvexApplication.h"

#include <QIcon>
#include <exception>

#include "app/ByteString.h"
#include "app/UiPrompts.h"
#include "core/UnitGlobals.h"

TSonarvexApplication::TSonarvexApplication(int& argc, char** argv) : QApplication(argc, argv) {
  setApplicationName(ToQString(ApplicationTitle));
  setApplicationDisplayName(ToQString(ApplicationTitle));
  setApplicationVersion(QStringLiteral("1.5"));
  // Lets the desktop match the windows to the menu entry and its icon (sonarvex.desktop).
  setDesktopFileName(QStringLiteral("sonarvex"));
  setWindowIcon(QIcon::fromTheme(QStringLiteral("sonarvex"), QIcon(QStringLiteral(":/help/sonarvex.svg"))));
}

bool TSonarvexApplication::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (const std::exception& error) {
    ShowException(ToQString(error.what()));
  } catch (...) {
    ShowException(QStringLiteral("Unknown error."));
  }
  return false;
}

void TSonarvexApplication::ShowException(const QString& message) {
  ShowMessageBox(activeWindow(), {ToQString(ApplicationTitle), message, TMsgIcon::Error, TMsgButtons::Ok});
}

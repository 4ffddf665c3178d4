#include "app/TSonarvexApplication.h"

#include <QIcon>
#include <QSettings>
#include <exception>

#include "app/ByteString.h"
#include "app/UiPrompts.h"
#include "core/UnitDataFolder.h"
#include "core/UnitGlobals.h"

TSonarvexApplication::TSonarvexApplication(int& argc, char** argv) : QApplication(argc, argv) {
  setApplicationName(ToQString(ApplicationTitle));
  // No display name: Qt would append it to every window title, and each window's caption is
  // exactly the one it sets.
  setApplicationVersion(QStringLiteral("1.5"));
  // Lets the desktop match the windows to the menu entry and its icon (sonarvex.desktop).
  setDesktopFileName(QStringLiteral("sonarvex"));
  setWindowIcon(QIcon::fromTheme(QStringLiteral("sonarvex"), QIcon(QStringLiteral(":/help/sonarvex.svg"))));
  KeepQtSettingsInDataFolder();
}

void TSonarvexApplication::KeepQtSettingsInDataFolder() {
  // Qt's own dialogs remember their state in user-scope settings (the file dialog's history);
  // those belong with the program's other files, not in the user's home folder.
  const QString folder = PathToQString(DataFolder());
  QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, folder);
  QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, folder);
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

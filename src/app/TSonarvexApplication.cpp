#include "app/TSonarvexApplication.h"

#include <exception>

#include "app/ByteString.h"
#include "app/UiPrompts.h"
#include "core/UnitGlobals.h"

TSonarvexApplication::TSonarvexApplication(int& argc, char** argv) : QApplication(argc, argv) {
  setApplicationName(ToQString(ApplicationTitle));
  setApplicationDisplayName(ToQString(ApplicationTitle));
  setApplicationVersion(QStringLiteral("1.5"));
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

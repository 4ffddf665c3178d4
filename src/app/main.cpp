#include <unistd.h>

#include <QCoreApplication>
#include <clocale>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/FormMain.h"
#include "app/TSignalCloser.h"
#include "app/TSonarvexApplication.h"
#include "core/UnitGlobals.h"
#include "player/TMediaPlayerPage.h"

namespace {

// An unattended report must run where there is no display at all (a cron job, a server).
void UseOffscreenWhenUnattended(const std::vector<std::string>& params) {
  if (params.empty() || UpperCaseAscii(params[0]) != "/REPORT") return;
  const char* display = std::getenv("DISPLAY");
  const char* wayland = std::getenv("WAYLAND_DISPLAY");
  const char* platform = std::getenv("QT_QPA_PLATFORM");
  const bool hasDisplay = (display != nullptr && *display != '\0') || (wayland != nullptr && *wayland != '\0');
  if (!hasDisplay && (platform == nullptr || *platform == '\0')) ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
}

// The browser's sandbox refuses to start as root; the program then runs it without one.
void AllowBrowserAsRoot() {
  if (::geteuid() == 0) ::setenv("QTWEBENGINE_DISABLE_SANDBOX", "1", 1);
}

}  // namespace

int main(int argc, char** argv) {
  std::setlocale(LC_ALL, "");
  std::vector<std::string> params(argv + (argc > 0 ? 1 : 0), argv + argc);
  UseOffscreenWhenUnattended(params);
  AllowBrowserAsRoot();
  TMediaPlayerPage::ChooseMediaBackend();
  // The embedded browser shares its drawing contexts with the windows.
  QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);

  TSonarvexApplication app(argc, argv);
  // Qt may have reset the numeric locale; the core formats numbers itself from the user's locale.
  std::setlocale(LC_ALL, "");
  int status = 0;
  {
    TfrmMain window(std::move(params));
    // Logout, kill and Ctrl+C close the window as its close button does.
    TSignalCloser signalCloser(&window);
    window.show();
    status = TSonarvexApplication::exec();
    if (status == 0) status = window.ExitStatus();
  }
  return status;
}

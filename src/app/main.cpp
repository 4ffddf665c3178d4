#include <unistd.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <QCoreApplication>
#include <QGuiApplication>
#include <QtGlobal>

#include "app/FormMain.h"
#include "app/TFontConfigWarmUp.h"
#include "app/TSignalCloser.h"
#include "app/TSonarvexApplication.h"
#include "app/TUnseenWindows.h"
#include "app/UiPrompts.h"
#include "core/UnitGlobals.h"
#include "player/TMediaPlayerPage.h"

namespace {

constexpr const char* VersionText = "Corvantis Sonarvex 1.5\n";
constexpr const char* UsageText =
    "\nUsage: sonarvex [/SCAN path [/SUBFOLDERS | /NOSUBFOLDERS]]\n"
    "       sonarvex /REPORT type output [location...]\n"
    "       sonarvex --help | -h | --version\n"
    "\n"
    "/SCAN     adds the location to the Custom list and scans it.\n"
    "/REPORT   writes a report of the locations (with their subfolders) to the output file\n"
    "          and ends; type 0 short list, 1 list with details, 2 HTML table (also when\n"
    "          the type is not a number), 3 comma delimited, 4 tab delimited.\n"
    "          Exit status: 0 written, 1 the report could not be written, 2 usage error.\n";

QtMessageHandler PreviousMessageHandler = nullptr;

// Standard error carries the run's own failure lines. Qt's diagnostics (the offscreen
// platform's remarks, the sound system found missing on a server) are no failure of the report
// and are left out; critical and fatal messages still pass.
void QuietQtDiagnostics(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (type == QtDebugMsg || type == QtInfoMsg || type == QtWarningMsg) return;
  if (PreviousMessageHandler != nullptr) PreviousMessageHandler(type, context, message);
}

bool IsReportRun(const std::vector<std::string>& params) {
  return !params.empty() && UpperCaseAscii(params[0]) == "/REPORT";
}

bool IsSet(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr && *value != '\0';
}

// An unattended report must run where there is no display at all (a cron job, ssh). The platform
// has to be chosen before the application object exists.
void PrepareUnattendedRun() {
  if (!IsSet("DISPLAY") && !IsSet("WAYLAND_DISPLAY") && !IsSet("QT_QPA_PLATFORM"))
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
  PreviousMessageHandler = qInstallMessageHandler(&QuietQtDiagnostics);
  // Nobody is there to answer a box: messages go to standard error instead.
  SetUnattended(true);
}

// The browser's sandbox refuses to start as root; the program then runs it without one.
void AllowBrowserAsRoot() {
  if (::geteuid() == 0) ::setenv("QTWEBENGINE_DISABLE_SANDBOX", "1", 1);
}

bool IsHelpRequest(const std::string& param) { return param == "--help" || param == "-h"; }

}  // namespace

int main(int argc, char** argv) {
  std::setlocale(LC_ALL, "");
  std::vector<std::string> params(argv + (argc > 0 ? 1 : 0), argv + argc);
  if (!params.empty() && (IsHelpRequest(params[0]) || params[0] == "--version")) {
    std::fputs(VersionText, stdout);
    if (IsHelpRequest(params[0])) std::fputs(UsageText, stdout);
    return 0;
  }
  if (IsReportRun(params)) PrepareUnattendedRun();
  AllowBrowserAsRoot();
  TMediaPlayerPage::ChooseMediaBackend();
  // After the last change to the environment: the font library reads it on its own thread.
  const TFontConfigWarmUp fontConfiguration;

  // The embedded browsers share the application's graphics context; this must precede the
  // application object.
  QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
  TSonarvexApplication app(argc, argv);
  // Qt may have reset the numeric locale; the core formats numbers itself from the user's locale.
  std::setlocale(LC_ALL, "");
  if (Unattended() && QGuiApplication::platformName() == QLatin1String("offscreen"))
    app.installEventFilter(new TUnseenWindows(&app));
  int status = 0;
  {
    TfrmMain window(std::move(params));
    // Logout, kill and Ctrl+C close the window as its close button does.
    TSignalCloser signalCloser(&window);
    window.show();
    status = TSonarvexApplication::exec();
    if (status == 0) status = window.ExitStatus();
  }
  // A message that went to standard error instead of a box is a failure of the run.
  if (status == 0 && UnattendedFailureCount() > 0) status = 1;
  return status;
}

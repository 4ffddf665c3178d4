#include "help/HtmlHelp.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHelpEngine>
#include <QHelpLink>
#include <QPointer>
#include <QStandardPaths>
#include <QStringList>
#include <QWidget>

#include "app/ByteString.h"
#include "app/UiPrompts.h"
#include "core/UnitGlobals.h"
#include "help/HtmlHelpViewer.h"

namespace {

// Each context number is the identifier "context-<number>" of a keyword of the help project.
QString ContextIdentifier(int context) { return QStringLiteral("context-") + QString::number(context); }

struct THelpState {
  QPointer<QHelpEngine> Engine;
  QPointer<HtmlHelpViewer> Viewer;
  QString Source;       // the collection in the program folder the state belongs to
  bool Failed = false;  // the engine could not be set up from Source
  bool Warned = false;
  bool QuitHooked = false;
};

THelpState& State() {
  static THelpState state;
  return state;
}

bool IsFile(const QString& path) { return QFileInfo(path).isFile(); }

bool CollectionPresent() { return IsFile(HelpCollectionFile()) && IsFile(HelpDocumentationFile()); }

QString CacheFolder() {
  QString base = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
  if (base.isEmpty()) base = QDir::tempPath() + QStringLiteral("/sonarvex-cache");
  return base + QStringLiteral("/help");
}

// An engine that could open the collection and finds the topics in it, or nullptr.
QHelpEngine* OpenEngine(const QString& collection, bool readOnly) {
  if (collection.isEmpty()) return nullptr;
  auto* engine = new QHelpEngine(collection, QCoreApplication::instance());
  engine->setReadOnly(readOnly);
  if (engine->setupData() && !engine->registeredDocumentations().isEmpty()) return engine;
  delete engine;
  return nullptr;
}

// The shipped collection is opened without writing to it, so a program folder the user may not
// write to (or several instances at once) is no problem. Should that fail, the engine gets a
// private copy it may write to and repair.
QHelpEngine* OpenEngineFor(const QString& source) {
  QHelpEngine* engine = OpenEngine(source, true);
  if (!engine) engine = OpenEngine(CopyHelpCollectionTo(source, CacheFolder()), false);
  return engine;
}

void WarnOnce(QWidget* owner) {
  THelpState& state = State();
  if (state.Warned) return;
  state.Warned = true;
  ShowMessageBox(owner, {HelpWarningCaption(), HelpWarningText(), TMsgIcon::Warning, TMsgButtons::Ok});
}

void ReleaseEngine() {
  THelpState& state = State();
  delete state.Viewer.data();
  delete state.Engine.data();
  state.Source.clear();
  state.Failed = false;
}

// The engine for the help collection of the program folder; nullptr when there is none or it
// cannot be opened (then the user has been warned once).
QHelpEngine* ReadyEngine(QWidget* owner) {
  if (!CollectionPresent()) return nullptr;
  THelpState& state = State();
  const QString source = HelpCollectionFile();
  if (state.Source == source) return state.Failed ? nullptr : state.Engine.data();
  ReleaseEngine();
  state.Source = source;
  state.Engine = OpenEngineFor(source);
  if (!state.QuitHooked) {
    // The window and the engine go before the application object does, whether or not its
    // event loop ran (tests run without one).
    state.QuitHooked = true;
    qAddPostRoutine(&ShutDownHelp);
  }
  if (state.Engine) return state.Engine.data();
  state.Failed = true;
  WarnOnce(owner);
  return nullptr;
}

HtmlHelpViewer* ViewerFor(QWidget* owner, QHelpEngine* engine) {
  THelpState& state = State();
  if (!state.Viewer) state.Viewer = new HtmlHelpViewer(engine);
  state.Viewer->FollowOwner(owner);
  return state.Viewer.data();
}

}  // namespace

void ShowHelpContext(QWidget* owner, int context) {
  QHelpEngine* engine = ReadyEngine(owner);
  if (!engine) return;
  const QList<QHelpLink> links = engine->documentsForIdentifier(ContextIdentifier(context));
  HtmlHelpViewer* viewer = ViewerFor(owner, engine);
  if (links.isEmpty()) {
    viewer->ShowContents();
  } else {
    viewer->ShowTopic(links.first().url);
  }
}

void ShowHelpContents(QWidget* owner) {
  QHelpEngine* engine = ReadyEngine(owner);
  if (!engine) return;
  ViewerFor(owner, engine)->ShowContents();
}

bool InitializeHelp(QWidget* owner) { return ReadyEngine(owner) != nullptr; }

void ShutDownHelp() {
  ReleaseEngine();
  State().Warned = false;
}

HtmlHelpViewer* HelpViewerWindow() { return State().Viewer.data(); }

QString HelpCollectionFile() { return PathToQString(ProgramFile("SONARVEX.qhc")); }
QString HelpDocumentationFile() { return PathToQString(ProgramFile("SONARVEX.qch")); }

QString CopyHelpCollectionTo(const QString& collection, const QString& folder) {
  if (!QDir().mkpath(folder)) return {};
  const QFileInfo source(collection);
  QString copied;
  const QStringList names = {source.fileName(), source.completeBaseName() + QStringLiteral(".qch")};
  for (const QString& name : names) {
    const QString from = source.absolutePath() + QLatin1Char('/') + name;
    const QString to = folder + QLatin1Char('/') + name;
    QFile::remove(to);
    if (!QFile::copy(from, to)) return {};
    // The copy keeps the permissions of a read-only original; the engine must write to it.
    QFile::setPermissions(to, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser);
    if (copied.isEmpty()) copied = to;
  }
  return copied;
}

QString HelpWarningCaption() { return QStringLiteral("Warning!"); }

QString HelpWarningText() {
  return QStringLiteral(
      "Unable to view HTML help (SONARVEX.qhc). Update the Qt help system: get new \"libqt6help6\" "
      "and \"libqt6sql6-sqlite\" libraries, or reinstall the help files SONARVEX.qhc and SONARVEX.qch.");
}

#include "shell/TBrowserView.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibrary>
#include <QVBoxLayout>

#include "app/UiPrompts.h"

namespace {

// The web engine, loaded after the application object exists, still wants the application's
// graphics contexts shared; that must be asked for before any application object is made, as the
// engine does itself when a program links it.
void ShareGraphicsContexts() { QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts); }
Q_CONSTRUCTOR_FUNCTION(ShareGraphicsContexts)

const QString ModuleName = QStringLiteral(SONARVEX_BROWSER_MODULE);

QStringList& FolderOverride() {
  static QStringList folders;
  return folders;
}

bool InsideBuildTree(const QString& folder) {
  const QString build = QDir(QStringLiteral(SONARVEX_BUILD_DIR)).canonicalPath();
  const QString path = QDir(folder).canonicalPath();
  return !build.isEmpty() && (path == build || path.startsWith(build + QLatin1Char('/')));
}

struct TLoadedModule {
  TCreateBrowserEngineFunction Create = nullptr;
  QString Failure;
};

// The first module in the folders that loads and was built for this program's interface. A loaded
// module stays loaded for the rest of the run.
TLoadedModule LoadModule() {
  TLoadedModule result;
  const QStringList folders = TBrowserView::ModuleFolders();
  for (const QString& folder : folders) {
    const QString path = QDir(folder).filePath(ModuleName);
    if (!QFileInfo::exists(path)) continue;
    QLibrary library(path);
    if (!library.load()) {
      if (result.Failure.isEmpty()) result.Failure = library.errorString();
      continue;
    }
    const auto version = reinterpret_cast<TBrowserEngineVersionFunction>(library.resolve(BrowserEngineVersionEntry));
    const auto create = reinterpret_cast<TCreateBrowserEngineFunction>(library.resolve(CreateBrowserEngineEntry));
    if (version == nullptr || create == nullptr || version() != BrowserEngineInterfaceVersion) {
      if (result.Failure.isEmpty()) result.Failure = path + QStringLiteral(" does not belong to this version of the program.");
      continue;
    }
    result.Create = create;
    return result;
  }
  if (result.Failure.isEmpty())
    result.Failure = ModuleName + QStringLiteral(" was not found in ") + folders.join(QStringLiteral(", ")) +
                     QLatin1Char('.');
  return result;
}

}  // namespace

void TBrowserView::SetModuleFolders(const QStringList& folders) { FolderOverride() = folders; }

QStringList TBrowserView::ModuleFolders() {
  if (!FolderOverride().isEmpty()) return FolderOverride();
  const QString own = QCoreApplication::applicationDirPath();
  QStringList folders{own};
  if (InsideBuildTree(own)) folders << QStringLiteral(SONARVEX_BUILD_PROGRAM_DIR);
  return folders;
}

TBrowserView* TBrowserView::Create(QWidget* parent) {
  const TLoadedModule module = LoadModule();
  if (module.Create != nullptr) {
    auto* view = new TBrowserView(parent, module.Create);
    if (view->engine_ != nullptr) return view;
    delete view;
  }
  const QString reason = module.Failure.isEmpty() ? QStringLiteral("The web view could not be made.") : module.Failure;
  ShowFailure(parent, QStringLiteral("The web browser could not be started:\r\n\r\n") + reason);
  return nullptr;
}

TBrowserView::TBrowserView(QWidget* parent, TCreateBrowserEngineFunction createEngine) : QWidget(parent) {
  engine_.reset(createEngine(this, this));
  if (engine_ == nullptr) return;
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(engine_->Widget());
  setFocusProxy(engine_->Widget());
}

// The engine's view goes before this widget's children are deleted.
TBrowserView::~TBrowserView() = default;

void TBrowserView::Load(const QUrl& url) { engine_->Load(url); }
QUrl TBrowserView::Url() const { return engine_->Url(); }
bool TBrowserView::CanGoBack() const { return engine_->CanGoBack(); }
void TBrowserView::Back() { engine_->Back(); }
void TBrowserView::Forward() { engine_->Forward(); }
void TBrowserView::Stop() { engine_->Stop(); }
void TBrowserView::Reload() { engine_->Reload(); }
void TBrowserView::SaveAsSingleHtml(const QString& path) { engine_->SaveAsSingleHtml(path); }
void TBrowserView::Print(QPrinter* printer) { engine_->Print(printer); }

void TBrowserView::OnLoadProgress(int percent) { Q_EMIT LoadProgress(percent); }
void TBrowserView::OnLoadFinished(bool ok) { Q_EMIT LoadFinished(ok); }

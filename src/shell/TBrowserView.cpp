#include "shell/TBrowserView.h"

#include <QCoreApplication>
#include <QVBoxLayout>

#include "app/UiPrompts.h"
#include "shell/TProgramModules.h"

namespace {

// The web engine, loaded after the application object exists, still wants the application's
// graphics contexts shared; that must be asked for before any application object is made, as the
// engine does itself when a program links it.
void ShareGraphicsContexts() { QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts); }
Q_CONSTRUCTOR_FUNCTION(ShareGraphicsContexts)

const QString ModuleName = QStringLiteral(SONARVEX_BROWSER_MODULE);

}  // namespace

TBrowserView* TBrowserView::Create(QWidget* parent) {
  const TModuleEntry module =
      LoadModuleEntry(ModuleName, BrowserEngineVersionEntry, BrowserEngineInterfaceVersion, CreateBrowserEngineEntry);
  if (module.Create != nullptr) {
    auto* view = new TBrowserView(parent, reinterpret_cast<TCreateBrowserEngineFunction>(module.Create));
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

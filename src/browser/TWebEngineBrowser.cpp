#include "browser/TWebEngineBrowser.h"

#include <QUrl>
#include <QWebEngineDownloadRequest>
#include <QWebEngineHistory>
#include <QWebEngineNewWindowRequest>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineView>

TWebEngineBrowser::TWebEngineBrowser(QWidget* parent, TListener* listener) {
  // A profile without a storage name is off the record.
  profile_ = new QWebEngineProfile;
  view_ = new QWebEngineView(parent);
  page_ = new QWebEnginePage(profile_, view_);
  view_->setPage(page_);
  QObject::connect(page_, &QWebEnginePage::loadProgress, view_,
                   [listener](int percent) { listener->OnLoadProgress(percent); });
  QObject::connect(page_, &QWebEnginePage::loadFinished, view_, [listener](bool ok) { listener->OnLoadFinished(ok); });
  // Links with a target and window.open() load in this same view.
  QWebEnginePage* page = page_;
  QObject::connect(page_, &QWebEnginePage::newWindowRequested, page_,
                   [page](QWebEngineNewWindowRequest& request) { page->setUrl(request.requestedUrl()); });
}

TWebEngineBrowser::~TWebEngineBrowser() {
  // The page must go before its profile.
  delete view_;
  delete profile_;
}

QWidget* TWebEngineBrowser::Widget() { return view_; }

void TWebEngineBrowser::Load(const QUrl& url) { page_->setUrl(url); }

QUrl TWebEngineBrowser::Url() const { return page_->url(); }

bool TWebEngineBrowser::CanGoBack() const { return page_->history()->canGoBack(); }

void TWebEngineBrowser::Back() { view_->back(); }

void TWebEngineBrowser::Forward() { view_->forward(); }

void TWebEngineBrowser::Stop() { view_->stop(); }

void TWebEngineBrowser::Reload() { view_->reload(); }

void TWebEngineBrowser::SaveAsSingleHtml(const QString& path) {
  page_->save(path, QWebEngineDownloadRequest::SingleHtmlSaveFormat);
}

void TWebEngineBrowser::Print(QPrinter* printer) { view_->print(printer); }

extern "C" Q_DECL_EXPORT int SonarvexBrowserEngineVersion() { return BrowserEngineInterfaceVersion; }

extern "C" Q_DECL_EXPORT TBrowserEngine* SonarvexCreateBrowserEngine(QWidget* parent,
                                                                     TBrowserEngine::TListener* listener) {
  if (parent == nullptr || listener == nullptr) return nullptr;
  return new TWebEngineBrowser(parent, listener);
}

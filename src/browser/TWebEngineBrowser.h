#pragma once
// The web view of the browser module: a page of its own in a private profile, so cookies, cache
// and history stay in memory and the program leaves no browser files behind.

#include "shell/TBrowserEngine.h"

class QWebEnginePage;
class QWebEngineProfile;
class QWebEngineView;

class TWebEngineBrowser final : public TBrowserEngine {
 public:
  TWebEngineBrowser(QWidget* parent, TListener* listener);
  ~TWebEngineBrowser() override;
  TWebEngineBrowser(const TWebEngineBrowser&) = delete;
  TWebEngineBrowser& operator=(const TWebEngineBrowser&) = delete;

  QWidget* Widget() override;
  void Load(const QUrl& url) override;
  QUrl Url() const override;
  bool CanGoBack() const override;
  void Back() override;
  void Forward() override;
  void Stop() override;
  void Reload() override;
  void SaveAsSingleHtml(const QString& path) override;
  void Print(QPrinter* printer) override;

 private:
  QWebEngineProfile* profile_ = nullptr;
  QWebEngineView* view_ = nullptr;
  QWebEnginePage* page_ = nullptr;
};

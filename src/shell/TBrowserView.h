#pragma once
// The embedded web browser of the Search page and the report wizard. The web engine lives in a
// module of its own that is loaded when the first view is made, so a run that never shows a
// page never loads it.

#include <QUrl>
#include <QWidget>
#include <memory>

#include "shell/TBrowserEngine.h"

class QPrinter;

class TBrowserView : public QWidget, private TBrowserEngine::TListener {
  Q_OBJECT

 public:
  // A new view, or null when the browser module cannot be loaded: the user is told why (on
  // standard error in an unattended run).
  static TBrowserView* Create(QWidget* parent);
  ~TBrowserView() override;

  void Load(const QUrl& url);
  QUrl Url() const;
  bool CanGoBack() const;
  void Back();
  void Forward();
  void Stop();
  void Reload();
  // The displayed document with its resources as one HTML file; written in the background.
  void SaveAsSingleHtml(const QString& path);
  // The printer must live until the printing has finished.
  void Print(QPrinter* printer);

 Q_SIGNALS:
  void LoadProgress(int percent);
  void LoadFinished(bool ok);

 private:
  TBrowserView(QWidget* parent, TCreateBrowserEngineFunction createEngine);
  void OnLoadProgress(int percent) override;
  void OnLoadFinished(bool ok) override;

  std::unique_ptr<TBrowserEngine> engine_;
};

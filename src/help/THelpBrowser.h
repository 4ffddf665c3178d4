#pragma once
// The text browser of the help window: pages, style sheets and pictures come out of the help
// collection; links to the web go to the desktop's browser.

#include <QTextBrowser>

class QHelpEngineCore;

class THelpBrowser : public QTextBrowser {
  Q_OBJECT

 public:
  explicit THelpBrowser(QHelpEngineCore* engine, QWidget* parent = nullptr);

  QVariant loadResource(int type, const QUrl& name) override;

 private:
  void LinkClicked(const QUrl& link);

  QHelpEngineCore* engine_;
};

#include "help/THelpBrowser.h"

#include <QHelpEngineCore>

#include "help/DesktopLinks.h"

namespace {

bool IsHelpUrl(const QUrl& url) { return url.scheme() == QLatin1String("qthelp"); }

}  // namespace

THelpBrowser::THelpBrowser(QHelpEngineCore* engine, QWidget* parent)
    : QTextBrowser(parent), engine_(engine) {
  // Links are followed by hand so that only the collection's own pages are loaded here.
  setOpenLinks(false);
  setOpenExternalLinks(false);
  connect(this, &QTextBrowser::anchorClicked, this, &THelpBrowser::LinkClicked);
}

QVariant THelpBrowser::loadResource(int type, const QUrl& name) {
  Q_UNUSED(type);
  const QUrl url = name.isRelative() ? source().resolved(name) : name;
  // Nothing outside the collection is read into a help page (no local files, no network).
  if (!IsHelpUrl(url)) return {};
  return engine_->fileData(url);
}

void THelpBrowser::LinkClicked(const QUrl& link) {
  const QUrl target = source().resolved(link);
  if (IsHelpUrl(target)) {
    setSource(target);
  } else if (target.scheme() == QLatin1String("http") || target.scheme() == QLatin1String("https")) {
    OpenExternalUrl(target);
  }
}

#include "help/DesktopLinks.h"

#include <QDesktopServices>

namespace {

TOpenUrlHook& OpenUrlHook() {
  static TOpenUrlHook hook;
  return hook;
}

}  // namespace

void SetOpenUrlHook(TOpenUrlHook hook) { OpenUrlHook() = std::move(hook); }

bool OpenExternalUrl(const QUrl& url) {
  if (OpenUrlHook()) return OpenUrlHook()(url);
  return QDesktopServices::openUrl(url);
}

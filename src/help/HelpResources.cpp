#include "help/HelpResources.h"

#include <QtGlobal>

void EnsureHelpResources() {
  static const bool registered = [] {
    Q_INIT_RESOURCE(help);
    return true;
  }();
  Q_UNUSED(registered);
}

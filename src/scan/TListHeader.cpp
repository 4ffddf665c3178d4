#include "scan/TListHeader.h"

QSize TListHeader::sizeHint() const {
  for (int section = 0; section < count(); ++section) {
    if (!isSectionHidden(section)) return sectionSizeFromContents(section);
  }
  return QHeaderView::sizeHint();
}

#pragma once
// The file list's column header. Its height is that of one caption: every caption is one line in
// the header's font, and Qt would otherwise measure the text of up to a hundred columns again
// after every change of the header (columns built, the window resized or restyled) only to find
// the same height.

#include <QHeaderView>

class TListHeader final : public QHeaderView {
 public:
  explicit TListHeader(QWidget* parent = nullptr) : QHeaderView(Qt::Horizontal, parent) {}

  QSize sizeHint() const override;
};

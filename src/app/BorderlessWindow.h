#pragma once
// The look and place of the borderless progress windows (scanning, sorting, destroying): they
// have no title bar, so a band in the highlight colour sets them off from the window below, and
// they appear over the middle of the window that started the work.

class QWidget;

inline constexpr int HighlightFrameWidth = 2;

// Paints the band along the widget's four edges; call it from paintEvent after the base class.
void PaintHighlightFrame(QWidget& widget);
// Centres the widget on its owner's window, or on its screen's free area without an owner.
void CentreOnOwner(QWidget& widget);

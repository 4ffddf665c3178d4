#pragma once
// The frame of the borderless progress windows (scanning, sorting, destroying): they have no
// title bar, so a band in the highlight colour sets them off from the window below.

class QWidget;

inline constexpr int HighlightFrameWidth = 2;

// Paints the band along the widget's four edges; call it from paintEvent after the base class.
void PaintHighlightFrame(QWidget& widget);

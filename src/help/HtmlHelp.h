#pragma once
// Help by numeric context and the table of contents, shown in the program's own help window.

class QWidget;

// Topic of one help context number (1020, 2010, 2060, 2070, 2080, 2090, ...).
void ShowHelpContext(QWidget* owner, int context);
// The table of contents ("Help Topics").
void ShowHelpContents(QWidget* owner);

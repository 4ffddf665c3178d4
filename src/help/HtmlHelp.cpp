#include "help/HtmlHelp.h"

// Placeholder until the help window lands: requests do nothing, as with a missing help file.
void ShowHelpContext(QWidget*, int) {}
void ShowHelpContents(QWidget*) {}

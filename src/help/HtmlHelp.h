#pragma once
// Help by numeric context and the table of contents, shown in the program's own help window.
//
// The help is the collection SONARVEX.qhc (with its topics in SONARVEX.qch) in the program
// folder. Without it every request does nothing and says nothing. When the collection is there
// but the help engine cannot open it, the user is warned once and help stays silent afterwards.

#include <QString>

class QWidget;
class HtmlHelpViewer;

// Topic of one help context number (1020, 2010, 2060, 2070, 2080, 2090, ...). A number the
// help does not know shows the contents page.
void ShowHelpContext(QWidget* owner, int context);
// The table of contents ("Help Topics").
void ShowHelpContents(QWidget* owner);

// Start-up: sets up the help engine so that a broken help installation is reported once, at
// start, rather than at the first press of a Help button. Returns whether help can be shown.
// Requests set the engine up themselves when this was not called.
bool InitializeHelp(QWidget* owner = nullptr);
// End of the program: closes the help window and releases the engine. A later request (or
// InitializeHelp) starts afresh, warning included.
void ShutDownHelp();

// The help window, while there is one.
HtmlHelpViewer* HelpViewerWindow();

// The help collection in the program folder and the documentation file it registers.
QString HelpCollectionFile();
QString HelpDocumentationFile();
// The collection is read where it lies and never written there. When it cannot be opened that
// way, the engine works on a private, writable copy in the user's cache folder: this copies the
// collection and its documentation to `folder` (made if needed). Returns the copied collection,
// or an empty string when copying failed.
QString CopyHelpCollectionTo(const QString& collection, const QString& folder);

// Caption and text of the warning about a help engine that cannot be set up.
QString HelpWarningCaption();
QString HelpWarningText();

#pragma once
// Message boxes and file dialogs go through here, so tests can answer them without a person.

#include <QString>
#include <QStringList>
#include <functional>

class QWidget;

enum class TMsgIcon { None, Information, Warning, Error, Question };
enum class TMsgButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class TMsgResult { Ok, Cancel, Yes, No };

struct TMessageRequest {
  QString Caption;
  QString Text;
  TMsgIcon Icon = TMsgIcon::None;
  TMsgButtons Buttons = TMsgButtons::Ok;
};

struct TFileDialogRequest {
  enum class TKind { Open, Save, Folder };
  TKind Kind = TKind::Open;
  QString Caption;
  QString Directory;  // starting folder or file name
  QString Filter;     // Qt filter text, e.g. "Configuration Files (*.ITC)"
  QString DefaultSuffix;  // added to a typed name without one; a save follows the chosen filter
  QString* ChosenFilter = nullptr;  // when set, receives the filter the user chose
};

// Answer for a request; an empty string means the user cancelled.
using TMessageHook = std::function<TMsgResult(const TMessageRequest&)>;
using TFileDialogHook = std::function<QString(const TFileDialogRequest&)>;

// Replace the real dialogs (tests); an empty function restores them.
void SetMessageHook(TMessageHook hook);
void SetFileDialogHook(TFileDialogHook hook);

// Unattended runs ("/REPORT"): nobody is there to answer a box. While the switch is on, no box
// and no file dialog is shown at all: each message becomes one line on standard error, counts as
// a failure (the process then ends with a non-zero status) and is answered as declined (No,
// Cancel, or OK for a box that has only OK); file dialogs return no file.
void SetUnattended(bool on);
bool Unattended();
// Messages written to standard error since the switch was turned on.
int UnattendedFailureCount();

TMsgResult ShowMessageBox(QWidget* parent, const TMessageRequest& request);
QString RunFileDialog(QWidget* parent, const TFileDialogRequest& request);

// The program's kinds of message: validation ("Error", error icon, OK), confirmation
// ("Please confirm", Yes and No, question icon; true only for Yes), and per-file or
// general failures (the application title, error icon, OK).
void ShowValidationError(QWidget* parent, const QString& text);
bool ConfirmAction(QWidget* parent, const QString& text);
void ShowFailure(QWidget* parent, const QString& text);

// A question with buttons of its own, e.g. Replace / Skip / Cancel. The answer is the index of
// the button pressed; closing the box without one gives EscapeButton.
struct TChoiceRequest {
  QString Caption;
  QString Text;
  TMsgIcon Icon = TMsgIcon::Question;
  QStringList Buttons;
  int DefaultButton = 0;
  int EscapeButton = 0;
};
using TChoiceHook = std::function<int(const TChoiceRequest&)>;
void SetChoiceHook(TChoiceHook hook);
int AskChoice(QWidget* parent, const TChoiceRequest& request);

#include "app/UiPrompts.h"

#include <QFileDialog>
#include <cstdio>
#include <QMessageBox>
#include <QPushButton>

#include "app/ByteString.h"
#include "core/UnitGlobals.h"

namespace {

TMessageHook& MessageHook() {
  static TMessageHook hook;
  return hook;
}

TFileDialogHook& FileDialogHook() {
  static TFileDialogHook hook;
  return hook;
}

QMessageBox::Icon ToQtIcon(TMsgIcon icon) {
  switch (icon) {
    case TMsgIcon::Information: return QMessageBox::Information;
    case TMsgIcon::Warning: return QMessageBox::Warning;
    case TMsgIcon::Error: return QMessageBox::Critical;
    case TMsgIcon::Question: return QMessageBox::Question;
    case TMsgIcon::None: break;
  }
  return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons ToQtButtons(TMsgButtons buttons) {
  switch (buttons) {
    case TMsgButtons::OkCancel: return QMessageBox::Ok | QMessageBox::Cancel;
    case TMsgButtons::YesNo: return QMessageBox::Yes | QMessageBox::No;
    case TMsgButtons::YesNoCancel: return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case TMsgButtons::Ok: break;
  }
  return QMessageBox::Ok;
}

// "Rich Text Format (*.RTF)" gives "rtf": the first pattern's suffix, in lower case.
QString FilterSuffix(const QString& filter) {
  const qsizetype star = filter.indexOf(QStringLiteral("*."));
  if (star < 0) return {};
  qsizetype end = star + 2;
  while (end < filter.size() && filter.at(end).isLetterOrNumber()) ++end;
  return filter.mid(star + 2, end - star - 2).toLower();
}

struct TUnattendedState {
  bool On = false;
  int Failures = 0;
};

TUnattendedState& UnattendedState() {
  static TUnattendedState state;
  return state;
}

// "Caption: text" on one line: the text's own line breaks become blanks, empty lines vanish.
QString OneLine(const TMessageRequest& request) {
  QString text = request.Text;
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
  const QStringList parts = text.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
  return request.Caption + QStringLiteral(": ") + parts.join(QLatin1Char(' '));
}

TMsgResult DeclinedAnswer(TMsgButtons buttons) {
  switch (buttons) {
    case TMsgButtons::YesNo: return TMsgResult::No;
    case TMsgButtons::OkCancel:
    case TMsgButtons::YesNoCancel: return TMsgResult::Cancel;
    case TMsgButtons::Ok: break;
  }
  return TMsgResult::Ok;
}

}  // namespace

void SetUnattended(bool on) {
  UnattendedState().On = on;
  UnattendedState().Failures = 0;
}

bool Unattended() { return UnattendedState().On; }

int UnattendedFailureCount() { return UnattendedState().Failures; }

void SetMessageHook(TMessageHook hook) { MessageHook() = std::move(hook); }
void SetFileDialogHook(TFileDialogHook hook) { FileDialogHook() = std::move(hook); }

TMsgResult ShowMessageBox(QWidget* parent, const TMessageRequest& request) {
  if (Unattended()) {
    const QByteArray line = OneLine(request).toLocal8Bit();
    std::fprintf(stderr, "%s\n", line.constData());
    std::fflush(stderr);
    ++UnattendedState().Failures;
    return DeclinedAnswer(request.Buttons);
  }
  if (MessageHook()) return MessageHook()(request);
  QMessageBox box(ToQtIcon(request.Icon), request.Caption, request.Text, ToQtButtons(request.Buttons),
                  parent);
  switch (box.exec()) {
    case QMessageBox::Yes: return TMsgResult::Yes;
    case QMessageBox::No: return TMsgResult::No;
    case QMessageBox::Cancel: return TMsgResult::Cancel;
    default: break;
  }
  return request.Buttons == TMsgButtons::YesNo ? TMsgResult::No : TMsgResult::Ok;
}

QString RunFileDialog(QWidget* parent, const TFileDialogRequest& request) {
  if (Unattended()) return QString();
  if (FileDialogHook()) return FileDialogHook()(request);
  using TKind = TFileDialogRequest::TKind;
  switch (request.Kind) {
    case TKind::Folder:
      return QFileDialog::getExistingDirectory(parent, request.Caption, request.Directory);
    case TKind::Save: {
      QFileDialog dialog(parent, request.Caption, request.Directory, request.Filter);
      dialog.setAcceptMode(QFileDialog::AcceptSave);
      dialog.setDefaultSuffix(request.DefaultSuffix);
      // A name typed without a suffix gets the one of the file type chosen, before the dialog
      // asks whether to replace an existing file.
      QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog](const QString& filter) {
        const QString suffix = FilterSuffix(filter);
        if (!suffix.isEmpty()) dialog.setDefaultSuffix(suffix);
      });
      const bool accepted = dialog.exec() == QDialog::Accepted;
      if (request.ChosenFilter != nullptr) *request.ChosenFilter = dialog.selectedNameFilter();
      return accepted ? dialog.selectedFiles().value(0) : QString();
    }
    case TKind::Open: break;
  }
  return QFileDialog::getOpenFileName(parent, request.Caption, request.Directory, request.Filter,
                                      request.ChosenFilter);
}

void ShowValidationError(QWidget* parent, const QString& text) {
  ShowMessageBox(parent, {QStringLiteral("Error"), text, TMsgIcon::Error, TMsgButtons::Ok});
}

bool ConfirmAction(QWidget* parent, const QString& text) {
  return ShowMessageBox(parent, {QStringLiteral("Please confirm"), text, TMsgIcon::Question,
                                 TMsgButtons::YesNo}) == TMsgResult::Yes;
}

void ShowFailure(QWidget* parent, const QString& text) {
  ShowMessageBox(parent, {ToQString(ApplicationTitle), text, TMsgIcon::Error, TMsgButtons::Ok});
}

namespace {

TChoiceHook& ChoiceHook() {
  static TChoiceHook hook;
  return hook;
}

}  // namespace

void SetChoiceHook(TChoiceHook hook) { ChoiceHook() = std::move(hook); }

int AskChoice(QWidget* parent, const TChoiceRequest& request) {
  if (ChoiceHook()) return ChoiceHook()(request);
  QMessageBox box(ToQtIcon(request.Icon), request.Caption, request.Text, QMessageBox::NoButton, parent);
  QList<QAbstractButton*> buttons;
  for (const QString& caption : request.Buttons) buttons.append(box.addButton(caption, QMessageBox::ActionRole));
  if (buttons.isEmpty()) return -1;
  box.setDefaultButton(qobject_cast<QPushButton*>(buttons.value(request.DefaultButton, buttons.first())));
  box.setEscapeButton(buttons.value(request.EscapeButton, buttons.last()));
  box.exec();
  const qsizetype pressed = buttons.indexOf(box.clickedButton());
  return pressed >= 0 ? static_cast<int>(pressed) : request.EscapeButton;
}

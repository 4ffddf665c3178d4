#include "app/UiPrompts.h"

#include <QFileDialog>
#include <cstdio>
#include <QMessageBox>

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
      return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
    }
    case TKind::Open: break;
  }
  return QFileDialog::getOpenFileName(parent, request.Caption, request.Directory, request.Filter);
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

#include "actions/FormDestroyLog.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <exception>

#include "actions/UnitDestroyLog.h"
#include "app/ByteString.h"
#include "app/UiPrompts.h"
#include "core/UnitTextFiles.h"
#include "help/HtmlHelp.h"

TfrmDestroyLog::TfrmDestroyLog(QWidget* owner) : QDialog(owner) {
  setObjectName(QStringLiteral("frmDestroyLog"));
  setWindowTitle(QStringLiteral("Delete/Destroy Raport"));
  setProperty("HelpContext", HelpContext);
  setSizeGripEnabled(false);

  memoLog = new QPlainTextEdit(this);
  memoLog->setObjectName(QStringLiteral("memoLog"));
  memoLog->setReadOnly(true);
  memoLog->setLineWrapMode(QPlainTextEdit::NoWrap);
  memoLog->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  memoLog->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

  cmdOK = new QPushButton(QStringLiteral("Close"), this);
  cmdOK->setObjectName(QStringLiteral("cmdOK"));
  cmdOK->setDefault(true);
  cmdSave = new QPushButton(QStringLiteral("Save..."), this);
  cmdSave->setObjectName(QStringLiteral("cmdSave"));
  cmdHelp = new QPushButton(QStringLiteral("Help"), this);
  cmdHelp->setObjectName(QStringLiteral("cmdHelp"));
  connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);
  connect(cmdSave, &QPushButton::clicked, this, &TfrmDestroyLog::cmdSaveClick);
  connect(cmdHelp, &QPushButton::clicked, this, &TfrmDestroyLog::cmdHelpClick);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  for (QPushButton* b : {cmdOK, cmdSave, cmdHelp}) buttons->addWidget(b);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(memoLog);
  layout->addLayout(buttons);
  resize(560, 360);
  layout->setSizeConstraint(QLayout::SetFixedSize);
  memoLog->setFixedSize(540, 300);

  // Esc closes from anywhere in the window, whichever control has the focus.
  memoLog->installEventFilter(this);
  for (QPushButton* b : {cmdOK, cmdSave, cmdHelp}) b->installEventFilter(this);
}

void TfrmDestroyLog::SetLog(const TStringList& log) {
  lines_ = DestroyLogLines(log);
  QStringList shown;
  for (const std::string& line : lines_) shown.append(PathToQString(line));
  memoLog->setPlainText(shown.join(QLatin1Char('\n')));
}

QStringList TfrmDestroyLog::Lines() const { return memoLog->toPlainText().split(QLatin1Char('\n')); }

bool TfrmDestroyLog::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
    cmdOK->click();
    return true;
  }
  return QDialog::eventFilter(watched, event);
}

void TfrmDestroyLog::cmdSaveClick() {
  // The save dialog asks before replacing a file and only accepts an existing folder.
  TFileDialogRequest TheSaveDialog;
  TheSaveDialog.Kind = TFileDialogRequest::TKind::Save;
  TheSaveDialog.Caption = QStringLiteral("Save As");
  TheSaveDialog.Filter = QStringLiteral("Text Files (*.TXT)");
  TheSaveDialog.DefaultSuffix = QStringLiteral("TXT");
  const QString chosen = RunFileDialog(this, TheSaveDialog);
  if (chosen.isEmpty()) return;
  try {
    WriteTextLines(QStringToPath(chosen), lines_);
  } catch (const std::exception& error) {
    // The file as it was stays; the log window stays open for another try.
    ShowFailure(this, ToQString(error.what()));
  }
}

void TfrmDestroyLog::cmdHelpClick() { ShowHelpContext(this, HelpContext); }

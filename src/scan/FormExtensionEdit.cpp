#include "scan/FormExtensionEdit.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QRegularExpressionValidator>
#include <QShortcut>
#include <QVBoxLayout>

#include "app/ByteString.h"
#include "app/UiPrompts.h"
#include "help/HtmlHelp.h"
#include "scan/UnitFileTypes.h"

namespace {
constexpr int HelpContext = 2080;
}

TfrmExtensionEdit::TfrmExtensionEdit(QWidget* owner) : QDialog(owner) {
  setWindowTitle(QStringLiteral("Edit"));
  setProperty("HelpContext", HelpContext);
  setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                 Qt::WindowCloseButtonHint);
  setFixedSize(296, 267);

  auto* nameLabel = new QLabel(QStringLiteral("File Type Name:"), this);
  nameLabel->setObjectName(QStringLiteral("ediExtensionsNameLabel"));
  ediExtensionsName = new QLineEdit(this);
  ediExtensionsName->setObjectName(QStringLiteral("ediExtensionsName"));
  ediExtensionsName->setValidator(new QRegularExpressionValidator(
      QRegularExpression(QStringLiteral("[^=\\r\\n]*")), ediExtensionsName));
  nameLabel->setBuddy(ediExtensionsName);

  Label1 = new QLabel(
      QStringLiteral("File Extension(s) (one extension on each line, starting with the \".\" character):"), this);
  Label1->setObjectName(QStringLiteral("Label1"));
  Label1->setWordWrap(true);
  memoExtensionsExtensions = new QPlainTextEdit(this);
  memoExtensionsExtensions->setObjectName(QStringLiteral("memoExtensionsExtensions"));
  memoExtensionsExtensions->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  memoExtensionsExtensions->setLineWrapMode(QPlainTextEdit::NoWrap);
  memoExtensionsExtensions->setTabChangesFocus(true);
  Label1->setBuddy(memoExtensionsExtensions);

  cmdOK = new QPushButton(QStringLiteral("OK"), this);
  cmdOK->setObjectName(QStringLiteral("cmdOK"));
  cmdOK->setDefault(true);
  cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
  cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
  cmdCancel->setAutoDefault(false);
  cmdHelp = new QPushButton(QStringLiteral("Help"), this);
  cmdHelp->setObjectName(QStringLiteral("cmdHelp"));
  cmdHelp->setAutoDefault(false);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(cmdOK);
  buttons->addWidget(cmdCancel);
  buttons->addWidget(cmdHelp);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(nameLabel);
  layout->addWidget(ediExtensionsName);
  layout->addWidget(Label1);
  layout->addWidget(memoExtensionsExtensions, 1);
  layout->addLayout(buttons);

  connect(cmdOK, &QPushButton::clicked, this, &TfrmExtensionEdit::cmdOKClick);
  connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
  connect(cmdHelp, &QPushButton::clicked, this, &TfrmExtensionEdit::cmdHelpClick);
  auto* f1 = new QShortcut(QKeySequence(Qt::Key_F1), this);
  connect(f1, &QShortcut::activated, this, &TfrmExtensionEdit::cmdHelpClick);
}

void TfrmExtensionEdit::SetGroupName(const std::string& name) {
  originalName_ = name;
  shownName_ = ToQString(name);
  ediExtensionsName->setText(shownName_);
}

void TfrmExtensionEdit::SetExtensionsText(const std::string& extensions) {
  QStringList lines;
  for (const auto& extension : SplitExtensionsText(extensions)) lines.append(ToQString(extension));
  originalExtensions_ = JoinExtensionLines(SplitExtensionsText(extensions));
  shownExtensions_ = lines.join(QLatin1Char('\n'));
  memoExtensionsExtensions->setPlainText(shownExtensions_);
}

std::string TfrmExtensionEdit::GroupName() const {
  const QString text = ediExtensionsName->text();
  return !text.isEmpty() && text == shownName_ ? originalName_ : ToStdString(text);
}

std::string TfrmExtensionEdit::ExtensionsText() const {
  const QString text = memoExtensionsExtensions->toPlainText();
  if (!text.isEmpty() && text == shownExtensions_) return originalExtensions_;
  return JoinExtensionLines(ToStdStrings(text.split(QLatin1Char('\n'))));
}

void TfrmExtensionEdit::cmdOKClick() {
  if (ediExtensionsName->text().isEmpty()) {
    ShowValidationError(this, QStringLiteral("Please enter a value in the File Type Name field"));
    ediExtensionsName->setFocus();
    return;
  }
  if (memoExtensionsExtensions->toPlainText().isEmpty()) {
    ShowValidationError(this, QStringLiteral("Please enter a value in the File Extension(s) field"));
    memoExtensionsExtensions->setFocus();
    return;
  }
  accept();
}

void TfrmExtensionEdit::cmdHelpClick() { ShowHelpContext(this, HelpContext); }

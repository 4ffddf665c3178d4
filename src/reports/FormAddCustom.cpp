#include "reports/FormAddCustom.h"

#include <QComboBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>

#include "app/ByteString.h"
#include "app/UiPrompts.h"
#include "core/UnitFileSystem.h"
#include "core/UnitTextFiles.h"
#include "help/HtmlHelp.h"
#include "reports/UnitCustomHistory.h"
#include "shell/ShellIcons.h"

namespace {

constexpr int HelpContext = 2010;

QPushButton* MakeButton(QWidget* parent, const char* name, const QString& caption) {
  auto* button = new QPushButton(caption, parent);
  button->setObjectName(QLatin1String(name));
  button->setAutoDefault(false);
  return button;
}

}  // namespace

TfrmAddCustom::TfrmAddCustom(QWidget* owner) : QDialog(owner) {
  setWindowTitle(QStringLiteral("Add Custom"));
  setProperty("HelpContext", HelpContext);
  setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                 Qt::WindowCloseButtonHint);

  Label1 = new QLabel(QStringLiteral("Please enter a location (drive, folder, network path, etc.):"), this);
  Label1->setObjectName(QStringLiteral("Label1"));
  cbCustomTargets = new QComboBox(this);
  cbCustomTargets->setObjectName(QStringLiteral("cbCustomTargets"));
  cbCustomTargets->setEditable(true);
  cbCustomTargets->setInsertPolicy(QComboBox::NoInsert);
  cbCustomTargets->setMaxVisibleItems(8);
  cbCustomTargets->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  cbCustomTargets->setMinimumContentsLength(40);
  cbCustomTargets->setCompleter(nullptr);  // a completer would change the text behind the user's back
  Label1->setBuddy(cbCustomTargets);

  cmdBrowse = MakeButton(this, "cmdBrowse", QStringLiteral("..."));
  cmdBrowse->setToolTip(QStringLiteral("Browse"));
  cmdBrowse->setFixedWidth(cmdBrowse->sizeHint().height() + 6);
  cmdOK = MakeButton(this, "cmdOK", QStringLiteral("OK"));
  cmdOK->setDefault(true);
  cmdCancel = MakeButton(this, "cmdCancel", QStringLiteral("Cancel"));
  cmdClearHistory = MakeButton(this, "cmdClearHistory", QStringLiteral("Clear History"));
  cmdHelp = MakeButton(this, "cmdHelp", QStringLiteral("Help"));

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(cmdClearHistory);
  buttons->addStretch();
  for (auto* button : {cmdOK, cmdCancel, cmdHelp}) buttons->addWidget(button);
  auto* grid = new QGridLayout(this);
  grid->addWidget(Label1, 0, 0, 1, 2);
  grid->addWidget(cbCustomTargets, 1, 0);
  grid->addWidget(cmdBrowse, 1, 1);
  grid->setRowMinimumHeight(2, 8);
  grid->addLayout(buttons, 3, 0, 1, 2);
  grid->setSizeConstraint(QLayout::SetFixedSize);

  connect(cbCustomTargets, &QComboBox::editTextChanged, this, &TfrmAddCustom::UpdateOK);
  connect(cmdBrowse, &QPushButton::clicked, this, &TfrmAddCustom::cmdBrowseClick);
  connect(cmdOK, &QPushButton::clicked, this, &TfrmAddCustom::cmdOKClick);
  connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
  connect(cmdClearHistory, &QPushButton::clicked, this, &TfrmAddCustom::cmdClearHistoryClick);
  connect(cmdHelp, &QPushButton::clicked, this, &TfrmAddCustom::cmdHelpClick);
  // A window-wide shortcut sees F1 before the focused control does.
  auto* f1 = new QShortcut(QKeySequence(Qt::Key_F1), this);
  f1->setContext(Qt::WindowShortcut);
  connect(f1, &QShortcut::activated, this, &TfrmAddCustom::cmdHelpClick);

  LoadHistory();
  cbCustomTargets->setCurrentIndex(-1);
  cbCustomTargets->setEditText(QString());
  UpdateOK();
}

void TfrmAddCustom::LoadHistory() {
  const std::string file = CustomHistoryFile();
  std::vector<std::string> entries;
  unreadableHistory_.Load(file, [&] {
    if (FileExistsByFind(file)) entries = DistinctHistoryEntries(ReadTextLines(file));
  });
  for (const auto& entry : entries) AddHistoryItem(entry);
}

void TfrmAddCustom::AddHistoryItem(const std::string& location) {
  const QString text = PathToQString(location);
  cbCustomTargets->addItem(LocationIcon(text), text,
                           QByteArray(location.data(), static_cast<qsizetype>(location.size())));
}

std::string TfrmAddCustom::CurrentPath() const {
  const QString text = cbCustomTargets->currentText();
  const int index = cbCustomTargets->currentIndex();
  if (index >= 0 && cbCustomTargets->itemText(index) == text) {
    const QByteArray bytes = cbCustomTargets->itemData(index).toByteArray();
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
  }
  return QStringToPath(text);
}

bool TfrmAddCustom::SaveHistory() {
  std::vector<std::string> entries;
  for (int i = 0; i < cbCustomTargets->count(); ++i) {
    const QByteArray bytes = cbCustomTargets->itemData(i).toByteArray();
    entries.emplace_back(bytes.constData(), static_cast<std::size_t>(bytes.size()));
  }
  try {
    SaveCustomHistory(CustomHistoryFile(), entries);
    return true;
  } catch (const EFileError& error) {
    ShowFailure(this, ToQString(error.what()));
    return false;
  }
}

void TfrmAddCustom::UpdateOK() { cmdOK->setEnabled(!cbCustomTargets->currentText().isEmpty()); }

void TfrmAddCustom::cmdBrowseClick() {
  TFileDialogRequest request;
  request.Kind = TFileDialogRequest::TKind::Folder;
  request.Caption = QStringLiteral("Select a location:");
  request.Directory = cbCustomTargets->currentText();
  const QString folder = RunFileDialog(this, request);
  if (folder.isEmpty()) return;
  cbCustomTargets->setEditText(folder);
  UpdateOK();
}

void TfrmAddCustom::cmdOKClick() {
  const QString text = cbCustomTargets->currentText();
  if (text.isEmpty()) return;
  // A relative location would mean another folder when the program starts elsewhere; "~" is
  // the home folder, as in a shell.
  const std::string path = AbsoluteTypedLocation(CurrentPath());
  // A history that exists but could not be read is not replaced by this one entry.
  if (!unreadableHistory_.Contains(CustomHistoryFile())) {
    AddHistoryItem(path);
    if (!SaveHistory()) {
      // Stay open as if OK had not been pressed, so a second try does not store the entry twice.
      cbCustomTargets->removeItem(cbCustomTargets->count() - 1);
      cbCustomTargets->setEditText(text);
      return;
    }
  }
  result_ = PathToQString(path);
  resultPath_ = path;
  accept();
}

void TfrmAddCustom::cmdClearHistoryClick() {
  if (!ConfirmAction(this, QStringLiteral("Are you sure you want to clear the list of locations that were "
                                          "previously added using this dialog box?"))) {
    return;
  }
  const QString text = cbCustomTargets->currentText();
  cbCustomTargets->clear();
  cbCustomTargets->setEditText(text);
  SaveHistory();
  UpdateOK();
}

void TfrmAddCustom::cmdHelpClick() { ShowHelpContext(this, HelpContext); }

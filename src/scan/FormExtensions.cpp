#include "scan/FormExtensions.h"

#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <memory>

#include "app/ByteString.h"
#include "app/UiPrompts.h"
#include "core/UnitTextFiles.h"
#include "help/HtmlHelp.h"
#include "scan/FormExtensionEdit.h"

namespace {

constexpr int HelpContext = 2080;
// The exact bytes of a row's name and extensions text ride along with the shown texts.
constexpr int NameRole = Qt::UserRole;
constexpr int ExtensionsRole = Qt::UserRole + 1;

QByteArray ToBytes(const std::string& text) {
  return QByteArray(text.data(), static_cast<qsizetype>(text.size()));
}

std::string FromBytes(const QVariant& value) {
  const QByteArray bytes = value.toByteArray();
  return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

QPushButton* MakeButton(QWidget* parent, const char* name, const QString& caption) {
  auto* button = new QPushButton(caption, parent);
  button->setObjectName(QLatin1String(name));
  button->setAutoDefault(false);
  return button;
}

}  // namespace

TfrmExtensions::TfrmExtensions(QWidget* owner) : QDialog(owner) {
  setWindowTitle(QStringLiteral("File Types"));
  setProperty("HelpContext", HelpContext);
  setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                 Qt::WindowCloseButtonHint);
  setFixedSize(489, 363);

  Label1 = new QLabel(QStringLiteral("Please select the type of files you are interested in:"), this);
  Label1->setObjectName(QStringLiteral("Label1"));

  lvExtensions = new QTreeWidget(this);
  lvExtensions->setObjectName(QStringLiteral("lvExtensions"));
  lvExtensions->setColumnCount(2);
  lvExtensions->setHeaderLabels({QStringLiteral("File Type"), QStringLiteral("Extensions")});
  lvExtensions->setColumnWidth(0, 230);
  lvExtensions->setColumnWidth(1, 200);
  lvExtensions->header()->setSectionsClickable(false);
  lvExtensions->header()->setSectionsMovable(false);
  lvExtensions->setRootIsDecorated(false);
  lvExtensions->setItemsExpandable(false);
  lvExtensions->setUniformRowHeights(true);
  lvExtensions->setSelectionMode(QAbstractItemView::SingleSelection);
  lvExtensions->setSelectionBehavior(QAbstractItemView::SelectRows);
  lvExtensions->setEditTriggers(QAbstractItemView::NoEditTriggers);
  lvExtensions->setExpandsOnDoubleClick(false);
  Label1->setBuddy(lvExtensions);

  cmdExtensionAdd = MakeButton(this, "cmdExtensionAdd", QStringLiteral("Add..."));
  cmdExtensionChange = MakeButton(this, "cmdExtensionChange", QStringLiteral("Change..."));
  cmdExtensionRemove = MakeButton(this, "cmdExtensionRemove", QStringLiteral("Remove"));
  cmdSelectAll = MakeButton(this, "cmdSelectAll", QStringLiteral("Select All"));
  cmdDeselectAll = MakeButton(this, "cmdDeselectAll", QStringLiteral("Deselect All"));
  cmdOK = MakeButton(this, "cmdOK", QStringLiteral("OK"));
  cmdOK->setDefault(true);
  cmdCancel = MakeButton(this, "cmdCancel", QStringLiteral("Cancel"));
  cmdHelp = MakeButton(this, "cmdHelp", QStringLiteral("Help"));

  auto* side = new QVBoxLayout;
  for (auto* button : {cmdExtensionAdd, cmdExtensionChange, cmdExtensionRemove}) side->addWidget(button);
  side->addSpacing(12);
  side->addWidget(cmdSelectAll);
  side->addWidget(cmdDeselectAll);
  side->addStretch();
  auto* bottom = new QHBoxLayout;
  bottom->addStretch();
  for (auto* button : {cmdOK, cmdCancel, cmdHelp}) bottom->addWidget(button);
  auto* grid = new QGridLayout(this);
  grid->addWidget(Label1, 0, 0, 1, 2);
  grid->addWidget(lvExtensions, 1, 0);
  grid->addLayout(side, 1, 1);
  grid->addLayout(bottom, 2, 0, 1, 2);
  grid->setRowStretch(1, 1);
  grid->setColumnStretch(0, 1);

  connect(lvExtensions, &QTreeWidget::itemSelectionChanged, this, &TfrmExtensions::UpdateButtons);
  connect(lvExtensions, &QTreeWidget::itemChanged, this, &TfrmExtensions::UpdateButtons);
  connect(lvExtensions, &QTreeWidget::itemDoubleClicked, this, [this] { cmdExtensionAddClick(1); });
  connect(cmdExtensionAdd, &QPushButton::clicked, this, [this] { cmdExtensionAddClick(0); });
  connect(cmdExtensionChange, &QPushButton::clicked, this, [this] { cmdExtensionAddClick(1); });
  connect(cmdExtensionRemove, &QPushButton::clicked, this, &TfrmExtensions::cmdExtensionRemoveClick);
  connect(cmdSelectAll, &QPushButton::clicked, this, [this] { SetAllChecked(true); });
  connect(cmdDeselectAll, &QPushButton::clicked, this, [this] { SetAllChecked(false); });
  connect(cmdOK, &QPushButton::clicked, this, &TfrmExtensions::cmdOKClick);
  connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
  connect(cmdHelp, &QPushButton::clicked, this, &TfrmExtensions::cmdHelpClick);
  auto* f1 = new QShortcut(QKeySequence(Qt::Key_F1), this);
  connect(f1, &QShortcut::activated, this, &TfrmExtensions::cmdHelpClick);

  FillFromFile();
  UpdateButtons();
}

void TfrmExtensions::FillFromFile() {
  try {
    for (const auto& group : LoadFileTypes(FileTypesSourceFile())) AddRow(group);
  } catch (const EFileError& error) {
    ShowFailure(parentWidget(), ToQString(error.what()));
  }
}

void TfrmExtensions::SetRowTexts(QTreeWidgetItem* item, const std::string& name, const std::string& extensions) {
  item->setText(0, ToQString(name));
  item->setText(1, ToQString(extensions));
  item->setData(0, NameRole, ToBytes(name));
  item->setData(0, ExtensionsRole, ToBytes(extensions));
}

void TfrmExtensions::AddRow(const TFileTypeGroup& group) {
  auto* item = new QTreeWidgetItem;
  item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable | Qt::ItemNeverHasChildren);
  SetRowTexts(item, group.Name, group.Extensions);
  item->setCheckState(0, group.Selected ? Qt::Checked : Qt::Unchecked);
  lvExtensions->addTopLevelItem(item);
}

TFileTypeGroups TfrmExtensions::Groups() const {
  TFileTypeGroups groups;
  for (int i = 0; i < lvExtensions->topLevelItemCount(); ++i) {
    const auto* item = lvExtensions->topLevelItem(i);
    groups.push_back({FromBytes(item->data(0, NameRole)), FromBytes(item->data(0, ExtensionsRole)),
                      item->checkState(0) == Qt::Checked});
  }
  return groups;
}

void TfrmExtensions::UpdateButtons() {
  const bool selected = !lvExtensions->selectedItems().isEmpty();
  cmdExtensionChange->setEnabled(selected);
  cmdExtensionRemove->setEnabled(selected);
}

void TfrmExtensions::cmdExtensionAddClick(int tag) {
  const bool change = tag == 1;
  QTreeWidgetItem* selected = lvExtensions->selectedItems().value(0);
  if (change && selected == nullptr) return;
  auto edit = std::make_unique<TfrmExtensionEdit>(this);
  if (change) {
    edit->SetGroupName(FromBytes(selected->data(0, NameRole)));
    edit->SetExtensionsText(FromBytes(selected->data(0, ExtensionsRole)));
  }
  if (edit->exec() != QDialog::Accepted) return;
  if (change) {
    SetRowTexts(selected, edit->GroupName(), edit->ExtensionsText());
  } else {
    AddRow({edit->GroupName(), edit->ExtensionsText(), false});
  }
}

void TfrmExtensions::cmdExtensionRemoveClick() {
  const auto selected = lvExtensions->selectedItems();
  if (selected.isEmpty()) return;
  delete selected.front();
  UpdateButtons();
}

void TfrmExtensions::SetAllChecked(bool checked) {
  for (int i = 0; i < lvExtensions->topLevelItemCount(); ++i) {
    lvExtensions->topLevelItem(i)->setCheckState(0, checked ? Qt::Checked : Qt::Unchecked);
  }
}

void TfrmExtensions::cmdOKClick() {
  const TFileTypeGroups groups = Groups();
  const bool anyChecked = std::any_of(groups.begin(), groups.end(), [](const auto& g) { return g.Selected; });
  if (!anyChecked) {
    ShowValidationError(this, QStringLiteral("Please select at least one file type."));
    return;
  }
  try {
    SaveFileTypes(FileTypesFile(), groups);
  } catch (const EFileError& error) {
    // Nothing was replaced; the user can retry or cancel.
    ShowFailure(this, ToQString(error.what()));
    return;
  }
  accept();
}

void TfrmExtensions::cmdHelpClick() { ShowHelpContext(this, HelpContext); }

#include "info/FormMP3InfosConfig.h"

#include <QApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeySequence>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <exception>

#include "app/ByteString.h"
#include "app/UiPrompts.h"
#include "core/UnitDataFolder.h"
#include "help/HtmlHelp.h"
#include "info/UnitColumnConfig.h"
#include "info/UnitInfoValues.h"

namespace {

constexpr int HelpContext = 2090;
// The item keeps the line's own bytes, so a caption that is not valid UTF-8 comes back as it was.
constexpr int BytesRole = Qt::UserRole;

QByteArray ToBytes(std::string_view text) {
  return QByteArray(text.data(), static_cast<qsizetype>(text.size()));
}

std::string FromBytes(const QVariant& value) {
  const QByteArray bytes = value.toByteArray();
  return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

// Long list changes show the busy cursor and repaint once at the end.
class TBusyUpdate {
 public:
  TBusyUpdate(QWidget* first, QWidget* second) : First_(first), Second_(second) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    First_->setUpdatesEnabled(false);
    Second_->setUpdatesEnabled(false);
  }
  ~TBusyUpdate() {
    First_->setUpdatesEnabled(true);
    Second_->setUpdatesEnabled(true);
    QApplication::restoreOverrideCursor();
  }
  TBusyUpdate(const TBusyUpdate&) = delete;
  TBusyUpdate& operator=(const TBusyUpdate&) = delete;

 private:
  QWidget* First_;
  QWidget* Second_;
};

QTreeWidgetItem* NewItem(const std::string& code, const std::string& caption) {
  auto* item = new QTreeWidgetItem;
  item->setText(0, ToQString(caption));
  item->setText(1, ToQString(code));
  item->setData(0, BytesRole, ToBytes(caption));
  item->setData(1, BytesRole, ToBytes(code));
  return item;
}

QTreeWidgetItem* CopyItem(const QTreeWidgetItem* item) {
  return NewItem(FromBytes(item->data(1, BytesRole)), FromBytes(item->data(0, BytesRole)));
}

void FillList(QTreeWidget* list, const TStringList& lines) {
  list->clear();
  QList<QTreeWidgetItem*> items;
  items.reserve(static_cast<qsizetype>(lines.size()));
  for (const auto& line : lines) {
    items.append(NewItem(std::string(InfoCodeOf(line)), std::string(InfoCaptionOf(line))));
  }
  list->addTopLevelItems(items);
}

TStringList ListLines(const QTreeWidget* list) {
  TStringList lines;
  const int count = list->topLevelItemCount();
  lines.reserve(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) {
    const QTreeWidgetItem* item = list->topLevelItem(i);
    lines.push_back(FromBytes(item->data(1, BytesRole)) + "=" + FromBytes(item->data(0, BytesRole)));
  }
  return lines;
}

// Index of the first selected item in list order, -1 when none is selected.
int FirstSelectedIndex(const QTreeWidget* list) {
  const int count = list->topLevelItemCount();
  for (int i = 0; i < count; ++i) {
    if (list->topLevelItem(i)->isSelected()) return i;
  }
  return -1;
}

TFileDialogRequest ConfigurationDialog(TFileDialogRequest::TKind kind, const QString& caption) {
  TFileDialogRequest request;
  request.Kind = kind;
  request.Caption = caption;
  request.Directory = PathToQString(DataFolder());
  request.Filter = QStringLiteral("Configuration Files (*.ITC)");
  request.DefaultSuffix = QStringLiteral("itc");
  return request;
}

}  // namespace

TfrmMP3InfosConfig::TfrmMP3InfosConfig(QWidget* owner)
    : QDialog(owner),
      Label1(new QLabel(QStringLiteral("Available types of information:"), this)),
      Label2(new QLabel(QStringLiteral("Types of information displayed:"), this)),
      lvInfosNOTUSed(CreateInfoList(QStringLiteral("lvInfosNOTUSed"))),
      lvInfosUsed(CreateInfoList(QStringLiteral("lvInfosUsed"))),
      cmdAdd(CreateButton(QStringLiteral("cmdAdd"), QStringLiteral("Add >"))),
      cmdRemove(CreateButton(QStringLiteral("cmdRemove"), QStringLiteral("< Remove"))),
      cmdAddAll(CreateButton(QStringLiteral("cmdAddAll"), QStringLiteral("Add All >>"))),
      cmdRemoveAll(CreateButton(QStringLiteral("cmdRemoveAll"), QStringLiteral("<< Remove All"))),
      cmdMoveUp(CreateButton(QStringLiteral("cmdMoveUp"), QStringLiteral("Move Up"))),
      cmdMoveDown(CreateButton(QStringLiteral("cmdMoveDown"), QStringLiteral("Move Down"))),
      cmdLoadConfiguration(CreateButton(QStringLiteral("cmdLoadConfiguration"),
                                        QStringLiteral("Load configuration..."))),
      cmdSaveConfiguration(CreateButton(QStringLiteral("cmdSaveConfiguration"),
                                        QStringLiteral("Save configuration..."))),
      cmdOK(CreateButton(QStringLiteral("cmdOK"), QStringLiteral("OK"))),
      cmdCancel(CreateButton(QStringLiteral("cmdCancel"), QStringLiteral("Cancel"))),
      cmdHelp(CreateButton(QStringLiteral("cmdHelp"), QStringLiteral("Help"))) {
  setObjectName(QStringLiteral("frmMP3InfosConfig"));
  setWindowTitle(QStringLiteral("MP3 Info Columns"));
  Label1->setObjectName(QStringLiteral("Label1"));
  Label2->setObjectName(QStringLiteral("Label2"));
  Label1->setBuddy(lvInfosNOTUSed);
  Label2->setBuddy(lvInfosUsed);

  auto* middle = new QVBoxLayout;
  middle->addStretch();
  for (QPushButton* button : {cmdAdd, cmdRemove, cmdAddAll, cmdRemoveAll}) middle->addWidget(button);
  middle->addStretch();

  auto* order = new QHBoxLayout;
  order->addWidget(cmdMoveUp);
  order->addWidget(cmdMoveDown);
  order->addStretch();

  auto* lists = new QGridLayout;
  lists->addWidget(Label1, 0, 0);
  lists->addWidget(Label2, 0, 2);
  lists->addWidget(lvInfosNOTUSed, 1, 0);
  lists->addLayout(middle, 1, 1);
  lists->addWidget(lvInfosUsed, 1, 2);
  lists->addLayout(order, 2, 2);

  auto* bottom = new QHBoxLayout;
  bottom->addWidget(cmdLoadConfiguration);
  bottom->addWidget(cmdSaveConfiguration);
  bottom->addStretch();
  bottom->addWidget(cmdOK);
  bottom->addWidget(cmdCancel);
  bottom->addWidget(cmdHelp);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(lists);
  layout->addSpacing(8);
  layout->addLayout(bottom);
  // A fixed dialog border: the window keeps the size of its contents.
  layout->setSizeConstraint(QLayout::SetFixedSize);

  cmdOK->setDefault(true);
  cmdOK->setAutoDefault(true);
  connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);
  connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
  connect(cmdAdd, &QPushButton::clicked, this, &TfrmMP3InfosConfig::cmdAddClick);
  connect(cmdRemove, &QPushButton::clicked, this, &TfrmMP3InfosConfig::cmdRemoveClick);
  connect(cmdAddAll, &QPushButton::clicked, this, &TfrmMP3InfosConfig::cmdAddAllClick);
  connect(cmdRemoveAll, &QPushButton::clicked, this, &TfrmMP3InfosConfig::cmdRemoveAllClick);
  connect(cmdMoveUp, &QPushButton::clicked, this, &TfrmMP3InfosConfig::cmdMoveUpClick);
  connect(cmdMoveDown, &QPushButton::clicked, this, &TfrmMP3InfosConfig::cmdMoveDownClick);
  connect(cmdLoadConfiguration, &QPushButton::clicked, this,
          &TfrmMP3InfosConfig::cmdLoadConfigurationClick);
  connect(cmdSaveConfiguration, &QPushButton::clicked, this,
          &TfrmMP3InfosConfig::cmdSaveConfigurationClick);
  connect(cmdHelp, &QPushButton::clicked, this, &TfrmMP3InfosConfig::cmdHelpClick);
  auto* helpKey = new QShortcut(QKeySequence::HelpContents, this);
  connect(helpKey, &QShortcut::activated, this, &TfrmMP3InfosConfig::cmdHelpClick);
  UpdateButtons();
}

QTreeWidget* TfrmMP3InfosConfig::CreateInfoList(const QString& name) {
  auto* list = new QTreeWidget(this);
  list->setObjectName(name);
  list->setColumnCount(2);
  list->setHeaderHidden(true);
  list->setRootIsDecorated(false);
  list->setUniformRowHeights(true);
  list->setSelectionMode(QAbstractItemView::ExtendedSelection);
  list->setSelectionBehavior(QAbstractItemView::SelectRows);
  list->setEditTriggers(QAbstractItemView::NoEditTriggers);
  list->setColumnWidth(0, 200);
  // The code travels with the item but is not shown.
  list->setColumnHidden(1, true);
  list->setMinimumSize(220, 260);
  connect(list, &QTreeWidget::itemSelectionChanged, this, &TfrmMP3InfosConfig::UpdateButtons);
  return list;
}

QPushButton* TfrmMP3InfosConfig::CreateButton(const QString& name, const QString& caption) {
  auto* button = new QPushButton(caption, this);
  button->setObjectName(name);
  button->setAutoDefault(false);
  return button;
}

void TfrmMP3InfosConfig::Fill(const TStringList& used, const TStringList& unused) {
  {
    const TBusyUpdate busy(lvInfosNOTUSed, lvInfosUsed);
    FillList(lvInfosUsed, used);
    FillList(lvInfosNOTUSed, unused);
  }
  UpdateButtons();
}

void TfrmMP3InfosConfig::ReadBack(TStringList& used, TStringList& unused) const {
  used = ListLines(lvInfosUsed);
  unused = ListLines(lvInfosNOTUSed);
}

void TfrmMP3InfosConfig::MoveSelected(QTreeWidget* from, QTreeWidget* to) {
  {
    const TBusyUpdate busy(lvInfosNOTUSed, lvInfosUsed);
    QList<QTreeWidgetItem*> moved;
    for (int i = 0; i < from->topLevelItemCount(); ++i) {
      QTreeWidgetItem* item = from->topLevelItem(i);
      if (item->isSelected()) moved.append(item);
    }
    for (const QTreeWidgetItem* item : moved) to->addTopLevelItem(CopyItem(item));
    for (QTreeWidgetItem* item : moved) delete from->takeTopLevelItem(from->indexOfTopLevelItem(item));
  }
  UpdateButtons();
}

void TfrmMP3InfosConfig::cmdAddClick() { MoveSelected(lvInfosNOTUSed, lvInfosUsed); }

void TfrmMP3InfosConfig::cmdRemoveClick() { MoveSelected(lvInfosUsed, lvInfosNOTUSed); }

void TfrmMP3InfosConfig::cmdAddAllClick() {
  lvInfosNOTUSed->selectAll();
  cmdAddClick();
}

void TfrmMP3InfosConfig::cmdRemoveAllClick() {
  lvInfosUsed->selectAll();
  cmdRemoveClick();
}

void TfrmMP3InfosConfig::SwapWithNeighbour(int offset) {
  const int index = FirstSelectedIndex(lvInfosUsed);
  const int target = index + offset;
  if (index < 0 || target < 0 || target >= lvInfosUsed->topLevelItemCount()) return;
  QTreeWidgetItem* item = lvInfosUsed->topLevelItem(index);
  QTreeWidgetItem* neighbour = lvInfosUsed->topLevelItem(target);
  for (int column = 0; column < 2; ++column) {
    const QString text = item->text(column);
    const QVariant bytes = item->data(column, BytesRole);
    item->setText(column, neighbour->text(column));
    item->setData(column, BytesRole, neighbour->data(column, BytesRole));
    neighbour->setText(column, text);
    neighbour->setData(column, BytesRole, bytes);
  }
  lvInfosUsed->clearSelection();
  lvInfosUsed->setCurrentItem(neighbour, 0, QItemSelectionModel::ClearAndSelect);
  lvInfosUsed->scrollToItem(neighbour);
  UpdateButtons();
}

void TfrmMP3InfosConfig::cmdMoveUpClick() { SwapWithNeighbour(-1); }

void TfrmMP3InfosConfig::cmdMoveDownClick() { SwapWithNeighbour(1); }

void TfrmMP3InfosConfig::cmdLoadConfigurationClick() {
  const QString file = RunFileDialog(
      this, ConfigurationDialog(TFileDialogRequest::TKind::Open, QStringLiteral("Open")));
  if (file.isEmpty()) return;
  // Read into scratch lists first: a file that cannot be read leaves the dialog as it was.
  TStringList used;
  TStringList unused;
  try {
    LoadColumnConfiguration(QStringToPath(file), used, unused);
  } catch (const std::exception& error) {
    ShowFailure(this, ToQString(error.what()));
    return;
  }
  Fill(used, unused);
}

void TfrmMP3InfosConfig::cmdSaveConfigurationClick() {
  const QString file = RunFileDialog(
      this, ConfigurationDialog(TFileDialogRequest::TKind::Save, QStringLiteral("Save As")));
  if (file.isEmpty()) return;
  TStringList used;
  TStringList unused;
  ReadBack(used, unused);
  try {
    SaveColumnConfiguration(QStringToPath(file), used, unused);
  } catch (const std::exception& error) {
    ShowFailure(this, ToQString(error.what()));
  }
}

void TfrmMP3InfosConfig::cmdHelpClick() { ShowHelpContext(this, HelpContext); }

void TfrmMP3InfosConfig::UpdateButtons() {
  const int usedCount = lvInfosUsed->topLevelItemCount();
  const int firstUsed = FirstSelectedIndex(lvInfosUsed);
  cmdAdd->setEnabled(FirstSelectedIndex(lvInfosNOTUSed) >= 0);
  cmdRemove->setEnabled(firstUsed >= 0);
  cmdAddAll->setEnabled(lvInfosNOTUSed->topLevelItemCount() > 0);
  cmdRemoveAll->setEnabled(usedCount > 0);
  cmdMoveUp->setEnabled(firstUsed > 0);
  cmdMoveDown->setEnabled(firstUsed >= 0 && firstUsed < usedCount - 1);
}

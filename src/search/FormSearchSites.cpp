#include "search/FormSearchSites.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QShortcut>
#include <QTableWidget>
#include <QVBoxLayout>

#include "app/ByteString.h"
#include "app/UiPrompts.h"
#include "core/UnitDataFolder.h"
#include "core/UnitTextFiles.h"

namespace {

QPushButton* Button(const char* name, const QString& caption) {
  auto* button = new QPushButton(caption);
  button->setObjectName(QLatin1String(name));
  button->setAutoDefault(false);
  return button;
}


}  // namespace

TSearchSitesBox::TSearchSitesBox(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("SearchSitesBox"));
  setWindowTitle(QStringLiteral("Customize Search Sites"));
  setWindowFlag(Qt::WindowMinMaxButtonsHint, false);
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);
  FormCreate();
  std::vector<TSearchSiteRow> rows;
  try {
    rows = ReadSearchSiteRows(ShippedDataFile(SearchSitesFileName));
  } catch (const EFileError& error) {
    ShowFailure(parent, ToQString(error.what()));
  }
  FillGrid(rows);
}

void TSearchSitesBox::FormCreate() {
  auto* layout = new QHBoxLayout(this);
  auto* left = new QVBoxLayout;
  Label1 = new QLabel(QStringLiteral("Search sites:"));
  Label1->setObjectName(QStringLiteral("Label1"));
  left->addWidget(Label1);
  ValueListEditor1 = new QTableWidget(0, 2);
  ValueListEditor1->setObjectName(QStringLiteral("ValueListEditor1"));
  ValueListEditor1->setHorizontalHeaderLabels({QStringLiteral("Site Name"), QStringLiteral("Search URL")});
  ValueListEditor1->verticalHeader()->hide();
  ValueListEditor1->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  ValueListEditor1->verticalHeader()->setDefaultSectionSize(ValueListEditor1->fontMetrics().height() + 6);
  ValueListEditor1->setWordWrap(false);
  ValueListEditor1->setSelectionBehavior(QAbstractItemView::SelectRows);
  ValueListEditor1->setSelectionMode(QAbstractItemView::SingleSelection);
  ValueListEditor1->setColumnWidth(0, 150);
  ValueListEditor1->setColumnWidth(1, 349);
  ValueListEditor1->horizontalHeader()->setStretchLastSection(true);
  ValueListEditor1->setFixedSize(150 + 349 + ValueListEditor1->verticalScrollBar()->sizeHint().width() +
                                     2 * ValueListEditor1->frameWidth(),
                                 260);
  left->addWidget(ValueListEditor1);
  layout->addLayout(left);

  auto* buttons = new QVBoxLayout;
  Button1 = Button("Button1", QStringLiteral("Add"));
  Button2 = Button("Button2", QStringLiteral("Delete"));
  Button3 = Button("Button3", QStringLiteral("Move Up"));
  Button4 = Button("Button4", QStringLiteral("Mode Down"));
  cmdOK = Button("cmdOK", QStringLiteral("OK"));
  cmdCancel = Button("cmdCancel", QStringLiteral("Cancel"));
  buttons->addSpacing(Label1->sizeHint().height());
  for (QPushButton* b : {Button1, Button2, Button3, Button4}) buttons->addWidget(b);
  buttons->addStretch(1);
  buttons->addWidget(cmdOK);
  buttons->addWidget(cmdCancel);
  layout->addLayout(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);

  connect(Button1, &QPushButton::clicked, this, &TSearchSitesBox::Button1Click);
  connect(Button2, &QPushButton::clicked, this, &TSearchSitesBox::Button2Click);
  connect(Button3, &QPushButton::clicked, this, [this] { MoveCurrentRow(-1); });
  connect(Button4, &QPushButton::clicked, this, [this] { MoveCurrentRow(1); });
  connect(cmdOK, &QPushButton::clicked, this, &TSearchSitesBox::cmdOKClick);
  connect(cmdCancel, &QPushButton::clicked, this, &TSearchSitesBox::reject);
  // Esc closes without writing, also while a cell is being edited.
  auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
  escape->setContext(Qt::WindowShortcut);
  connect(escape, &QShortcut::activated, this, &TSearchSitesBox::reject);
}

void TSearchSitesBox::FillGrid(const std::vector<TSearchSiteRow>& rows) {
  ValueListEditor1->setRowCount(static_cast<int>(rows.size()));
  for (std::size_t i = 0; i < rows.size(); ++i) SetRow(static_cast<int>(i), rows[i]);
  if (!rows.empty()) ValueListEditor1->setCurrentCell(0, 0);
}

void TSearchSitesBox::SetRow(int row, const TSearchSiteRow& site) {
  ValueListEditor1->setItem(row, 0, new QTableWidgetItem(ToQString(site.Name)));
  ValueListEditor1->setItem(row, 1, new QTableWidgetItem(ToQString(site.Template)));
}

TSearchSiteRow TSearchSitesBox::RowAt(int row) const {
  auto text = [&](int column) {
    const QTableWidgetItem* item = ValueListEditor1->item(row, column);
    return item != nullptr ? ToStdString(item->text()) : std::string();
  };
  return {text(0), text(1)};
}

std::vector<TSearchSiteRow> TSearchSitesBox::Rows() const {
  std::vector<TSearchSiteRow> rows;
  for (int r = 0; r < ValueListEditor1->rowCount(); ++r) rows.push_back(RowAt(r));
  return rows;
}

int TSearchSitesBox::CurrentRow() const { return ValueListEditor1->currentRow(); }

void TSearchSitesBox::Button1Click() {
  const int row = ValueListEditor1->rowCount();
  ValueListEditor1->insertRow(row);
  SetRow(row, {});
  ValueListEditor1->setCurrentCell(row, 0);
  ValueListEditor1->setFocus();
}

void TSearchSitesBox::Button2Click() {
  const int row = CurrentRow();
  if (row >= 0) ValueListEditor1->removeRow(row);
  ValueListEditor1->setFocus();
}

void TSearchSitesBox::MoveCurrentRow(int by) {
  const int row = CurrentRow();
  const int target = row + by;
  if (row < 0 || target < 0 || target >= ValueListEditor1->rowCount()) return;
  const TSearchSiteRow moved = RowAt(row);
  SetRow(row, RowAt(target));
  SetRow(target, moved);
  ValueListEditor1->setCurrentCell(target, ValueListEditor1->currentColumn() < 0 ? 0 : ValueListEditor1->currentColumn());
}

void TSearchSitesBox::cmdOKClick() {
  try {
    WriteSearchSiteRows(DataFile(SearchSitesFileName), Rows());
  } catch (const EFileError& error) {
    // The old file is still there; the user can try again or cancel.
    ShowFailure(this, ToQString(error.what()));
    return;
  }
  accept();
}

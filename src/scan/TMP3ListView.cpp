#include "scan/TMP3ListView.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QListView>
#include <QStackedWidget>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QTableView>
#include <QVBoxLayout>
#include <utility>

#include "scan/TListHeader.h"
#include "scan/TMP3ListModel.h"

namespace {

int ColumnWidthFor(const std::string& line) {
  if (line.starts_with("0NAM")) return 250;
  if (line.starts_with("0LOC")) return 220;
  if (line.starts_with("0SIZ")) return 120;
  return 150;
}

// Where the style draws an item's check box, as the item delegate works it out for clicks.
QRect CheckIndicatorRect(const QAbstractItemView* view, const QModelIndex& index, bool iconOnTop) {
  QStyleOptionViewItem option;
  option.initFrom(view);
  option.rect = view->visualRect(index);
  option.features = QStyleOptionViewItem::HasCheckIndicator | QStyleOptionViewItem::HasDisplay |
                    QStyleOptionViewItem::HasDecoration;
  option.decorationSize = view->iconSize();
  if (iconOnTop) {
    option.decorationPosition = QStyleOptionViewItem::Top;
    option.displayAlignment = Qt::AlignHCenter | Qt::AlignBottom;
  }
  return view->style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, view);
}

}  // namespace

TMP3ListView::TMP3ListView(TMP3ListModel* model, QWidget* parent)
    : QWidget(parent),
      Model_(model),
      Stack_(new QStackedWidget(this)),
      Table_(new QTableView(Stack_)),
      IconList_(new QListView(Stack_)) {
  setObjectName(QStringLiteral("lvMP3s"));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(Stack_);
  Stack_->addWidget(Table_);
  Stack_->addWidget(IconList_);
  setFocusProxy(Table_);

  SetUpTable();
  SetUpIconList();
  // One selection for every style, so switching keeps the current and the selected row.
  QItemSelectionModel* own = IconList_->selectionModel();
  IconList_->setSelectionModel(Table_->selectionModel());
  delete own;
  connect(Table_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
          &TMP3ListView::OnSelectionChanged);
  connect(Model_, &TMP3ListModel::CheckMarksChanged, this, &TMP3ListView::CheckMarksChanged);
  WatchView(Table_);
  WatchView(IconList_);
  SetViewStyle(TStyle::Details);
}

void TMP3ListView::SetUpTable() {
  Table_->setModel(Model_);
  Table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  Table_->setSelectionMode(QAbstractItemView::SingleSelection);
  Table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  Table_->setFrameShape(QFrame::NoFrame);
  Table_->setShowGrid(false);
  Table_->setWordWrap(false);
  Table_->setCornerButtonEnabled(false);
  Table_->setSortingEnabled(false);
  Table_->setTabKeyNavigation(false);
  Table_->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
  // Rows have one fixed height: measuring rows to fit their contents would ask the model for
  // every row and defeat building only the rows on screen.
  QHeaderView* rows = Table_->verticalHeader();
  rows->hide();
  rows->setSectionResizeMode(QHeaderView::Fixed);
  rows->setMinimumSectionSize(1);
  rows->setDefaultSectionSize(std::max(fontMetrics().height() + 4, 18));
  auto* header = new TListHeader(Table_);
  Table_->setHorizontalHeader(header);
  header->setSectionsClickable(true);
  header->setHighlightSections(false);
  header->setStretchLastSection(false);
  header->setSectionResizeMode(QHeaderView::Interactive);
  header->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(header, &QHeaderView::sectionClicked, this, &TMP3ListView::HeaderClicked);
  connect(header, &QHeaderView::customContextMenuRequested, this,
          [this, header](const QPoint& pos) {
            Q_EMIT HeaderContextMenuRequested(header->mapToGlobal(pos));
          });
}

void TMP3ListView::SetUpIconList() {
  IconList_->setModel(Model_);
  IconList_->setModelColumn(0);
  IconList_->setSelectionMode(QAbstractItemView::SingleSelection);
  IconList_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  IconList_->setFrameShape(QFrame::NoFrame);
  // Same-sized items: the layout then never asks the model for rows that are not shown.
  IconList_->setUniformItemSizes(true);
  IconList_->setResizeMode(QListView::Adjust);
  IconList_->setMovement(QListView::Static);
  IconList_->setTextElideMode(Qt::ElideRight);
}

void TMP3ListView::WatchView(QAbstractItemView* view) {
  view->installEventFilter(this);
  view->viewport()->installEventFilter(this);
  view->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(view, &QWidget::customContextMenuRequested, this,
          [this, view](const QPoint& pos) { OnContextMenu(view, pos); });
  connect(view, &QAbstractItemView::doubleClicked, this, &TMP3ListView::OnDoubleClicked);
}

QAbstractItemView* TMP3ListView::ActiveView() const {
  if (Style_ == TStyle::Details) return Table_;
  return IconList_;
}

void TMP3ListView::BuildColumns(const TStringList& usedInfoTypes) {
  Model_->SetColumns(usedInfoTypes);
  QHeaderView* header = Table_->horizontalHeader();
  for (std::size_t k = 0; k < usedInfoTypes.size(); ++k) {
    header->resizeSection(static_cast<int>(k), ColumnWidthFor(usedInfoTypes[k]));
  }
  if (usedInfoTypes.empty()) header->resizeSection(0, 250);
}

void TMP3ListView::SetViewStyle(TStyle style) {
  const bool hadFocus = ActiveView()->hasFocus();
  Style_ = style;
  const int smallIcon = IconList_->style()->pixelMetric(QStyle::PM_SmallIconSize, nullptr, IconList_);
  const int largeIcon = IconList_->style()->pixelMetric(QStyle::PM_LargeIconSize, nullptr, IconList_);
  const int lineHeight = IconList_->fontMetrics().height();
  switch (style) {
    case TStyle::Icons:
      IconList_->setViewMode(QListView::IconMode);
      IconList_->setMovement(QListView::Static);
      IconList_->setFlow(QListView::LeftToRight);
      IconList_->setWrapping(true);
      IconList_->setWordWrap(true);
      IconList_->setIconSize(QSize(largeIcon, largeIcon));
      IconList_->setGridSize(QSize(std::max(100, largeIcon * 3), largeIcon + 2 * lineHeight + 12));
      break;
    case TStyle::SmallIcons:
    case TStyle::List:
      IconList_->setViewMode(QListView::ListMode);
      IconList_->setMovement(QListView::Static);
      // Small icons fill rows from left to right; the list fills columns from top to bottom.
      IconList_->setFlow(style == TStyle::SmallIcons ? QListView::LeftToRight
                                                         : QListView::TopToBottom);
      IconList_->setWrapping(true);
      IconList_->setWordWrap(false);
      IconList_->setIconSize(QSize(smallIcon, smallIcon));
      IconList_->setGridSize(QSize(style == TStyle::SmallIcons ? 180 : 250,
                                   std::max(lineHeight, smallIcon) + 4));
      break;
    case TStyle::Details: break;
  }
  Table_->setIconSize(QSize(smallIcon, smallIcon));
  Stack_->setCurrentWidget(style == TStyle::Details ? static_cast<QWidget*>(Table_)
                                                        : static_cast<QWidget*>(IconList_));
  setFocusProxy(ActiveView());
  if (hadFocus) ActiveView()->setFocus();
  const int row = CurrentRow();
  if (row >= 0) ScrollToRow(row);
}

void TMP3ListView::SetChecksVisible(bool visible) {
  Model_->SetChecksVisible(visible);
  ActiveView()->viewport()->update();
}

bool TMP3ListView::ChecksVisible() const { return Model_->ChecksVisible(); }

int TMP3ListView::CurrentRow() const {
  const QModelIndex current = Table_->selectionModel()->currentIndex();
  return current.isValid() ? current.row() : -1;
}

int TMP3ListView::SelectedRow() const {
  const QModelIndexList rows = Table_->selectionModel()->selectedIndexes();
  return rows.isEmpty() ? -1 : rows.first().row();
}

void TMP3ListView::SelectRow(int row) {
  QItemSelectionModel* selection = Table_->selectionModel();
  if (row < 0 || row >= Model_->rowCount()) {
    selection->clearSelection();
    return;
  }
  const QModelIndex index = Model_->index(row, 0);
  selection->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  ScrollToRow(row);
}

void TMP3ListView::ScrollToRow(int row) {
  if (row < 0 || row >= Model_->rowCount()) return;
  ActiveView()->scrollTo(Model_->index(row, 0), QAbstractItemView::EnsureVisible);
}

QRect TMP3ListView::CheckBoxRect(int row) const {
  if (row < 0 || row >= Model_->rowCount()) return {};
  return CheckIndicatorRect(Table_, Model_->index(row, 0), false);
}

bool TMP3ListView::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress && (watched == Table_ || watched == IconList_)) {
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Space && key->modifiers() == Qt::NoModifier && HandleSpaceKey()) {
      return true;
    }
    if (HandleHomeEndKey(*key)) return true;
  }
  if (event->type() == QEvent::MouseButtonDblClick) {
    for (QAbstractItemView* view : {static_cast<QAbstractItemView*>(Table_),
                                    static_cast<QAbstractItemView*>(IconList_)}) {
      if (watched == view->viewport()) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        DoubleClickOnCheckBox_ = OnCheckBox(view, mouse->position().toPoint());
      }
    }
  }
  return QWidget::eventFilter(watched, event);
}

bool TMP3ListView::HandleHomeEndKey(const QKeyEvent& key) {
  // Home and End go to the first and last row in every style; the table would otherwise move to
  // the first or last column of the current row.
  if (key.key() != Qt::Key_Home && key.key() != Qt::Key_End) return false;
  if ((key.modifiers() & ~(Qt::ControlModifier | Qt::KeypadModifier)) != Qt::NoModifier) return false;
  const int rows = Model_->rowCount();
  if (rows == 0) return true;
  SelectRow(key.key() == Qt::Key_Home ? 0 : rows - 1);
  return true;
}

bool TMP3ListView::HandleSpaceKey() {
  if (!Model_->ChecksVisible()) return false;
  const int row = CurrentRow();
  if (row < 0) return false;
  return Model_->ToggleCheck(row);
}

void TMP3ListView::OnSelectionChanged(const QItemSelection& selected,
                                      const QItemSelection& deselected) {
  if (!selected.isEmpty()) {
    Q_EMIT RowSelectionChanged(selected.indexes().first().row(), true);
  } else if (!deselected.isEmpty() && !Table_->selectionModel()->hasSelection()) {
    Q_EMIT RowSelectionChanged(deselected.indexes().first().row(), false);
  }
}

void TMP3ListView::OnContextMenu(QAbstractItemView* view, const QPoint& pos) {
  const QModelIndex index = view->indexAt(pos);
  if (!index.isValid()) return;
  Q_EMIT RowContextMenuRequested(index.row(), view->viewport()->mapToGlobal(pos));
}

bool TMP3ListView::OnCheckBox(QAbstractItemView* view, const QPoint& pos) const {
  if (!Model_->ChecksVisible()) return false;
  const QModelIndex index = view->indexAt(pos);
  if (!index.isValid() || index.column() != 0) return false;
  const bool iconOnTop = view == IconList_ && Style_ == TStyle::Icons;
  return CheckIndicatorRect(view, index, iconOnTop).contains(pos);
}

void TMP3ListView::OnDoubleClicked() {
  if (std::exchange(DoubleClickOnCheckBox_, false)) return;
  const int row = CurrentRow();
  if (row >= 0) Q_EMIT RowDoubleClicked(row);
}

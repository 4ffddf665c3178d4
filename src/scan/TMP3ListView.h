#pragma once
// The file list widget: one model shown in four view styles (large icons, small icons, list,
// details table). Selection and the current row are shared, so switching styles keeps them.

#include <QPoint>
#include <QRect>
#include <QWidget>

#include "core/UnitGlobals.h"

class QAbstractItemView;
class QItemSelection;
class QKeyEvent;
class QListView;
class QStackedWidget;
class QTableView;
class TMP3ListModel;

class TMP3ListView : public QWidget {
  Q_OBJECT

 public:
  // Values as stored in the window settings (0 icons, 1 small icons, 2 list, 3 details).
  enum class TStyle : int { Icons = 0, SmallIcons = 1, List = 2, Details = 3 };

  // The model is shared, not owned.
  explicit TMP3ListView(TMP3ListModel* model, QWidget* parent = nullptr);

  TMP3ListModel* Model() const { return Model_; }
  QTableView* DetailsView() const { return Table_; }
  QListView* IconView() const { return IconList_; }
  // The view of the current style.
  QAbstractItemView* ActiveView() const;

  // Columns from the used info types, with their widths and alignment.
  void BuildColumns(const TStringList& usedInfoTypes);

  void SetViewStyle(TStyle style);
  TStyle ViewStyle() const { return Style_; }

  // Check boxes show (and respond to the mouse and the space key) only while visible.
  void SetChecksVisible(bool visible);
  bool ChecksVisible() const;

  int CurrentRow() const;
  // Selects and focuses the row and scrolls it fully into view; -1 clears the selection.
  void SelectRow(int row);
  void ScrollToRow(int row);
  int SelectedRow() const;

  // Where the check box of a row is drawn in the details table (viewport coordinates).
  QRect CheckBoxRect(int row) const;

 Q_SIGNALS:
  // A row became selected (selected = true), or the selected row lost its selection with no
  // other row taking it (selected = false).
  void RowSelectionChanged(int row, bool selected);
  void HeaderClicked(int column);
  void HeaderContextMenuRequested(const QPoint& globalPos);
  void RowContextMenuRequested(int row, const QPoint& globalPos);
  void RowDoubleClicked(int row);
  void CheckMarksChanged();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void SetUpTable();
  void SetUpIconList();
  void WatchView(QAbstractItemView* view);
  void OnSelectionChanged(const QItemSelection& selected, const QItemSelection& deselected);
  void OnContextMenu(QAbstractItemView* view, const QPoint& pos);
  void OnDoubleClicked();
  bool HandleSpaceKey();
  bool HandleHomeEndKey(const QKeyEvent& key);
  bool OnCheckBox(QAbstractItemView* view, const QPoint& pos) const;

  TMP3ListModel* Model_;
  QStackedWidget* Stack_;
  QTableView* Table_;
  QListView* IconList_;
  TStyle Style_ = TStyle::Details;
  // A quick second click on a check box marks and unmarks; it must not also open the file.
  bool DoubleClickOnCheckBox_ = false;
};

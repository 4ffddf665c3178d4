#pragma once
// The table behind the file list: one row per found file, one column per used info type.
// Row texts are worked out only when a view asks for a row, once, and kept in the row cache;
// the row count changes only when the owner says so, never behind the views' backs.

#include <QAbstractTableModel>
#include <QHash>
#include <QIcon>
#include <QVector>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/UnitGlobals.h"
#include "scan/UnitFileList.h"

class QFileIconProvider;

class TMP3ListModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  // Gives the display texts of the used columns for one file (the main window reads them with
  // its tag engine). Thrown errors are caught: the row then shows "(not available)".
  using TRowBuilder = TRowTextsProvider;

  // The list and the cache belong to the caller and must outlive the model.
  TMP3ListModel(TFoundFileList& files, TRowCache& cache, QObject* parent = nullptr);
  ~TMP3ListModel() override;

  void SetRowBuilder(TRowBuilder builder);

  // Replaces the columns by the used info types (code=caption lines); the rows stay, their
  // texts are built again for the new columns when next shown.
  void SetColumns(const TStringList& usedInfoTypes);
  // Sets the row count the views see; call after the list and the cache were refilled or
  // emptied. Clamped to what the list and the cache hold.
  void ResetRows(int count);

  // While set, the views get nothing for any row (the list is being emptied).
  void SetRowsBeingCleared(bool clearing);
  bool RowsBeingCleared() const { return RowsBeingCleared_; }

  // Check marks are shown and can be changed only while visible; the flags themselves live
  // in the found file list and survive hiding.
  void SetChecksVisible(bool visible);
  bool ChecksVisible() const { return ChecksVisible_; }
  // Flips one row's flag; false (and nothing changes) while checks are hidden.
  bool ToggleCheck(int row);
  // Every flag to 0 or 1 (Select All / Deselect All); works whether checks show or not.
  void SetAllChecks(int flag);
  int CheckedCount() const;
  // Repaint every row after the found file list changed from outside (flags or a sort).
  void RefreshAllRows();

  // The path of a row ("" outside the list) and its caption (builds the row when needed).
  std::string PathOfRow(int row) const;
  QString CaptionOfRow(int row) const;
  int BuiltRowCount() const;

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role = Qt::DisplayRole) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  // Sorting belongs to the owner (it reads tags and clears the marks); views that call this on
  // their own, also with column -1 when sorting is switched on, get nothing done.
  void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

 Q_SIGNALS:
  // A check flag changed through the views or ToggleCheck / SetAllChecks.
  void CheckMarksChanged();

 private:
  struct TColumn {
    QString Caption;
    bool RightAligned = false;
  };

  bool ValidRow(int row) const;
  const TRowCacheEntry* BuiltEntry(int row) const;
  int IconIndexFor(const std::string& path) const;

  TFoundFileList& Files_;
  TRowCache& Cache_;
  TRowBuilder RowBuilder_;
  QVector<TColumn> Columns_;
  int RowCount_ = 0;
  bool RowsBeingCleared_ = false;
  bool ChecksVisible_ = false;
  // Icons are looked up once per file name suffix: scrolling must not touch the disk.
  std::unique_ptr<QFileIconProvider> IconProvider_;
  mutable QVector<QIcon> Icons_;
  mutable QHash<QString, int> IconBySuffix_;
};

#include "scan/TMP3ListModel.h"

#include <QFileIconProvider>
#include <QFileInfo>
#include <algorithm>
#include <climits>
#include <exception>

#include "app/ByteString.h"
#include "info/UnitFileFormat.h"
#include "info/UnitInfoValues.h"

TMP3ListModel::TMP3ListModel(TFoundFileList& files, TRowCache& cache, QObject* parent)
    : QAbstractTableModel(parent),
      Files_(files),
      Cache_(cache),
      IconProvider_(std::make_unique<QFileIconProvider>()) {}

TMP3ListModel::~TMP3ListModel() = default;

void TMP3ListModel::SetRowBuilder(TRowBuilder builder) { RowBuilder_ = std::move(builder); }

void TMP3ListModel::SetColumns(const TStringList& usedInfoTypes) {
  beginResetModel();
  Columns_.clear();
  Columns_.reserve(static_cast<qsizetype>(usedInfoTypes.size()));
  for (const auto& line : usedInfoTypes) {
    TColumn column;
    column.Caption = ToQString(InfoCaptionOf(line));
    column.RightAligned = line.starts_with("0SIZ") || line.starts_with("2DUR") ||
                          line.starts_with("2BIT") || line.starts_with("2SMP");
    Columns_.append(column);
  }
  // Texts built for the old columns would land under the wrong headers.
  for (auto& entry : Cache_) {
    entry.Built = false;
    entry.Texts.clear();
  }
  endResetModel();
}

void TMP3ListModel::ResetRows(int count) {
  beginResetModel();
  const auto limit = std::min(Files_.size(), Cache_.size());
  RowCount_ = std::clamp(count, 0, static_cast<int>(std::min<std::size_t>(limit, INT_MAX)));
  endResetModel();
}

void TMP3ListModel::SetRowsBeingCleared(bool clearing) {
  if (RowsBeingCleared_ == clearing) return;
  RowsBeingCleared_ = clearing;
  RefreshAllRows();
}

void TMP3ListModel::SetChecksVisible(bool visible) {
  if (ChecksVisible_ == visible) return;
  ChecksVisible_ = visible;
  if (RowCount_ > 0) {
    Q_EMIT dataChanged(index(0, 0), index(RowCount_ - 1, 0), {Qt::CheckStateRole});
  }
}

bool TMP3ListModel::ToggleCheck(int row) {
  if (!ChecksVisible_ || !ValidRow(row)) return false;
  auto& flag = Files_[static_cast<std::size_t>(row)].Checked;
  flag = flag == 0 ? 1 : 0;
  Q_EMIT dataChanged(index(row, 0), index(row, 0), {Qt::CheckStateRole});
  Q_EMIT CheckMarksChanged();
  return true;
}

void TMP3ListModel::SetAllChecks(int flag) {
  for (auto& file : Files_) file.Checked = flag;
  if (RowCount_ > 0) {
    Q_EMIT dataChanged(index(0, 0), index(RowCount_ - 1, 0), {Qt::CheckStateRole});
  }
  Q_EMIT CheckMarksChanged();
}

int TMP3ListModel::CheckedCount() const {
  int count = 0;
  for (const auto& file : Files_) {
    if (file.Checked == 1) ++count;
  }
  return count;
}

void TMP3ListModel::RefreshAllRows() {
  if (RowCount_ > 0 && !Columns_.isEmpty()) {
    Q_EMIT dataChanged(index(0, 0), index(RowCount_ - 1, columnCount() - 1));
  }
}

std::string TMP3ListModel::PathOfRow(int row) const {
  return ValidRow(row) ? Files_[static_cast<std::size_t>(row)].Path : std::string();
}

QString TMP3ListModel::CaptionOfRow(int row) const {
  const TRowCacheEntry* entry = BuiltEntry(row);
  if (entry == nullptr || entry->Texts.empty()) return {};
  return ToQString(entry->Texts.front());
}

int TMP3ListModel::BuiltRowCount() const {
  int count = 0;
  for (const auto& entry : Cache_) {
    if (entry.Built) ++count;
  }
  return count;
}

int TMP3ListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : RowCount_;
}

int TMP3ListModel::columnCount(const QModelIndex& parent) const {
  if (parent.isValid()) return 0;
  // With no used column the list still has rows (with an empty caption) to select and mark.
  return std::max<int>(1, static_cast<int>(Columns_.size()));
}

QVariant TMP3ListModel::data(const QModelIndex& index, int role) const {
  if (RowsBeingCleared_ || !index.isValid() || !ValidRow(index.row())) return {};
  const int row = index.row();
  const int column = index.column();
  switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole: {
      const TRowCacheEntry* entry = BuiltEntry(row);
      if (entry == nullptr || column >= static_cast<int>(entry->Texts.size())) return QString();
      return ToQString(entry->Texts[static_cast<std::size_t>(column)]);
    }
    case Qt::DecorationRole: {
      if (column != 0) return {};
      const TRowCacheEntry* entry = BuiltEntry(row);
      if (entry == nullptr || entry->Icon < 0 || entry->Icon >= Icons_.size()) return {};
      return Icons_[entry->Icon];
    }
    case Qt::CheckStateRole:
      if (column != 0 || !ChecksVisible_) return {};
      return Files_[static_cast<std::size_t>(row)].Checked == 1 ? Qt::Checked : Qt::Unchecked;
    case Qt::TextAlignmentRole:
      if (column < Columns_.size() && Columns_[column].RightAligned) {
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
      }
      return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
    default: break;
  }
  return {};
}

bool TMP3ListModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (role != Qt::CheckStateRole || index.column() != 0 || !ChecksVisible_ ||
      !ValidRow(index.row())) {
    return false;
  }
  const int wanted = value.value<Qt::CheckState>() == Qt::Checked ? 1 : 0;
  if (Files_[static_cast<std::size_t>(index.row())].Checked == wanted) return true;
  return ToggleCheck(index.row());
}

QVariant TMP3ListModel::headerData(int section, Qt::Orientation orientation, int role) const {
  // The stand-in column of a list without used columns has no caption (not a section number).
  if (orientation == Qt::Horizontal && Columns_.isEmpty() && role == Qt::DisplayRole) return QString();
  if (orientation != Qt::Horizontal || section < 0 || section >= Columns_.size()) {
    return QAbstractTableModel::headerData(section, orientation, role);
  }
  switch (role) {
    case Qt::DisplayRole: return Columns_[section].Caption;
    case Qt::TextAlignmentRole:
      return QVariant::fromValue((Columns_[section].RightAligned ? Qt::AlignRight : Qt::AlignLeft) |
                                 Qt::AlignVCenter);
    default: break;
  }
  return {};
}

Qt::ItemFlags TMP3ListModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  Qt::ItemFlags result = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
  if (ChecksVisible_ && index.column() == 0) result |= Qt::ItemIsUserCheckable;
  return result;
}

void TMP3ListModel::sort(int, Qt::SortOrder) {}

bool TMP3ListModel::ValidRow(int row) const {
  return row >= 0 && row < RowCount_ && static_cast<std::size_t>(row) < Files_.size() &&
         static_cast<std::size_t>(row) < Cache_.size();
}

const TRowCacheEntry* TMP3ListModel::BuiltEntry(int row) const {
  if (RowsBeingCleared_ || !ValidRow(row)) return nullptr;
  const auto index = static_cast<std::size_t>(row);
  EnsureRowBuilt(Cache_, Files_, index, RowBuilder_, static_cast<std::size_t>(Columns_.size()),
                 [this](const std::string& path) { return IconIndexFor(path); });
  return &Cache_[index];
}

int TMP3ListModel::IconIndexFor(const std::string& path) const {
  const QFileInfo info(PathToQString(path));
  const QString suffix = info.suffix().toLower();
  const auto found = IconBySuffix_.constFind(suffix);
  if (found != IconBySuffix_.constEnd()) return found.value();
  QIcon icon = IconProvider_->icon(info);
  if (icon.isNull()) icon = IconProvider_->icon(QAbstractFileIconProvider::File);
  Icons_.append(icon);
  const int iconIndex = static_cast<int>(Icons_.size() - 1);
  IconBySuffix_.insert(suffix, iconIndex);
  return iconIndex;
}

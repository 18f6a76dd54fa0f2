#include "gui/results/result_list_model.h"

#include <iterator>
#include <utility>

namespace xyx {

ResultListModel::ResultListModel(QObject* parent) : QAbstractTableModel(parent) {}

int ResultListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int ResultListModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : kColumnCount;
}

QVariant ResultListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || !ValidCell(index.row(), index.column())) return {};
  const ResultRow& row = rows_[static_cast<std::size_t>(index.row())];
  switch (role) {
    case Qt::DisplayRole:
      return row.texts[static_cast<std::size_t>(index.column())];
    case Qt::DecorationRole:
      if (index.column() == 0 && row.imageIndex >= 0 && row.imageIndex < images_.size()) {
        return images_[row.imageIndex];
      }
      return {};
    case kValueRole:
      return QVariant::fromValue<qint64>(row.value);
    default:
      return {};
  }
}

QVariant ResultListModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || section < 0 || section >= kColumnCount) return {};
  if (role == Qt::DisplayRole) return titles_[static_cast<std::size_t>(section)];
  if (role == Qt::TextAlignmentRole) {
    return QVariant::fromValue(Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter));
  }
  return {};
}

bool ResultListModel::setHeaderData(int section, Qt::Orientation orientation, const QVariant& value,
                                    int role) {
  if (orientation != Qt::Horizontal || section < 0 || section >= kColumnCount) return false;
  if (role != Qt::EditRole && role != Qt::DisplayRole) return false;
  titles_[static_cast<std::size_t>(section)] = value.toString();
  emit headerDataChanged(orientation, section, section);
  return true;
}

void ResultListModel::SetImages(QList<QIcon> images) {
  images_ = std::move(images);
  if (!rows_.empty()) {
    emit dataChanged(index(0, 0), index(rowCount() - 1, 0), {Qt::DecorationRole});
  }
}

int ResultListModel::AppendRow(ResultRow row) {
  const int at = rowCount();
  beginInsertRows(QModelIndex(), at, at);
  rows_.push_back(std::move(row));
  endInsertRows();
  return at;
}

void ResultListModel::AppendRows(std::vector<ResultRow> rows) {
  if (rows.empty()) return;
  const int first = rowCount();
  beginInsertRows(QModelIndex(), first, first + static_cast<int>(rows.size()) - 1);
  rows_.insert(rows_.end(), std::make_move_iterator(rows.begin()),
               std::make_move_iterator(rows.end()));
  endInsertRows();
}

void ResultListModel::Clear() {
  if (rows_.empty()) return;
  beginResetModel();
  rows_.clear();
  endResetModel();
}

QString ResultListModel::CellText(int row, int column) const {
  if (!ValidCell(row, column)) return {};
  return rows_[static_cast<std::size_t>(row)].texts[static_cast<std::size_t>(column)];
}

void ResultListModel::SetCellText(int row, int column, const QString& text) {
  if (!ValidCell(row, column)) return;
  rows_[static_cast<std::size_t>(row)].texts[static_cast<std::size_t>(column)] = text;
  const QModelIndex cell = index(row, column);
  emit dataChanged(cell, cell, {Qt::DisplayRole});
}

std::int64_t ResultListModel::RowValue(int row) const {
  if (row < 0 || row >= rowCount()) return 0;
  return rows_[static_cast<std::size_t>(row)].value;
}

void ResultListModel::ReorderRows(const std::vector<std::size_t>& order) {
  if (order.size() != rows_.size()) return;
  beginResetModel();
  // In place, one cycle of the permutation at a time: row i takes the row at order[i].
  std::vector<bool> placed(rows_.size(), false);
  for (std::size_t start = 0; start < rows_.size(); ++start) {
    if (placed[start]) continue;
    ResultRow first = std::move(rows_[start]);
    std::size_t at = start;
    while (order[at] != start) {
      rows_[at] = std::move(rows_[order[at]]);
      placed[at] = true;
      at = order[at];
    }
    rows_[at] = std::move(first);
    placed[at] = true;
  }
  endResetModel();
}

QString ResultListModel::ColumnTitle(int column) const {
  return headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
}

void ResultListModel::SetColumnTitle(int column, const QString& title) {
  setHeaderData(column, Qt::Horizontal, title);
}

bool ResultListModel::ValidCell(int row, int column) const {
  return row >= 0 && row < rowCount() && column >= 0 && column < kColumnCount;
}

}  // namespace xyx

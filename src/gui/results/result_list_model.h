#pragma once
// The rows of the result list: four texts, an image index and a 64-bit value per row. The
// model owns the data so that bulk appends and, later, sorting stay inside one container.

#include <QAbstractTableModel>
#include <QIcon>
#include <QList>
#include <QString>
#include <array>
#include <cstdint>
#include <vector>

namespace xyx {

struct ResultRow {
  std::array<QString, 4> texts;  // name, size text, actor, address
  int imageIndex = 0;
  std::int64_t value = 0;  // the size in bytes
};

class ResultListModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  static constexpr int kColumnCount = 4;
  // The row's 64-bit value, for views and sorting.
  static constexpr int kValueRole = Qt::UserRole;

  explicit ResultListModel(QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role = Qt::DisplayRole) const override;
  bool setHeaderData(int section, Qt::Orientation orientation, const QVariant& value,
                     int role = Qt::EditRole) override;

  // The pictures that a row's image index refers to.
  void SetImages(QList<QIcon> images);

  // Appends one row and returns its index.
  int AppendRow(ResultRow row);
  // Appends many rows with one notification to the views.
  void AppendRows(std::vector<ResultRow> rows);
  void Clear();
  // Room for `rows` rows in all, so that a long fill never stops to move every row it holds.
  void Reserve(std::size_t rows) { rows_.reserve(rows); }

  // Cell access; an index out of range reads as empty and writes nothing.
  QString CellText(int row, int column) const;
  void SetCellText(int row, int column, const QString& text);
  std::int64_t RowValue(int row) const;
  const std::vector<ResultRow>& Rows() const { return rows_; }

  // Puts the rows in `order`, a permutation of the row indexes; each row moves whole. Views
  // are reset, so afterwards no row is selected or current.
  void ReorderRows(const std::vector<std::size_t>& order);

  QString ColumnTitle(int column) const;
  void SetColumnTitle(int column, const QString& title);

 protected:
  bool ValidCell(int row, int column) const;

  std::vector<ResultRow> rows_;
  std::array<QString, kColumnCount> titles_;
  QList<QIcon> images_;
};

}  // namespace xyx

#include "gui/results/sorting.h"

#include "core/results/sort_keys.h"
#include "gui/app/local_text_qt.h"
#include "gui/app/main_window.h"
#include "gui/results/result_list_model.h"

namespace xyx {

namespace {

constexpr int kSizeColumn = 1;

// Only column 0 shows a picture; the other cells have none.
int CellImage(const ResultRow& row, int column) {
  return column == 0 ? row.imageIndex : -1;
}

SortKeys BuildKeys(const std::vector<ResultRow>& rows, int column, SortKeyKind kind) {
  const auto at = static_cast<std::size_t>(column);
  SortKeys keys;
  switch (kind) {
    case SortKeyKind::kText: {
      const CollationKeyBuilder collator;
      keys.Reserve(rows.size(), 48);
      for (const ResultRow& row : rows) {
        collator.AppendKey(Utf16View(row.texts[at]), keys.Buffer());
        keys.EndKey();
      }
      break;
    }
    case SortKeyKind::kNumber:
      keys.Reserve(rows.size(), 62);
      for (const ResultRow& row : rows) {
        AppendNumberKey(ToLocal(row.texts[at]), keys.Buffer());
        keys.EndKey();
      }
      break;
    case SortKeyKind::kDate:
      keys.Reserve(rows.size(), 14);
      for (const ResultRow& row : rows) {
        AppendDateKey(ToLocal(row.texts[at]), keys.Buffer());
        keys.EndKey();
      }
      break;
    case SortKeyKind::kValue:
    case SortKeyKind::kImage:
      // The rank orders exactly as the zero-filled text key would, without writing it.
      keys.Reserve(rows.size(), 0);
      for (const ResultRow& row : rows) {
        keys.EndKey(IntegerRank(kind == SortKeyKind::kValue ? row.value : CellImage(row, column)));
      }
      break;
  }
  return keys;
}

}  // namespace

bool SortListByColumn(ResultListModel& list, int column, int direction, int keyKind) {
  SortKeyKind kind;
  if (list.rowCount() < 1 || column < 0 || column >= list.columnCount() ||
      !ToSortKeyKind(keyKind, kind)) {
    return false;
  }
  const SortKeys keys = BuildKeys(list.Rows(), column, kind);
  list.ReorderRows(SortedOrder(keys, direction == 1));
  return true;
}

void ColumnHeaderClicked(MainWindow& window, int column) {
  AppState& state = window.state();
  SortListByColumn(*window.resultModel(), column, state.sortAscendingNext,
                   column == kSizeColumn ? 3 : 0);
  // One direction for the whole list, flipped whether or not anything was sorted.
  state.sortAscendingNext = state.sortAscendingNext == 0 ? 1 : 0;
}

}  // namespace xyx

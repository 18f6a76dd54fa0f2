#pragma once
// Sorting the result list by a column, and the column-header click that asks for it.

namespace xyx {

class MainWindow;
class ResultListModel;

// Reorders the rows by column `column` with keys of kind `keyKind` (0 to 4, see
// SortKeyKind), ascending when `direction` is 1 and descending otherwise. False, with
// nothing changed, for an empty list, a column out of range or an unknown kind.
bool SortListByColumn(ResultListModel& list, int column, int direction = 1, int keyKind = 0);

// Sorts "列表框" by the clicked column, in the direction of sortAscendingNext, which flips on
// every click. The size column sorts by each row's byte count, the others by their text.
void ColumnHeaderClicked(MainWindow& window, int column);

}  // namespace xyx

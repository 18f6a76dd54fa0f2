#pragma once
// The locate scan: from the row after the current one to the end, then from the top up to
// the current row, the first row whose name (column 0) or actor (column 2) the matcher finds
// its pattern in. The current row itself is never tested.

#include <string_view>

#include "core/text/local_text.h"

namespace xyx {

// The rows as the scan sees them. Each call reads the list afresh: rows may come and go while
// the window handles its events between rows.
class LocateRows {
 public:
  virtual ~LocateRows() = default;
  // The first selected row, -1 when none.
  virtual int CurrentRow() = 0;
  virtual int RowCount() = 0;
  // A row that does not exist reads as the empty text.
  virtual Text CellText(int row, int column) = 0;
  // Runs after every row that does not pass.
  virtual void RowMissed() = 0;
};

// The row found, or -1. `searchText` (local text) is read as a wildcard pattern: "*" any run
// of characters, "?" at most one, "|" between alternatives, everything else itself; letter
// case is ignored. The pattern matcher lives for this one call.
int LocateNextRow(std::string_view searchText, LocateRows& rows);

}  // namespace xyx

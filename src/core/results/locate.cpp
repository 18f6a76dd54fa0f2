#include "core/results/locate.h"

#include "core/pattern/pattern_matcher.h"

namespace xyx {

namespace {

constexpr int kNameColumn = 0;
constexpr int kActorColumn = 2;

bool RowPasses(PatternMatcher& matcher, LocateRows& rows, int row) {
  if (matcher.FindMatches(rows.CellText(row, kNameColumn)) > 0) return true;
  return matcher.FindMatches(rows.CellText(row, kActorColumn)) > 0;
}

// Tests rows [from, to) in order; the first that passes, or -1.
int Scan(PatternMatcher& matcher, LocateRows& rows, int from, int to) {
  for (int row = from; row < to; ++row) {
    if (RowPasses(matcher, rows, row)) return row;
    rows.RowMissed();
  }
  return -1;
}

}  // namespace

int LocateNextRow(std::string_view searchText, LocateRows& rows) {
  PatternMatcher matcher;
  matcher.SetPattern(matcher.WildcardToPattern(searchText));
  // The row count is read once: rows added during the scan are not visited.
  const int current = rows.CurrentRow();
  const int count = rows.RowCount();
  const int found = Scan(matcher, rows, current + 1, count);
  if (found >= 0) return found;
  return Scan(matcher, rows, 0, rows.CurrentRow());
}

}  // namespace xyx

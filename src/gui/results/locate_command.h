#pragma once
// Locating a row within the results: the right-button press on "按钮搜索".

namespace xyx {

class MainWindow;

// Makes the next row whose name or actor matches the search box's text (a wildcard pattern)
// the current row, wrapping round at the end; otherwise says that nothing was found.
void LocateInResults(MainWindow& window);

}  // namespace xyx

#pragma once
// The result list's addresses: the hint for the row that gains the focus, the copy on a
// right-click and the export of all addresses to a text file.

namespace xyx {

class MainWindow;

// A row of "列表框" gained the focus (-1: none did).
void CurrentRowChanged(MainWindow& window, int row);

// The right-click on "列表框": the current row's address to the clipboard.
void ListRightClicked(MainWindow& window);

// Saves every row's address, in the order shown, to a file the user picks. The file is
// replaced only once the whole list is written, so a failed export leaves no partial file and
// any earlier file as it was.
void ExportAddressList(MainWindow& window);

}  // namespace xyx

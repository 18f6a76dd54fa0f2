#include "gui/results/locate_command.h"

#include "core/results/locate.h"
#include "gui/app/local_text_qt.h"
#include "gui/app/main_window.h"
#include "gui/results/event_slice.h"

namespace xyx {

namespace {

class ListRows : public LocateRows {
 public:
  explicit ListRows(MainWindow& window) : window_(window) {}

  int CurrentRow() override { return window_.resultList()->CurrentRow(); }
  int RowCount() override { return window_.resultModel()->rowCount(); }
  Text CellText(int row, int column) override {
    return ToLocal(window_.resultModel()->CellText(row, column));
  }
  void RowMissed() override { slice_.Tick(); }

 private:
  MainWindow& window_;
  EventSlice slice_;
};

}  // namespace

void LocateInResults(MainWindow& window) {
  ListRows rows(window);
  const int found = LocateNextRow(ToLocal(window.searchEdit()->text()), rows);
  if (found < 0) {
    window.SetStatusText(QStringLiteral("结果内找不到！你可以换个词，可以使用通配符 * ? |"));
    return;
  }
  ResultListView* list = window.resultList();
  list->SetCurrentRow(found);
  list->scrollTo(window.resultModel()->index(found, 0), QAbstractItemView::EnsureVisible);
  list->setFocus(Qt::OtherFocusReason);
}

}  // namespace xyx

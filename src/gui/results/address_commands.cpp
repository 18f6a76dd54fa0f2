#include "gui/results/address_commands.h"

#include <QFile>

#include "core/platform/atomic_file.h"
#include "core/results/export.h"
#include "gui/app/local_text_qt.h"
#include "gui/app/main_window.h"
#include "gui/platform/clipboard.h"
#include "gui/platform/message_box.h"
#include "gui/results/event_slice.h"

namespace xyx {

namespace {

constexpr int kAddressColumn = 3;
constexpr std::size_t kPieceBytes = 1 << 20;

}  // namespace

void CurrentRowChanged(MainWindow& window, int row) {
  if (row < 0) return;
  window.SetStatusText(QStringLiteral("右击可复制该资源地址：") +
                       window.resultModel()->CellText(row, kAddressColumn));
}

void ListRightClicked(MainWindow& window) {
  const int row = window.resultList()->CurrentRow();
  if (row < 0) return;
  Clipboard::SetText(window.resultModel()->CellText(row, kAddressColumn));
  window.SetStatusText(QStringLiteral(
      "已复制该资源的快播地址。可以到快播‘网络任务’栏右键‘添加网络任务’粘贴本地址即可播放！"));
}

void ExportAddressList(MainWindow& window) {
  CommonFileDialog* dialog = window.exportDialog();
  if (!dialog->Show(&window)) return;
  const QString fileName = dialog->fileName();

  // Other handlers may run meanwhile and change the list; the count read here is the one
  // exported, and rows gone by then read as empty lines. The lines go to the file in pieces,
  // and the file replaces the target only when all of them are written.
  ResultListModel* model = window.resultModel();
  const int count = model->rowCount();
  ReplacingFile file(QFile::encodeName(fileName).toStdString());
  Bytes piece;
  piece.reserve(kPieceBytes + 4096);
  EventSlice slice;
  for (int row = 0; row < count && file.Good(); ++row) {
    AppendAddressLine(piece, ToLocal(model->CellText(row, kAddressColumn)));
    if (piece.size() >= kPieceBytes) {
      file.Write(piece);
      piece.clear();
    }
    slice.Tick();
  }
  const bool written = file.Write(piece) && file.Commit();
  MessageBox::Show(&window, QMessageBox::NoIcon, QStringLiteral("信息："),
                   written ? QStringLiteral("导出成功！") : QStringLiteral("导出失败！"),
                   QMessageBox::Ok);
}

}  // namespace xyx

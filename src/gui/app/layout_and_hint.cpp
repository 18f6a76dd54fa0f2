// Layout on every size change, and the grey hint in the empty search box.

#include <QColor>
#include <QFont>
#include <QPalette>
#include <algorithm>

#include "gui/app/main_window.h"

namespace xyx {
namespace {

constexpr int kSearchBoxRightGap = 10;
constexpr int kHomePageRightGap = 20;
const QString kSearchHint = QStringLiteral("这里输入电影或演员名称");

// A window made smaller than its controls gives negative sizes; those become empty.
int NonNegative(int value) {
  return std::max(0, value);
}

void SetTextColour(QWidget* widget, const QColor& colour) {
  QPalette palette = widget->palette();
  palette.setColor(QPalette::Text, colour);
  widget->setPalette(palette);
}

}  // namespace

void MainWindow::LayoutMainWindow() {
  resultList_->resize(NonNegative(width() - resultList_->x()),
                      NonNegative(height() - resultList_->y() - statusBar_->height()));
  searchEdit_->resize(NonNegative(width() - searchEdit_->x() - kSearchBoxRightGap),
                      searchEdit_->height());
  // The banner spans the outer width, frame included, as in the design.
  const int outerWidth = frameGeometry().width();
  banner_->resize(outerWidth, banner_->height());
  bannerLine_->resize(outerWidth, bannerLine_->height());
  productPicture_->move(width() - productPicture_->width() - kHomePageRightGap,
                        productPicture_->y());
  productLink_->move(productPicture_->x(), productLink_->y());
}

// The hint is shown exactly while the box's font is italic; nothing else records it.
void MainWindow::ShowSearchHint() {
  if (!searchEdit_->text().isEmpty()) return;
  QFont font = searchEdit_->font();
  font.setItalic(true);
  searchEdit_->setFont(font);
  searchEdit_->setText(kSearchHint);
  SetTextColour(searchEdit_, QColor(128, 128, 128));
}

void MainWindow::HideSearchHint() {
  if (!searchEdit_->font().italic()) return;
  QFont font = searchEdit_->font();
  font.setItalic(false);
  searchEdit_->setFont(font);
  searchEdit_->setText(QString());
  SetTextColour(searchEdit_, QColor(0, 0, 0));
}

}  // namespace xyx

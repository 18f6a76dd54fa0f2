#include "gui/app/controls.h"

#include <QFocusEvent>
#include <QItemSelectionModel>
#include <QMouseEvent>
#include <QPainter>
#include <QSvgRenderer>
#include <algorithm>

#include "gui/platform/shell.h"

namespace xyx {

void SearchButton::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::RightButton) {
    emit rightPressed();
    event->accept();
    return;
  }
  QPushButton::mousePressEvent(event);
}

void SearchEdit::focusInEvent(QFocusEvent* event) {
  QLineEdit::focusInEvent(event);
  emit focusGained();
}

void SearchEdit::focusOutEvent(QFocusEvent* event) {
  QLineEdit::focusOutEvent(event);
  // The edit's own context menu takes the focus only for a moment; the box is still being
  // edited, so this is no real loss of focus.
  if (event->reason() != Qt::PopupFocusReason) emit focusLost();
}

LinkLabel::LinkLabel(const QString& text, QWidget* parent) : QLabel(text, parent) {
  setCursor(Qt::PointingHandCursor);
}

void LinkLabel::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) {
    QLabel::mousePressEvent(event);
    return;
  }
  pressed_ = true;
  event->accept();
  emit leftPressed();
}

void LinkLabel::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) {
    QLabel::mouseReleaseEvent(event);
    return;
  }
  const bool click = pressed_ && rect().contains(event->position().toPoint());
  pressed_ = false;
  event->accept();
  if (click && !target_.isEmpty()) Shell::OpenUrl(target_);
}

QPixmap RenderSvg(const QString& resource, QSize size, qreal devicePixelRatio) {
  QSvgRenderer renderer(resource);
  const QSize pixels = (QSizeF(size) * devicePixelRatio).toSize();
  if (!renderer.isValid() || pixels.isEmpty()) return {};
  QPixmap pixmap(pixels);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  renderer.render(&painter);
  painter.end();
  pixmap.setDevicePixelRatio(devicePixelRatio);
  return pixmap;
}

PictureButton::PictureButton(const QString& svgResource, QWidget* parent)
    : QAbstractButton(parent), resource_(svgResource) {
  setCursor(Qt::PointingHandCursor);
  setFocusPolicy(Qt::NoFocus);
}

void PictureButton::paintEvent(QPaintEvent*) {
  const qreal ratio = devicePixelRatioF();
  if (cache_.isNull() || cache_.devicePixelRatio() != ratio ||
      cache_.deviceIndependentSize().toSize() != size()) {
    cache_ = RenderSvg(resource_, size(), ratio);
  }
  QPainter painter(this);
  painter.drawPixmap(0, 0, cache_);
}

void PictureButton::resizeEvent(QResizeEvent* event) {
  cache_ = QPixmap();
  QAbstractButton::resizeEvent(event);
}

int ResultListView::CurrentRow() const {
  if (selectionModel() == nullptr) return -1;
  const QModelIndexList rows = selectionModel()->selectedRows();
  if (rows.isEmpty()) return -1;
  return std::min_element(
             rows.begin(), rows.end(),
             [](const QModelIndex& a, const QModelIndex& b) { return a.row() < b.row(); })
      ->row();
}

void ResultListView::SetCurrentRow(int row) {
  if (model() == nullptr || selectionModel() == nullptr) return;
  if (row < 0 || row >= model()->rowCount()) {
    selectionModel()->clearSelection();
    return;
  }
  const QModelIndex index = model()->index(row, 0);
  selectionModel()->setCurrentIndex(
      index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  scrollTo(index);
}

void ResultListView::mouseReleaseEvent(QMouseEvent* event) {
  QTreeView::mouseReleaseEvent(event);
  if (event->button() == Qt::RightButton) emit rightClicked();
}

void ResultListView::mouseDoubleClickEvent(QMouseEvent* event) {
  QTreeView::mouseDoubleClickEvent(event);
  if (event->button() == Qt::LeftButton) emit listDoubleClicked();
}

}  // namespace xyx

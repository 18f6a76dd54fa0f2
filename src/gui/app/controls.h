#pragma once
// The window's control kinds that plain Qt widgets do not cover: they add the events that the
// window's handlers are bound to (right press on the search button, focus changes of the search
// box, left press on a hyperlink label, right and double clicks on the list).

#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QString>
#include <QTreeView>

namespace xyx {

// The search button: a push button that also reports a right-button press.
class SearchButton : public QPushButton {
  Q_OBJECT

 public:
  using QPushButton::QPushButton;

 signals:
  void rightPressed();

 protected:
  void mousePressEvent(QMouseEvent* event) override;
};

// The search box: a single-line edit that reports gaining and losing the keyboard focus.
class SearchEdit : public QLineEdit {
  Q_OBJECT

 public:
  using QLineEdit::QLineEdit;

 signals:
  void focusGained();
  void focusLost();

 protected:
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
};

// A hyperlink label. A left press is reported; a click on a label with a link target opens
// that target itself, without any handler of the window.
class LinkLabel : public QLabel {
  Q_OBJECT

 public:
  explicit LinkLabel(const QString& text, QWidget* parent = nullptr);

  QString linkTarget() const { return target_; }
  void setLinkTarget(const QString& target) { target_ = target; }

 signals:
  void leftPressed();

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  QString target_;
  bool pressed_ = false;
};

// A borderless button that only shows its picture, stretched to the button's size.
class PictureButton : public QAbstractButton {
  Q_OBJECT

 public:
  PictureButton(const QString& svgResource, QWidget* parent = nullptr);

  QString pictureResource() const { return resource_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  QString resource_;
  QPixmap cache_;
};

// The result list in report style. Reports right clicks and double clicks anywhere on it;
// selection follows the press first, so handlers see the row under the pointer as current.
class ResultListView : public QTreeView {
  Q_OBJECT

 public:
  using QTreeView::QTreeView;

  // The first selected row, -1 when none.
  int CurrentRow() const;
  void SetCurrentRow(int row);

 signals:
  void rightClicked();
  void listDoubleClicked();

 protected:
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
};

// Renders an SVG resource at the given size and device pixel ratio.
QPixmap RenderSvg(const QString& resource, QSize size, qreal devicePixelRatio = 1.0);

}  // namespace xyx

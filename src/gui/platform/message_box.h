#pragma once
// Modal message boxes. A test answers the next box in advance with setNextAnswer; the box is
// then not shown, and what would have been shown is kept for lastShown().

#include <QMessageBox>
#include <QString>

namespace xyx {

class MessageBox {
 public:
  struct Shown {
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QString title;
    QString text;
    QMessageBox::StandardButtons buttons = QMessageBox::NoButton;
  };

  static QMessageBox::StandardButton Show(
      QWidget* parent, QMessageBox::Icon icon, const QString& title, const QString& text,
      QMessageBox::StandardButtons buttons = QMessageBox::Ok,
      QMessageBox::StandardButton defaultButton = QMessageBox::NoButton);

  // Test hooks.
  static void setNextAnswer(QMessageBox::StandardButton answer);
  static Shown lastShown();
  static int shownCount();
  static void resetHooks();
};

}  // namespace xyx

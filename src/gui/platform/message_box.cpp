#include "gui/platform/message_box.h"

#include <optional>

namespace xyx {
namespace {

struct MessageBoxHooks {
  std::optional<QMessageBox::StandardButton> nextAnswer;
  MessageBox::Shown last;
  int count = 0;
};

MessageBoxHooks& Hooks() {
  static MessageBoxHooks hooks;
  return hooks;
}

}  // namespace

QMessageBox::StandardButton MessageBox::Show(QWidget* parent, QMessageBox::Icon icon,
                                             const QString& title, const QString& text,
                                             QMessageBox::StandardButtons buttons,
                                             QMessageBox::StandardButton defaultButton) {
  MessageBoxHooks& hooks = Hooks();
  hooks.last = Shown{icon, title, text, buttons};
  ++hooks.count;
  if (hooks.nextAnswer) {
    const QMessageBox::StandardButton answer = *hooks.nextAnswer;
    hooks.nextAnswer.reset();
    return answer;
  }
  QMessageBox box(icon, title, text, buttons, parent);
  if (defaultButton != QMessageBox::NoButton) box.setDefaultButton(defaultButton);
  return static_cast<QMessageBox::StandardButton>(box.exec());
}

void MessageBox::setNextAnswer(QMessageBox::StandardButton answer) {
  Hooks().nextAnswer = answer;
}

MessageBox::Shown MessageBox::lastShown() {
  return Hooks().last;
}

int MessageBox::shownCount() {
  return Hooks().count;
}

void MessageBox::resetHooks() {
  Hooks() = MessageBoxHooks{};
}

}  // namespace xyx

#include "gui/app/common_file_dialog.h"

#include <utility>

namespace xyx {

CommonFileDialog::CommonFileDialog(const QString& name, FileDialogSettings settings,
                                   QObject* parent)
    : QObject(parent), settings_(std::move(settings)) {
  setObjectName(name);
}

bool CommonFileDialog::Show(QWidget* owner) {
  fileName_ = FileDialog::instance()->Show(owner, settings_);
  return !fileName_.isEmpty();
}

}  // namespace xyx

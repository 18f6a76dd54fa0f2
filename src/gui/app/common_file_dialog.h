#pragma once
// A common file dialog as a (never visible) part of the window: it keeps its designed settings
// and the file chosen when it was last shown.

#include <QObject>
#include <QString>

#include "gui/platform/file_dialog.h"

class QWidget;

namespace xyx {

class CommonFileDialog : public QObject {
  Q_OBJECT

 public:
  CommonFileDialog(const QString& name, FileDialogSettings settings, QObject* parent);

  const FileDialogSettings& settings() const { return settings_; }

  // Shows the dialog over `owner`; returns true when a file was chosen.
  bool Show(QWidget* owner);
  QString fileName() const { return fileName_; }

 private:
  FileDialogSettings settings_;
  QString fileName_;
};

}  // namespace xyx

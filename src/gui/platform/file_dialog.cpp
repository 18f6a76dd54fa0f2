#include "gui/platform/file_dialog.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QRegularExpression>

namespace xyx {

QStringList ToQtNameFilters(const QString& filter) {
  const QStringList parts = filter.split(QLatin1Char('|'));
  QStringList out;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    QString patterns = parts[i + 1];
    patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
    out.append(parts[i] + QStringLiteral(" (") + patterns + QLatin1Char(')'));
  }
  return out;
}

QString LocalInitialDirectory(const QString& designed) {
  static const QRegularExpression drive(QStringLiteral("^([A-Za-z]):[\\\\/]?(.*)$"));
  const QRegularExpressionMatch m = drive.match(designed);
  if (m.hasMatch()) {
    QString prefix = qEnvironmentVariable("WINEPREFIX");
    if (prefix.isEmpty()) prefix = QDir::homePath() + QStringLiteral("/.wine");
    QString rest = m.captured(2);
    rest.replace(QLatin1Char('\\'), QLatin1Char('/'));
    const QString mapped =
        prefix + QStringLiteral("/drive_") + m.captured(1).toLower() + QLatin1Char('/') + rest;
    if (QFileInfo(mapped).isDir()) return QDir::cleanPath(mapped);
  } else if (!designed.isEmpty() && QFileInfo(designed).isDir()) {
    return designed;
  }
  return QDir::homePath();
}

FileDialog* FileDialog::instance() {
  static FileDialog dialog;
  return &dialog;
}

QString FileDialog::Show(QWidget* parent, const FileDialogSettings& settings) {
  last_ = settings;
  if (next_) {
    QString answer = *next_;
    next_.reset();
    return answer;
  }
  QFileDialog dialog(parent, settings.title, LocalInitialDirectory(settings.initialDirectory));
  const bool save = settings.mode == FileDialogSettings::Mode::Save;
  dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  // An open dialog whose file must exist only accepts existing files in existing folders.
  dialog.setFileMode(!save && settings.fileMustExist ? QFileDialog::ExistingFile
                                                     : QFileDialog::AnyFile);
  dialog.setOption(QFileDialog::DontConfirmOverwrite, !settings.confirmOverwrite);
  const QStringList filters = ToQtNameFilters(settings.filter);
  dialog.setNameFilters(filters);
  if (settings.filterIndex >= 0 && settings.filterIndex < filters.size()) {
    dialog.selectNameFilter(filters[settings.filterIndex]);
  }
  if (!settings.defaultSuffix.isEmpty()) dialog.setDefaultSuffix(settings.defaultSuffix);
  if (dialog.exec() != QDialog::Accepted) return {};
  const QStringList chosen = dialog.selectedFiles();
  return chosen.isEmpty() ? QString() : chosen.first();
}

void FileDialog::setNextFileName(const QString& fileName) {
  next_ = fileName;
}

void FileDialog::resetHooks() {
  next_.reset();
  last_.reset();
}

}  // namespace xyx

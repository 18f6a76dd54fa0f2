#pragma once
// Common open/save file dialogs. The window keeps each dialog's settings as designed; this
// wrapper shows them with QFileDialog. A test answers the next dialog in advance with
// setNextFileName (an empty name stands for "cancelled"); the dialog is then not shown.

#include <QString>
#include <QStringList>
#include <optional>

class QWidget;

namespace xyx {

struct FileDialogSettings {
  enum class Mode { Open, Save };
  Mode mode = Mode::Open;
  QString title;             // empty: the system's default title
  QString filter;            // "description|pattern|description|pattern..."
  int filterIndex = 0;       // the entry selected at first, from 0
  QString initialDirectory;  // may be a Windows path such as "C:\Program Files\..."
  QString defaultSuffix;     // added to a typed name without one (save dialogs)
  bool fileMustExist = false;
  bool confirmOverwrite = false;
};

// "a|b|c|d" -> {"a (b)", "c (d)"}: the name filters QFileDialog understands. A trailing
// description without a pattern is dropped.
QStringList ToQtNameFilters(const QString& filter);

// Where a designed initial directory lies on this machine: a drive path "X:\dir\sub" maps into
// the Wine prefix ($WINEPREFIX or ~/.wine, drive_x/dir/sub) when that exists; otherwise the
// path itself when it exists, and else the home directory.
QString LocalInitialDirectory(const QString& designed);

class FileDialog {
 public:
  static FileDialog* instance();

  // Shows the dialog and returns the chosen file, or an empty text when cancelled.
  QString Show(QWidget* parent, const FileDialogSettings& settings);

  // Test hooks.
  void setNextFileName(const QString& fileName);
  std::optional<FileDialogSettings> lastSettings() const { return last_; }
  void resetHooks();

 private:
  std::optional<QString> next_;
  std::optional<FileDialogSettings> last_;
};

}  // namespace xyx

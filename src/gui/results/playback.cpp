#include "gui/results/playback.h"

#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QStringList>

#include "core/platform/registry_store.h"
#include "core/platform/temp_file.h"
#include "core/results/playback.h"
#include "core/text/encoding.h"
#include "gui/app/local_text_qt.h"
#include "gui/app/main_window.h"
#include "gui/platform/message_box.h"

namespace xyx {

namespace {

constexpr int kAddressColumn = 3;

QMessageBox::Icon NoticeIcon(int flags) {
  switch (flags & 0x70) {
    case 0x10:
      return QMessageBox::Critical;
    case 0x20:
      return QMessageBox::Question;
    case 0x30:
      return QMessageBox::Warning;
    case 0x40:
      return QMessageBox::Information;
    default:
      return QMessageBox::NoIcon;
  }
}

QMessageBox::StandardButtons NoticeButtons(int flags) {
  switch (flags & 0x0F) {
    case 1:
      return QMessageBox::Ok | QMessageBox::Cancel;
    case 2:
      return QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore;
    case 3:
      return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case 4:
      return QMessageBox::Yes | QMessageBox::No;
    case 5:
      return QMessageBox::Retry | QMessageBox::Cancel;
    default:
      return QMessageBox::Ok;
  }
}

int ButtonCode(QMessageBox::StandardButton button) {
  switch (button) {
    case QMessageBox::Ok:
      return 1;
    case QMessageBox::Cancel:
      return 2;
    case QMessageBox::Abort:
      return 3;
    case QMessageBox::Retry:
      return 4;
    case QMessageBox::Ignore:
      return 5;
    case QMessageBox::Yes:
      return 6;
    case QMessageBox::No:
      return 7;
    default:
      return 0;
  }
}

QString FromUtf8(const std::string& text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

void ReadPlayerPath(AppState& state) {
  state.playerPath = ReadPlayerValue(RegistryStore::ForCurrentUser());
}

void PlayResource(MainWindow& window, const Text& address) {
  AppState& state = window.state();
  if (state.playerPath.empty()) ReadPlayerPath(state);
  if (state.playerPath.empty() || !PathExists(state.playerPath)) {
    state.playerPath = Text(kDefaultPlayerPath);
  }
  if (PathExists(state.playerPath)) {
    // A playlist that cannot be written is not reported; the player is started all the same.
    const TemporaryFile playlist =
        CreateTemporaryFile(TemporaryDirectory(), kPlaylistSuffix, PlaylistContent(address));
    window.SetStatusText(QStringLiteral("已双击启动快播，正在播放影片！"));
    RunProgram(FromUtf8(LocalToUtf8(state.playerPath)), FromUtf8(playlist.path.string()));
    return;
  }
  ShowNotice(
      QStringLiteral("由于程序无法自动找到快播，要想双击播放，请先手动指定快播主程序！\r\n\r\n"
                     "如果你尚未安装快播，请先安装快播，然后指定快播主程序(QvodPlayer.exe)"),
      0, QStringLiteral("程序找不到快播在哪里"));
  state.playerPath.clear();
  // This double-click plays nothing; the next one uses the player chosen now.
  ChoosePlayer(window);
}

void ChoosePlayer(MainWindow& window) {
  CommonFileDialog* dialog = window.playerDialog();
  if (!dialog->Show(&window)) return;
  AppState& state = window.state();
  state.chosenPlayerFile = ToLocal(dialog->fileName());
  RegistryStore store = RegistryStore::ForCurrentUser();
  // A failed write leaves the choice for this run only.
  if (ReadPlayerValue(store) != state.chosenPlayerFile) {
    WritePlayerValue(store, state.chosenPlayerFile);
  }
  state.playerPath = state.chosenPlayerFile;
}

int ShowNotice(const QString& message, int flags, const QString& title) {
  const int shown = NoticeFlags(flags);
  // The system-modal flag has no counterpart here; a box without owner is modal for the
  // whole program.
  const QString caption = FromLocal(NoticeCaption(ToLocal(title)));
  return ButtonCode(
      MessageBox::Show(nullptr, NoticeIcon(shown), caption, message, NoticeButtons(shown)));
}

void RunProgram(const QString& program, const QString& parameter) {
  const QString wine = QStandardPaths::findExecutable(QStringLiteral("wine"));
  // The program was found relative to the working directory; a bare name would otherwise be
  // looked up on the PATH instead.
  const QFileInfo file(program);
  const QString path = file.exists() ? file.absoluteFilePath() : program;
  const ProgramCommand command =
      PlayerCommand(path.toStdString(), parameter.toStdString(), wine.toStdString());
  QStringList arguments;
  for (const std::string& argument : command.arguments) arguments << FromUtf8(argument);
  QProcess::startDetached(FromUtf8(command.program), arguments);
}

void ListDoubleClicked(MainWindow& window) {
  const int row = window.resultList()->CurrentRow();
  if (row < 0) return;
  PlayResource(window, ToLocal(window.resultModel()->CellText(row, kAddressColumn)));
}

}  // namespace xyx

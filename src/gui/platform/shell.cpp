#include "gui/platform/shell.h"

#include <QDesktopServices>
#include <QUrl>

namespace xyx {
namespace {

struct ShellHooks {
  bool recording = false;
  QStringList opened;
};

ShellHooks& Hooks() {
  static ShellHooks hooks;
  return hooks;
}

}  // namespace

void Shell::OpenUrl(const QString& target) {
  if (Hooks().recording) {
    Hooks().opened.append(target);
    return;
  }
  // fromUserInput takes both web addresses and local paths, as the shell's "open" does.
  QDesktopServices::openUrl(QUrl::fromUserInput(target));
}

void Shell::setRecording(bool on) {
  Hooks().recording = on;
}

QStringList Shell::openedUrls() {
  return Hooks().opened;
}

void Shell::clearOpenedUrls() {
  Hooks().opened.clear();
}

}  // namespace xyx

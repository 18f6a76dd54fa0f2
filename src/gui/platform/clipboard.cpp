#include "gui/platform/clipboard.h"

#include <QClipboard>
#include <QGuiApplication>

namespace xyx {
namespace {

struct ClipboardHooks {
  bool recording = false;
  QString last;
};

ClipboardHooks& Hooks() {
  static ClipboardHooks hooks;
  return hooks;
}

}  // namespace

void Clipboard::SetText(const QString& text) {
  Hooks().last = text;
  if (Hooks().recording) return;
  QGuiApplication::clipboard()->setText(text);
}

QString Clipboard::Text() {
  if (Hooks().recording) return Hooks().last;
  return QGuiApplication::clipboard()->text();
}

void Clipboard::setRecording(bool on) {
  Hooks().recording = on;
}

QString Clipboard::lastText() {
  return Hooks().last;
}

}  // namespace xyx

#pragma once
// Opening a document or web address with the desktop's default handler. Tests switch the
// wrapper into recording mode so that nothing is launched and the calls can be inspected.

#include <QString>
#include <QStringList>

namespace xyx {

class Shell {
 public:
  // Opens `target` (a web address or a local path); the outcome is ignored.
  static void OpenUrl(const QString& target);

  // Test hooks: while recording, OpenUrl only appends its argument to OpenedUrls().
  static void setRecording(bool on);
  static QStringList openedUrls();
  static void clearOpenedUrls();
};

// Asks the desktop to open a document or address; the outcome is ignored.
inline void OpenInShell(const QString& target) {
  Shell::OpenUrl(target);
}

}  // namespace xyx

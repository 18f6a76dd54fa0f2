#pragma once
// The system clipboard. Tests switch on recording so that they never touch the desktop's
// clipboard and can read back what the program put there.

#include <QString>

namespace xyx {

class Clipboard {
 public:
  static void SetText(const QString& text);
  static QString Text();

  // Test hooks: while recording, SetText only stores the text for lastText().
  static void setRecording(bool on);
  static QString lastText();
};

}  // namespace xyx

#pragma once
// Start-up and exit of the desktop program.

#include <QObject>

#include "gui/app/app_state.h"

class QCoreApplication;
class QWidget;

namespace xyx {

// Frees the global state when the program ends. However often it is asked to, it runs once.
class ExitRoutine {
 public:
  explicit ExitRoutine(AppState& state) : state_(state) {}

  // Runs the routine when the application is about to quit.
  void Register(QCoreApplication& app);
  void Run();
  bool hasRun() const { return ran_; }

 private:
  AppState& state_;
  bool ran_ = false;
};

// With XIYINGXIA_STARTUP_MARKER=1 in the environment, prints one line once `window` has been
// painted and the event loop has gone idle:
//   xiyingxia-startup main_ms=<ms since main> cpu_ms=<processor time used>
//   epoch_us=<wall clock, microseconds>
void WatchStartup(QWidget& window);

// The whole program: toolkit, global state, exit routine, main window, message loop.
int RunProgram(int& argc, char** argv);

}  // namespace xyx

#include "gui/app/program.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <memory>

#include "gui/app/main_window.h"

namespace xyx {
namespace {

QElapsedTimer& SinceMain() {
  static QElapsedTimer timer;
  return timer;
}

// Waits for the window's first paint, then for the queue to drain once more.
class StartupWatcher : public QObject {
 public:
  explicit StartupWatcher(QWidget& window) : QObject(&window) { window.installEventFilter(this); }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint && !seenPaint_) {
      seenPaint_ = true;
      watched->removeEventFilter(this);
      QTimer::singleShot(0, this, &StartupWatcher::Report);
    }
    return false;
  }

 private:
  void Report() {
    const auto epochUs = std::chrono::duration_cast<std::chrono::microseconds>(
                             std::chrono::system_clock::now().time_since_epoch())
                             .count();
    // Processor time as well as wall time: on a busy machine the wall time mostly measures
    // the wait for a core.
    const long long cpuMs = static_cast<long long>(std::clock()) * 1000 / CLOCKS_PER_SEC;
    std::printf("xiyingxia-startup main_ms=%lld cpu_ms=%lld epoch_us=%lld\n",
                static_cast<long long>(SinceMain().elapsed()), cpuMs,
                static_cast<long long>(epochUs));
    std::fflush(stdout);
    deleteLater();
  }

  bool seenPaint_ = false;
};

}  // namespace

void ExitRoutine::Register(QCoreApplication& app) {
  QObject::connect(&app, &QCoreApplication::aboutToQuit, &app, [this] { Run(); });
}

void ExitRoutine::Run() {
  if (ran_) return;
  ran_ = true;
  state_.playerPath.clear();
  state_.playerPath.shrink_to_fit();
  state_.chosenPlayerFile.clear();
  state_.chosenPlayerFile.shrink_to_fit();
  state_.httpSession.reset();
}

void WatchStartup(QWidget& window) {
  if (qEnvironmentVariable("XIYINGXIA_STARTUP_MARKER") != QLatin1String("1")) return;
  new StartupWatcher(window);  // owned by the window
}

int RunProgram(int& argc, char** argv) {
  SinceMain().start();
  QApplication app(argc, argv);

  AppState state;
  // Its constructor creates the request object; when that fails, requests just come back
  // empty and the program runs on.
  state.httpSession = std::make_unique<HttpSession>();

  ExitRoutine exitRoutine(state);
  exitRoutine.Register(app);

  MainWindow window(state);
  WatchStartup(window);
  window.show();

  const int code = app.exec();
  exitRoutine.Run();  // in case the loop ended without the quit signal
  return code;
}

}  // namespace xyx

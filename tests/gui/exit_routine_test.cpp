// Closing the main window ends the message loop and runs the exit routine exactly once.

#include <QApplication>
#include <QTest>
#include <QTimer>
#include <memory>

#include "gui/app/main_window.h"
#include "gui/app/program.h"

namespace xyx {

class ExitRoutineTest : public QObject {
  Q_OBJECT

 private slots:
  void closingTheWindowRunsTheRoutineOnce();
};

void ExitRoutineTest::closingTheWindowRunsTheRoutineOnce() {
  AppState state;
  state.playerPath = "/opt/qvod/QvodPlayer.exe";
  state.chosenPlayerFile = "/home/u/QvodPlayer.exe";
  state.httpSession = std::make_unique<HttpSession>();
  std::weak_ptr<HttpRequest> request = state.httpSession->GetRequestObject();
  QVERIFY(!request.expired());
  ExitRoutine exitRoutine(state);
  exitRoutine.Register(*QCoreApplication::instance());

  MainWindow window(state);
  window.show();
  QVERIFY(QTest::qWaitForWindowExposed(&window));
  QTimer::singleShot(0, &window, &QWidget::close);
  QCOMPARE(QApplication::exec(), 0);

  QVERIFY(exitRoutine.hasRun());
  QVERIFY(state.playerPath.empty());
  QVERIFY(state.chosenPlayerFile.empty());
  QVERIFY(!state.httpSession);
  QVERIFY(request.expired());  // the request object went with the session

  // Asked again (the program asks once more after the loop): nothing is freed a second time.
  state.playerPath = "kept";
  exitRoutine.Run();
  QCOMPARE(state.playerPath, std::string("kept"));
}

}  // namespace xyx

QTEST_MAIN(xyx::ExitRoutineTest)
#include "exit_routine_test.moc"

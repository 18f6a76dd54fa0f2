// Filling the result list: a search whose reply holds 100,000 lines, from the click to the
// final column title, with the window shown (run under Xvfb). Also the longest gap between
// two passes of the event loop while the rows go in, and, for comparison, the naive way: one
// row per event-loop pass with a repaint after each.
//   xvfb-run -a build/release/bench/bench_gui_fill [lines] [naive-rows]

#include <httplib.h>

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <thread>

#include "core/search/protocol.h"
#include "core/web/http_session.h"
#include "gui/app/main_window.h"
#include "gui/search/search_command.h"

namespace {

std::string Reply(int lines) {
  std::string body =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?><SOAP-ENV:Envelope><SOAP-ENV:Body>"
      "<NS1:searchResponse><return xsi:type=\"xsd:string\">";
  const char* const names[] = {"大话西游 第%d集 HD", "Metropolis (1927) part %d",
                               "无间道 %d BD 中字"};
  char name[128];
  for (int i = 0; i < lines; ++i) {
    std::snprintf(name, sizeof name, names[i % 3], i);
    body += std::to_string(50'000'000LL + i * 7919LL) + "|" + std::to_string(1'000'000 + i) +
            "ABCDEF0123456789ABCDEF0123|周星驰|0|" + name + "\n";
  }
  return body + "</return></NS1:searchResponse></SOAP-ENV:Body></SOAP-ENV:Envelope>";
}

// The longest time between two passes of the event loop: a zero-interval timer fires once a
// pass, also in the nested passes that the search runs itself.
class GapMonitor : public QObject {
 public:
  void Start() {
    clock_.start();
    last_ = 0;
    longest_ = 0;
    timer_.setInterval(0);
    connect(&timer_, &QTimer::timeout, this, [this] {
      const qint64 now = clock_.nsecsElapsed();
      if (now - last_ > 20'000'000 && rows_) {
        std::printf("  gap of %.1f ms before row %d\n", static_cast<double>(now - last_) / 1e6,
                    rows_());
      }
      longest_ = std::max(longest_, now - last_);
      last_ = now;
    });
    timer_.start();
  }
  void Reset() {
    last_ = clock_.nsecsElapsed();
    longest_ = 0;
  }
  double LongestMs() const { return static_cast<double>(longest_) / 1e6; }
  void Stop() { timer_.stop(); }
  std::function<int()> rows_;

 private:
  QTimer timer_;
  QElapsedTimer clock_;
  qint64 last_ = 0;
  qint64 longest_ = 0;
};

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  const int lines = argc > 1 ? std::atoi(argv[1]) : 100000;
  const int naiveRows = argc > 2 ? std::atoi(argv[2]) : 5000;

  httplib::Server server;
  const std::string reply = Reply(lines);
  server.Post(std::string(xyx::kServicePath), [&](const httplib::Request&, httplib::Response& res) {
    res.set_content(reply, "text/xml; charset=utf-8");
  });
  const int port = server.bind_to_any_port("127.0.0.1");
  std::thread serving([&] { server.listen_after_bind(); });
  while (!server.is_running()) std::this_thread::yield();

  xyx::AppState state;
  state.httpSession = std::make_unique<xyx::HttpSession>();
  xyx::MainWindow window(state);
  window.searchCommand()->SetServiceAddress(
      xyx::ServiceAddress("127.0.0.1:" + std::to_string(port)));
  window.show();
  QElapsedTimer settle;
  settle.start();
  while (settle.elapsed() < 500) QCoreApplication::processEvents();

  window.searchEdit()->setText(QStringLiteral("周星驰"));
  // Rows of an earlier search, so that the filling starts where the list is emptied.
  window.resultModel()->AppendRows({xyx::ResultRow{{"earlier", "1 B", "x", "qvod://"}, 0, 1}});
  GapMonitor gaps;
  gaps.rows_ = [&] { return window.resultModel()->rowCount(); };
  gaps.Start();
  // The gap that counts is the one while rows go in: start measuring when the list is emptied.
  QObject::connect(window.resultModel(), &QAbstractItemModel::modelReset, &gaps,
                   [&] { gaps.Reset(); });
  QElapsedTimer timer;
  timer.start();
  window.searchButton()->click();
  const double searchMs = static_cast<double>(timer.nsecsElapsed()) / 1e6;
  const double longestGap = gaps.LongestMs();
  gaps.Stop();
  const int rows = window.resultModel()->rowCount();
  std::printf(
      "search of %d lines: %d rows, click to final title %.0f ms, longest event-loop gap "
      "while filling %.1f ms\n",
      lines, rows, searchMs, longestGap);
  std::printf("title: %s\n", window.resultModel()->ColumnTitle(0).toUtf8().constData());

  // The naive way, on fewer rows: it grows with the square of the row count.
  window.resultModel()->Clear();
  std::vector<xyx::ResultRow> all;
  for (int i = 0; i < naiveRows; ++i) {
    all.push_back(
        xyx::ResultRow{{window.resultModel()->CellText(i, 0), "1 KB", "actor", "qvod://"}, 0, i});
    all.back().texts[0] = QStringLiteral("film %1").arg(i);
  }
  timer.restart();
  for (auto& row : all) {
    window.resultModel()->AppendRow(std::move(row));
    window.resultList()->viewport()->repaint();
    QCoreApplication::processEvents();
  }
  const double naiveMs = static_cast<double>(timer.nsecsElapsed()) / 1e6;
  std::printf("naive, %d rows one per pass with a repaint each: %.0f ms (%.3f ms a row)\n",
              naiveRows, naiveMs, naiveMs / naiveRows);
  std::printf("batched, %d rows: %.3f ms a row; naive / batched per row: %.0fx\n", rows,
              searchMs / rows, (naiveMs / naiveRows) / (searchMs / rows));

  server.stop();
  serving.join();
  return 0;
}

// The search command end to end: the real window against the reference service started as a
// process, and against a local server that answers slowly, for the timing cases.

#include <httplib.h>

#include <qpa/qwindowsysteminterface.h>

#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <atomic>
#include <memory>
#include <mutex>
#include <thread>

#include "core/search/protocol.h"
#include "core/web/http_session.h"
#include "gui/app/main_window.h"
#include "gui/search/search_command.h"
#include "service_process.h"

namespace xyx {

namespace {

const QString kIdle = QStringLiteral("搜  索 >>");

QString FoundTitle(int n) {
  return QStringLiteral("资源 >> 已找到 %1 条快播资源(双击自动播放)").arg(n);
}

// A local server that answers every search with `reply` after `delayMs`, keeping the bodies it
// was sent.
class SlowServer {
 public:
  SlowServer(std::string reply, int delayMs) : reply_(std::move(reply)), delayMs_(delayMs) {
    server_.Post(std::string(kServicePath),
                 [this](const httplib::Request& req, httplib::Response& res) {
                   {
                     std::lock_guard lock(mutex_);
                     bodies_.push_back(req.body);
                   }
                   for (int waited = 0; waited < delayMs_ && !stopping_; waited += 10) {
                     std::this_thread::sleep_for(std::chrono::milliseconds(10));
                   }
                   res.set_content(reply_, "text/xml; charset=utf-8");
                 });
    port_ = server_.bind_to_any_port("127.0.0.1");
    thread_ = std::thread([this] { server_.listen_after_bind(); });
    while (!server_.is_running()) std::this_thread::yield();
  }
  ~SlowServer() {
    stopping_ = true;
    server_.stop();
    thread_.join();
  }
  Text Address() const { return ServiceAddress("127.0.0.1:" + std::to_string(port_)); }
  std::vector<std::string> Bodies() {
    std::lock_guard lock(mutex_);
    return bodies_;
  }

 private:
  httplib::Server server_;
  std::string reply_;
  int delayMs_;
  std::atomic<bool> stopping_{false};
  int port_ = 0;
  std::thread thread_;
  std::mutex mutex_;
  std::vector<std::string> bodies_;
};

std::string Reply(int lines) {
  std::string body = "<?xml version=\"1.0\"?><Envelope><return xsi:type=\"xsd:string\">";
  for (int i = 0; i < lines; ++i) {
    body += std::to_string(1000 + i) + "|H" + std::to_string(i) + "|actor|0|film " +
            std::to_string(i) + "\n";
  }
  return body + "</return></Envelope>";
}

}  // namespace

class SearchTest : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void cleanup();

  void searchFillsRowsFromTheService();
  void secondClickStopsALongSearch();
  void clickDuringTheRequestStopsAfterTheFirstRow();
  void failedSearchEmptiesTheListAndReportsZero();
  void hintTextIsSentAsTheKeyword();
  void closingTheWindowDuringTheRequestEndsTheSearch();

 private:
  void StartService(const QByteArray& catalogue);
  void PointAt(const Text& address);
  void Search(const QString& keyword);

  std::unique_ptr<QTemporaryDir> dir_;
  ServiceProcess service_;
  std::unique_ptr<AppState> state_;
  std::unique_ptr<MainWindow> window_;
};

void SearchTest::init() {
  dir_ = std::make_unique<QTemporaryDir>();
  state_ = std::make_unique<AppState>();
  state_->httpSession = std::make_unique<HttpSession>();
  window_ = std::make_unique<MainWindow>(*state_);
  window_->show();
  QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
}

void SearchTest::cleanup() {
  window_.reset();
  state_.reset();
  service_.Stop();
  dir_.reset();
}

void SearchTest::StartService(const QByteArray& catalogue) {
  QByteArray error;
  const QString host = service_.Start(dir_->path(), catalogue, {"--limit", "100000"}, error);
  QVERIFY2(!host.isEmpty(), error.constData());
  PointAt(ServiceAddress(host.toStdString()));
}

void SearchTest::PointAt(const Text& address) {
  // The window's own command, pointed at the test's service.
  auto* command = window_->searchCommand();
  QVERIFY(command);
  command->SetServiceAddress(address);
}

void SearchTest::Search(const QString& keyword) {
  auto* edit = window_->searchEdit();
  edit->setFocus();
  edit->setText(keyword);
  QTest::mouseClick(window_->searchButton(), Qt::LeftButton);
}

void SearchTest::searchFillsRowsFromTheService() {
  StartService(
      "734003200\tHASH1\t刘德华\t无间道 Infernal Affairs HD\t0\n"
      "4700000000\tHASH2\t梁朝伟\t无间道 & friends | BD\t1\n"
      "1023\tHASH3\tNobody\t无间道 trailer\t2\n"
      "1024\tHASH4\tSomeone\tanother film\t3\n");
  auto* model = window_->resultModel();
  // Rows of an earlier search are gone.
  model->AppendRows({ResultRow{{"old", "1 B", "x", "qvod://"}, 0, 1}});
  Search(QStringLiteral("无间道"));
  QCOMPARE(model->ColumnTitle(0), FoundTitle(3));
  QCOMPARE(window_->searchButton()->text(), kIdle);
  QCOMPARE(model->rowCount(), 3);
  struct Want {
    QString name, size, actor, address;
    qint64 value;
  };
  const Want want[] = {
      {"无间道 Infernal Affairs HD", "700 MB", "刘德华",
       "qvod://734003200|HASH1|无间道 Infernal Affairs HD|", 734003200},
      {"无间道 & friends | BD", "4.38 GB", "梁朝伟",
       "qvod://4700000000|HASH2|无间道 & friends | BD|", 4700000000},
      {"无间道 trailer", "1023 B", "Nobody", "qvod://1023|HASH3|无间道 trailer|", 1023},
  };
  for (int row = 0; row < 3; ++row) {
    QCOMPARE(model->CellText(row, 0), want[row].name);
    QCOMPARE(model->CellText(row, 1), want[row].size);
    QCOMPARE(model->CellText(row, 2), want[row].actor);
    QCOMPARE(model->CellText(row, 3), want[row].address);
    QCOMPARE(model->RowValue(row), want[row].value);
  }
}

void SearchTest::secondClickStopsALongSearch() {
  QByteArray catalogue;
  for (int i = 0; i < 50000; ++i) {
    catalogue += QByteArray::number(1000 + i) + "\tH" + QByteArray::number(i) + "\tactor\tfilm " +
                 QByteArray::number(i) + "\t0\n";
  }
  StartService(catalogue);
  auto* model = window_->resultModel();
  auto* button = window_->searchButton();
  QString captionAfterStop;
  int rowsWhenStopped = -1;
  // Once rows are coming in, click again: the search ends after the line it is on.
  QTimer poll;
  poll.setInterval(1);
  connect(&poll, &QTimer::timeout, this, [&] {
    if (model->rowCount() == 0 || rowsWhenStopped >= 0) return;
    QTest::mouseClick(button, Qt::LeftButton);
    captionAfterStop = button->text();
    rowsWhenStopped = model->rowCount();
  });
  poll.start();
  Search(QStringLiteral("film"));
  poll.stop();
  QCOMPARE(captionAfterStop, QStringLiteral("停止中.."));
  QCOMPARE(button->text(), kIdle);
  const int rows = model->rowCount();
  QVERIFY2(rows > 0 && rows < 50000, qPrintable(QString::number(rows)));
  QVERIFY(rows >= rowsWhenStopped);
  QCOMPARE(model->ColumnTitle(0), FoundTitle(rows));
  QCOMPARE(model->CellText(rows - 1, 0), QStringLiteral("film %1").arg(rows - 1));
}

void SearchTest::clickDuringTheRequestStopsAfterTheFirstRow() {
  SlowServer server(Reply(500), 600);
  PointAt(server.Address());
  auto* button = window_->searchButton();
  // A click that reaches the window system's queue while the request waits is held back
  // until the reply is in.
  QTimer::singleShot(150, this, [&] {
    QWindow* handle = window_->windowHandle();
    const QPointF local = button->mapTo(window_.get(), button->rect().center());
    const QPointF global = window_->mapToGlobal(local);
    QWindowSystemInterface::handleMouseEvent<QWindowSystemInterface::AsynchronousDelivery>(
        handle, local, global, Qt::LeftButton, Qt::LeftButton, QEvent::MouseButtonPress);
    QWindowSystemInterface::handleMouseEvent<QWindowSystemInterface::AsynchronousDelivery>(
        handle, local, global, Qt::NoButton, Qt::LeftButton, QEvent::MouseButtonRelease);
  });
  QTimer::singleShot(400, this, [&] {
    // Still waiting for the reply: the click has not been handled yet.
    QCOMPARE(button->text(), QStringLiteral("停止搜索"));
  });
  Search(QStringLiteral("film"));
  QCOMPARE(window_->resultModel()->rowCount(), 1);
  QCOMPARE(window_->resultModel()->ColumnTitle(0), FoundTitle(1));
  QCOMPARE(button->text(), kIdle);
}

void SearchTest::failedSearchEmptiesTheListAndReportsZero() {
  auto* model = window_->resultModel();
  model->AppendRows({ResultRow{{"old", "1 B", "x", "qvod://"}, 0, 1}});
  PointAt(ServiceAddress("127.0.0.1:1"));
  Search(QStringLiteral("anything"));
  QCOMPARE(model->rowCount(), 0);
  QCOMPARE(model->ColumnTitle(0), FoundTitle(0));
  QCOMPARE(window_->searchButton()->text(), kIdle);
}

void SearchTest::hintTextIsSentAsTheKeyword() {
  SlowServer server(Reply(2), 0);
  PointAt(server.Address());
  QVERIFY(window_->searchEdit()->font().italic());  // the hint shows
  QTest::mouseClick(window_->searchButton(), Qt::LeftButton);
  const auto bodies = server.Bodies();
  QCOMPARE(bodies.size(), std::size_t{1});
  QVERIFY(bodies[0].find("<SKeyWord xsi:type=\"xsd:string\">这里输入电影或演员名称</SKeyWord>") !=
          std::string::npos);
  QCOMPARE(window_->resultModel()->rowCount(), 2);
}

void SearchTest::closingTheWindowDuringTheRequestEndsTheSearch() {
  SlowServer server(Reply(10), 10000);
  PointAt(server.Address());
  QTimer::singleShot(200, window_.get(), [&] { window_->close(); });
  Search(QStringLiteral("film"));
  // The request was abandoned, not waited out: no response ever arrived.
  QCOMPARE(state_->httpSession->GetStatus(), 0);
  // Nothing ran after the window was gone: no rows, no final title.
  QCOMPARE(window_->resultModel()->rowCount(), 0);
  QCOMPARE(window_->resultModel()->ColumnTitle(0), QStringLiteral("资源 >> 正在搜索中.."));
}

}  // namespace xyx

QTEST_MAIN(xyx::SearchTest)
#include "search_test.moc"

#include "server.h"

#include <atomic>
#include <thread>

#include "core/search/protocol.h"
#include "core/search/result_text.h"
#include "core/text/encoding.h"
#include "service_fixture.h"

namespace xyx::service {
namespace {

class ServerTest : public CatalogueFixture {
 protected:
  void SetUp() override {
    CatalogueFixture::SetUp();
    InstallSearchService(server_, db_, 1000);
    port_ = server_.bind_to_any_port("127.0.0.1");
    ASSERT_GT(port_, 0);
    RaiseListenBacklog(port_);
    thread_ = std::thread([this] { server_.listen_after_bind(); });
    while (!server_.is_running()) std::this_thread::yield();
  }
  void TearDown() override {
    server_.stop();
    thread_.join();
    CatalogueFixture::TearDown();
  }
  httplib::Client Client() { return httplib::Client("127.0.0.1", port_); }

  httplib::Server server_;
  int port_ = 0;
  std::thread thread_;
};

std::vector<ResourceRecord> Records(const std::string& utf8Reply) {
  return ParseResultText(ExtractResultText(Utf8ToLocalText(utf8Reply)));
}

TEST_F(ServerTest, AnswersTheSearchCall) {
  auto client = Client();
  const auto res = client.Post(std::string(kServicePath), BuildSearchRequest("metropolis"),
                               "application/x-www-form-urlencoded");
  ASSERT_TRUE(res);
  EXPECT_EQ(res->status, 200);
  const auto records = Records(res->body);
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(records[0].hash, "BBBB");
  EXPECT_EQ(QvodAddress(records[0]),
            Utf8ToLocalText("qvod://4700000000|BBBB|大都会 Metropolis (1927)|"));
}

TEST_F(ServerTest, BadRequestsGetSoapFaults) {
  auto client = Client();
  const std::string path(kServicePath);
  struct Row {
    httplib::Result res;
    int status;
  };
  Row rows[] = {
      {client.Get(path), 405},
      {client.Post("/other", BuildSearchRequest("x"), "text/xml"), 404},
      {client.Post(path, "", "text/xml"), 400},
      {client.Post(path, "<Envelope><Body>", "text/xml"), 400},
      {client.Post(path, std::string(kMaxRequestBody + 1, 'x'), "text/xml"), 413},
  };
  for (auto& r : rows) {
    ASSERT_TRUE(r.res);
    EXPECT_EQ(r.res->status, r.status);
    EXPECT_NE(r.res->body.find("<SOAP-ENV:Fault>"), std::string::npos) << r.status;
  }
  // Still serving after all of that.
  const auto ok = client.Post(path, BuildSearchRequest(""), "text/xml");
  ASSERT_TRUE(ok);
  EXPECT_EQ(Records(ok->body).size(), 4u);
}

TEST_F(ServerTest, SixteenClientsAtOnceAllGetCompleteAnswers) {
  const std::pair<std::string, std::size_t> searches[] = {
      {"metropolis", 1}, {"e", 4}, {"", 4}, {"nothing", 0}};
  std::atomic<int> good{0};
  std::vector<std::thread> clients;
  for (int i = 0; i < 16; ++i) {
    clients.emplace_back([&, i] {
      httplib::Client client("127.0.0.1", port_);
      for (int round = 0; round < 10; ++round) {
        const auto& [keyword, count] = searches[(i + round) % 4];
        const auto res =
            client.Post(std::string(kServicePath), BuildSearchRequest(keyword), "text/xml");
        if (res && res->status == 200 && Records(res->body).size() == count) ++good;
      }
    });
  }
  for (auto& t : clients) t.join();
  EXPECT_EQ(good.load(), 160);
}

}  // namespace
}  // namespace xyx::service

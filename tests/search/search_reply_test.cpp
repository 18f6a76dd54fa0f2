// The search's whole core path against a real local server: request, access, decoding,
// extraction, lines and records, for the reply shapes a service may send.

#include <gtest/gtest.h>
#include <httplib.h>

#include <thread>

#include "core/search/protocol.h"
#include "core/search/result_text.h"
#include "core/text/encoding.h"
#include "core/web/http_session.h"

namespace xyx {
namespace {

class ReplyServer : public ::testing::Test {
 protected:
  void SetUp() override {
    server_.Post(std::string(kServicePath),
                 [this](const httplib::Request& req, httplib::Response& res) {
                   lastBody_ = req.body;
                   res.set_content(reply_, contentType_);
                 });
    port_ = server_.bind_to_any_port("127.0.0.1");
    thread_ = std::thread([this] { server_.listen_after_bind(); });
    while (!server_.is_running()) std::this_thread::yield();
  }
  void TearDown() override {
    server_.stop();
    thread_.join();
  }

  // The names of the records that the search would list for the current reply.
  std::vector<Text> Search(std::string_view keyword) {
    HttpSession session;
    const Text reply =
        session.AccessWebPage(ServiceAddress("127.0.0.1:" + std::to_string(port_)), {}, 0, 0,
                              std::nullopt, false, BuildSearchRequest(keyword));
    std::vector<Text> names;
    for (const auto& r : ParseResultText(ExtractResultText(reply))) names.push_back(r.name);
    return names;
  }

  httplib::Server server_;
  std::thread thread_;
  int port_ = 0;
  std::string reply_;
  std::string contentType_ = "text/xml; charset=utf-8";
  std::string lastBody_;
};

std::string Envelope(const std::string& lines) {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?><SOAP-ENV:Envelope><SOAP-ENV:Body>"
         "<NS1:searchResponse><return xsi:type=\"xsd:string\">" +
         lines + "</return></NS1:searchResponse></SOAP-ENV:Body></SOAP-ENV:Envelope>";
}

std::string Utf16(const std::string& utf8, bool bigEndian) {
  const std::u16string units = LocalToUtf16(Utf8ToLocalText(utf8));
  std::string out = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
  for (char16_t u : units) {
    const char lo = static_cast<char>(u & 0xFF);
    const char hi = static_cast<char>(u >> 8);
    out += bigEndian ? hi : lo;
    out += bigEndian ? lo : hi;
  }
  return out;
}

const std::string kLines = "1|A|演员|0|无间道\r\n2|B|actor|0|Film &amp; Co &#124; 2\n";

TEST_F(ReplyServer, DecodesEveryReplyShape) {
  struct Row {
    const char* what;
    std::string reply;
    std::vector<std::string> namesUtf8;
  };
  const Row rows[] = {
      {"UTF-8", Envelope(kLines), {"无间道", "Film & Co | 2"}},
      {"UTF-8 with a BOM", "\xEF\xBB\xBF" + Envelope(kLines), {"无间道", "Film & Co | 2"}},
      {"UTF-16LE", Utf16(Envelope(kLines), false), {"无间道", "Film & Co | 2"}},
      {"UTF-16BE", Utf16(Envelope(kLines), true), {"无间道", "Film & Co | 2"}},
      {"several return elements",
       Envelope("1|A|a|0|first\n") + "<return xsi:type=\"xsd:string\">2|B|b|0|second\n</return>",
       {"first"}},
      {"lines around the records",
       Envelope("header line\n\n1|A|a|0|one\nfour|fields|only|\n2|B|b|0|two|\nsix|a|b|c|d|e\n"),
       {"one", "two"}},
      {"no return element", "<html>error page</html>", {}},
  };
  for (const auto& r : rows) {
    reply_ = r.reply;
    std::vector<Text> want;
    for (const auto& n : r.namesUtf8) want.push_back(Utf8ToLocalText(n));
    EXPECT_EQ(Search("x"), want) << r.what;
  }
}

TEST_F(ReplyServer, SendsTheEnvelopeAsItIs) {
  reply_ = Envelope("");
  EXPECT_TRUE(Search("\xD6\xD0 & <b>").empty());  // 中 & <b>
  EXPECT_EQ(lastBody_, BuildSearchRequest("\xD6\xD0 & <b>"));
  EXPECT_NE(lastBody_.find("\xE4\xB8\xAD &amp; &lt;b&gt;"), std::string::npos);
}

}  // namespace
}  // namespace xyx

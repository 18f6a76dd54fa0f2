#include "core/web/http_request.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <chrono>

#include "test_servers.h"

namespace xyx {
namespace {

using test::Clock;
using test::HttplibServer;
using test::OkResponse;
using test::RawServer;
using test::SecondsSince;

class HttpRequestTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* v : {"http_proxy", "HTTPS_PROXY", "https_proxy", "ALL_PROXY", "all_proxy"}) {
      ::unsetenv(v);
    }
    http_.server().Get("/hello", [](const httplib::Request&, httplib::Response& res) {
      res.set_header("X-One", "1");
      res.set_content("hello", "text/plain");
    });
    http_.server().Get("/slow", [](const httplib::Request&, httplib::Response& res) {
      std::this_thread::sleep_for(std::chrono::milliseconds(400));
      res.set_content("late", "text/plain");
    });
    http_.server().Get("/hop", [](const httplib::Request&, httplib::Response& res) {
      res.set_header("X-Hop", "yes");
      res.set_redirect("/hello");
    });
    http_.server().Get("/loop", [](const httplib::Request&, httplib::Response& res) {
      res.set_redirect("/loop");
    });
    http_.server().Get("/gbk", [](const httplib::Request&, httplib::Response& res) {
      res.set_content("\xD6\xD0", "text/plain; charset=gbk");
    });
    http_.Start();
  }
  HttplibServer http_;
};

TEST_F(HttpRequestTest, SynchronousExchangeAndResponseReads) {
  HttpRequest r;
  ASSERT_TRUE(r.Open("GET", http_.Url("/hello")));
  ASSERT_TRUE(r.Send());
  EXPECT_EQ(r.Status(), 200);
  EXPECT_EQ(r.StatusText(), "OK");
  EXPECT_EQ(r.ResponseBody(), "hello");
  EXPECT_EQ(r.ResponseText(), "hello");
  EXPECT_EQ(r.ResponseStream(), Variant(VariantBytes{"hello"}));
  EXPECT_EQ(r.GetResponseHeader("x-ONE"), "1");
  const Text all = r.GetAllResponseHeaders();
  EXPECT_NE(all.find("X-One: 1\r\n"), npos);
  EXPECT_EQ(all.substr(all.size() - 2), "\r\n");
  EXPECT_EQ(all.find("HTTP/1.1"), npos);
}

TEST_F(HttpRequestTest, ResponseTextFollowsTheDeclaredCharset) {
  HttpRequest r;
  ASSERT_TRUE(r.Open("GET", http_.Url("/gbk")));
  ASSERT_TRUE(r.Send());
  EXPECT_EQ(r.ResponseText(), "\xD6\xD0");
}

TEST_F(HttpRequestTest, AsyncWaitTimesOutWithoutAbortingAndCallsTheHook) {
  HttpRequest r;
  int hookCalls = 0;
  r.SetWaitHook([&] { ++hookCalls; });
  ASSERT_TRUE(r.Open("GET", http_.Url("/slow"), true));
  ASSERT_TRUE(r.Send());
  EXPECT_FALSE(r.WaitForResponse(0));
  // Incomplete: the response reads are empty.
  EXPECT_EQ(r.Status(), 0);
  EXPECT_EQ(r.ResponseBody(), "");
  EXPECT_EQ(r.GetAllResponseHeaders(), "");
  EXPECT_TRUE(r.WaitForResponse(5));
  EXPECT_EQ(r.ResponseBody(), "late");
  EXPECT_GE(hookCalls, 5);
  EXPECT_TRUE(r.WaitForResponse(0));
}

TEST_F(HttpRequestTest, AbortFromTheHookEndsTheWait) {
  HttpRequest r;
  r.SetWaitHook([&] { r.Abort(); });
  ASSERT_TRUE(r.Open("GET", http_.Url("/slow"), true));
  ASSERT_TRUE(r.Send());
  const auto start = Clock::now();
  EXPECT_FALSE(r.WaitForResponse(5));
  EXPECT_LT(SecondsSince(start), 1.0);
  EXPECT_EQ(r.ResponseBody(), "");
  // The object is usable again.
  ASSERT_TRUE(r.Open("GET", http_.Url("/hello")));
  ASSERT_TRUE(r.Send());
  EXPECT_EQ(r.ResponseBody(), "hello");
}

TEST_F(HttpRequestTest, RedirectsOnAndOffAndHeadersOfTheLastResponseOnly) {
  HttpRequest r;
  EXPECT_EQ(r.Option(HttpRequest::kOptionEnableRedirects), Variant(true));
  ASSERT_TRUE(r.Open("GET", http_.Url("/hop")));
  ASSERT_TRUE(r.Send());
  EXPECT_EQ(r.ResponseBody(), "hello");
  EXPECT_EQ(r.GetResponseHeader("X-Hop"), "");
  EXPECT_EQ(r.GetResponseHeader("Location"), "");

  ASSERT_TRUE(r.SetOption(HttpRequest::kOptionEnableRedirects, std::int32_t{0}));
  EXPECT_EQ(r.Option(HttpRequest::kOptionEnableRedirects), Variant(false));
  ASSERT_TRUE(r.Open("GET", http_.Url("/hop")));
  ASSERT_TRUE(r.Send());
  EXPECT_EQ(r.Status(), 302);
  EXPECT_EQ(r.GetResponseHeader("Location"), "/hello");
  EXPECT_EQ(r.GetResponseHeader("X-Hop"), "yes");

  // More than ten hops fail.
  ASSERT_TRUE(r.SetOption(HttpRequest::kOptionEnableRedirects, true));
  ASSERT_TRUE(r.Open("GET", http_.Url("/loop")));
  EXPECT_FALSE(r.Send());
  EXPECT_EQ(r.Status(), 0);
}

TEST_F(HttpRequestTest, OtherOptionsAreStoredAndReadBack) {
  HttpRequest r;
  EXPECT_EQ(r.Option(4), Variant());
  ASSERT_TRUE(r.SetOption(4, std::int32_t{13056}));
  EXPECT_EQ(r.Option(4), Variant(std::int32_t{13056}));
  ASSERT_TRUE(r.SetOption(0, Text("agent")));
  EXPECT_EQ(r.Option(0), Variant(Text("agent")));
}

TEST_F(HttpRequestTest, CallsOutOfOrderOrOutsideHttpFail) {
  HttpRequest r;
  EXPECT_FALSE(r.Send());
  EXPECT_FALSE(r.SetRequestHeader("A", "b"));
  EXPECT_FALSE(r.WaitForResponse(0));
  EXPECT_FALSE(r.Open("GET", "ftp://127.0.0.1/x"));
  EXPECT_FALSE(r.Open("GET", "file:///etc/passwd"));
  EXPECT_FALSE(r.Open("GET", "127.0.0.1/x"));
  EXPECT_FALSE(r.Open("BAD METHOD", http_.Url("/hello")));
  ASSERT_TRUE(r.Open("GET", http_.Url("/hello")));
  EXPECT_FALSE(r.SetRequestHeader("X", "a\r\nInjected: 1"));
  EXPECT_FALSE(r.SetRequestHeader("Bad Name", "v"));
  EXPECT_FALSE(r.SetCredentials("u", "p", 7));
  EXPECT_FALSE(r.SetProxy(HttpRequest::kProxyNamed, ""));
  EXPECT_TRUE(r.SetAutoLogonPolicy(0));
}

TEST_F(HttpRequestTest, NeverRedirectsFromHttpsDownToHttp) {
  httplib::SSLServer tls(XYX_WEB_TEST_DATA "/test_cert.pem", XYX_WEB_TEST_DATA "/test_key.pem");
  tls.Get("/secure", [](const httplib::Request&, httplib::Response& res) {
    res.set_content("secure", "text/plain");
  });
  tls.Get("/same",
          [](const httplib::Request&, httplib::Response& res) { res.set_redirect("/secure"); });
  const std::string plain = http_.Url("/hello");
  tls.Get("/down",
          [&](const httplib::Request&, httplib::Response& res) { res.set_redirect(plain); });
  const int port = tls.bind_to_any_port("127.0.0.1");
  std::thread thread([&] { tls.listen_after_bind(); });
  while (!tls.is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  const std::string base = "https://127.0.0.1:" + std::to_string(port);

  HttpRequest r;
  // The test certificate is self-signed: refused until its errors are ignored.
  ASSERT_TRUE(r.Open("GET", base + "/secure"));
  EXPECT_FALSE(r.Send());
  ASSERT_TRUE(r.SetOption(HttpRequest::kOptionSslErrorIgnoreFlags, std::int32_t{13056}));
  ASSERT_TRUE(r.Open("GET", base + "/secure"));
  ASSERT_TRUE(r.Send());
  EXPECT_EQ(r.ResponseBody(), "secure");
  ASSERT_TRUE(r.Open("GET", base + "/same"));
  ASSERT_TRUE(r.Send());
  EXPECT_EQ(r.ResponseBody(), "secure");
  ASSERT_TRUE(r.Open("GET", base + "/down"));
  EXPECT_FALSE(r.Send());
  EXPECT_EQ(r.ResponseBody(), "");
  EXPECT_EQ(r.Status(), 0);

  tls.stop();
  thread.join();
}

TEST_F(HttpRequestTest, BasicCredentials) {
  RawServer raw(
      [](const RawServer::Connection& c, const std::string&) { c.Write(OkResponse("ok")); });
  HttpRequest r;
  ASSERT_TRUE(r.Open("GET", raw.Url("/")));
  ASSERT_TRUE(r.SetCredentials("user", "pa:ss"));
  ASSERT_TRUE(r.Send());
  ASSERT_EQ(raw.requests().size(), 1u);
  EXPECT_NE(raw.requests()[0].find("Authorization: Basic dXNlcjpwYTpzcw==\r\n"), std::string::npos);
}

TEST_F(HttpRequestTest, BodyCapFailsTheRequest) {
  HttplibServer big;
  big.server().Get("/n", [](const httplib::Request& req, httplib::Response& res) {
    const std::size_t n = std::stoul(req.get_param_value("size"));
    // Chunked, so that only the running count can stop it.
    res.set_chunked_content_provider(
        "application/octet-stream",
        [n, sent = std::size_t{0}](std::size_t, httplib::DataSink& sink) mutable {
          const std::string block(std::min<std::size_t>(1 << 20, n - sent), 'x');
          sent += block.size();
          sink.write(block.data(), block.size());
          if (sent == n) sink.done();
          return true;
        });
  });
  big.server().Get("/cl", [](const httplib::Request&, httplib::Response& res) {
    res.set_content(std::string((64u << 20) + 1, 'y'), "application/octet-stream");
  });
  big.Start();
  HttpRequest r;
  r.SetMaxBodyBytes(1000);
  ASSERT_TRUE(r.Open("GET", big.Url("/n?size=1000")));
  EXPECT_TRUE(r.Send());
  EXPECT_EQ(r.ResponseBody().size(), 1000u);
  ASSERT_TRUE(r.Open("GET", big.Url("/n?size=1001")));
  EXPECT_FALSE(r.Send());
  EXPECT_EQ(r.ResponseBody(), "");
  EXPECT_EQ(r.Status(), 0);

  // The default cap of 64 MiB, announced by Content-Length and found while streaming.
  HttpRequest d;
  ASSERT_TRUE(d.Open("GET", big.Url("/cl")));
  EXPECT_FALSE(d.Send());
  ASSERT_TRUE(d.Open("GET", big.Url("/n?size=" + std::to_string((64u << 20) + 1))));
  EXPECT_FALSE(d.Send());
  EXPECT_EQ(d.ResponseBody(), "");
}

}  // namespace
}  // namespace xyx

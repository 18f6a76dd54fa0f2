#include "core/web/http_session.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <chrono>
#include <filesystem>

#include "core/platform/registry_store.h"
#include "test_servers.h"

namespace xyx {
namespace {

using test::Clock;
using test::HttplibServer;
using test::OkResponse;
using test::RawServer;
using test::SecondsSince;

// Positions of `parts` in `text`, each after the one before; npos when out of order.
bool InOrder(const std::string& text, std::initializer_list<std::string> parts) {
  std::size_t at = 0;
  for (const std::string& p : parts) {
    at = text.find(p, at);
    if (at == std::string::npos) return false;
    // A part's closing CR LF may open the next part.
    at += p.size() - (p.size() >= 2 && p.substr(p.size() - 2) == "\r\n" ? 2 : 0);
  }
  return true;
}

class HttpSessionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* v : {"http_proxy", "HTTPS_PROXY", "https_proxy", "ALL_PROXY", "all_proxy",
                          "no_proxy", "NO_PROXY"}) {
      ::unsetenv(v);
    }
    http_.server().Post("/echo", [](const httplib::Request& req, httplib::Response& res) {
      res.set_content(req.body, "application/octet-stream");
    });
    http_.server().Get("/cookies", [](const httplib::Request&, httplib::Response& res) {
      res.set_header("Set-Cookie", "lang=zh; path=/");
      res.set_header("Set-Cookie", "theme=dark");
      res.set_content("set", "text/plain");
    });
    http_.server().Get("/seen", [](const httplib::Request& req, httplib::Response& res) {
      res.set_content(
          req.has_header("Cookie") ? "[" + req.get_header_value("Cookie") + "]" : "none",
          "text/plain");
    });
    http_.server().Get("/hop", [](const httplib::Request&, httplib::Response& res) {
      res.set_redirect("/target");
    });
    http_.server().Get("/target", [](const httplib::Request&, httplib::Response& res) {
      res.set_content("arrived", "text/plain");
    });
    http_.server().Get("/slow", [](const httplib::Request&, httplib::Response& res) {
      std::this_thread::sleep_for(std::chrono::milliseconds(300));
      res.set_content("late", "text/plain");
    });
    http_.server().Get("/zero", [](const httplib::Request&, httplib::Response& res) {
      res.set_content(std::string("ab\0cd", 5), "text/plain");
    });
    http_.Start();
  }
  std::string HostPort() const { return "127.0.0.1:" + std::to_string(http_.port()); }
  HttplibServer http_;
  HttpSession session_;
};

TEST_F(HttpSessionTest, DefaultHeadersAreSentInOrderEvenOnGet) {
  RawServer raw(
      [](const RawServer::Connection& c, const std::string&) { c.Write(OkResponse("ok")); });
  const std::string url = "127.0.0.1:" + std::to_string(raw.port()) + "/p?q=1";
  // Spaces, ASCII and full-width, are trimmed; the missing scheme is added for the request only.
  EXPECT_EQ(session_.AccessWebPage(" \xA1\xA1" + url + "  "), "ok");
  ASSERT_EQ(raw.requests().size(), 1u);
  const std::string req = raw.requests()[0];
  EXPECT_EQ(req.rfind("GET /p?q=1 HTTP/1.1\r\n", 0), 0u) << req;
  EXPECT_TRUE(InOrder(req, {"\r\nReferer: " + url + "\r\n",
                            "\r\nContent-Type: application/x-www-form-urlencoded\r\n",
                            "\r\nUser-Agent: Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1; "
                            "SV1)\r\n"}))
      << req;
  EXPECT_EQ(req.find("Cookie"), std::string::npos);

  // "-1" sends an empty Cookie header and ignores the stored cookies.
  Text cookies = "-1";
  session_.AccessWebPage(raw.Url("/"), "", 0, 0, std::nullopt, false, "", "", &cookies);
  ASSERT_EQ(raw.requests().size(), 2u);
  EXPECT_TRUE(InOrder(raw.requests()[1], {"\r\nUser-Agent: ", "\r\nCookie:\r\n"}))
      << raw.requests()[1];

  // Given values replace the defaults, in the same order.
  session_.AccessWebPage(raw.Url("/"), "", 0, 0, std::nullopt, false, "", "http://ref/", nullptr,
                         false, "text/xml", "agent/1");
  ASSERT_EQ(raw.requests().size(), 3u);
  EXPECT_TRUE(
      InOrder(raw.requests()[2], {"\r\nReferer: http://ref/\r\n", "\r\nContent-Type: text/xml\r\n",
                                  "\r\nUser-Agent: agent/1\r\n"}));
}

TEST_F(HttpSessionTest, PostBodiesArriveByteForByte) {
  const std::string bytes("\x00\x01\xFF\xD6\xD0<x>&\r\n", 10);
  // Bytes win over text.
  EXPECT_EQ(session_.AccessWebPageBytes(http_.Url("/echo"), "text", 0, std::nullopt, false, bytes),
            bytes);
  // A text body goes out as UTF-8.
  EXPECT_EQ(session_.AccessWebPage(http_.Url("/echo"), "\xD6\xD0", -1), "\xE4\xB8\xAD");
  std::string big(561, 'a');
  big[100] = '\0';
  EXPECT_EQ(session_.AccessWebPageBytes(http_.Url("/echo"), "", 0, std::nullopt, false, big), big);
}

TEST_F(HttpSessionTest, OpenAddsHttpOnlyWithoutAScheme) {
  Text url = HostPort() + "/target";
  session_.Open("", url);
  EXPECT_EQ(url, "http://" + HostPort() + "/target");
  session_.Send();
  EXPECT_EQ(session_.GetResponseBody(), "arrived");

  Text upper = "HTTP://" + HostPort() + "/target";
  session_.Open("GET", upper);
  EXPECT_EQ(upper, "HTTP://" + HostPort() + "/target");
  session_.Send();
  EXPECT_EQ(session_.GetStatus(), 200);

  Text secure = "https://127.0.0.1:1/x";
  session_.Open("GET", secure);
  EXPECT_EQ(secure, "https://127.0.0.1:1/x");
}

TEST_F(HttpSessionTest, CookiesAreStoredSentAndOverridden) {
  Text used;
  EXPECT_EQ(session_.AccessWebPage(http_.Url("/cookies"), "", 0, 0, std::nullopt, false, "", "",
                                   &used, true),
            "set");
  EXPECT_EQ(session_.cookies(), "lang=zh; path=/; theme=dark; ");
  EXPECT_EQ(session_.GetCookieValue("lang"), "zh");
  EXPECT_EQ(session_.GetCookieValue("theme"), "dark");

  used.clear();
  EXPECT_EQ(
      session_.AccessWebPage(http_.Url("/seen"), "", 0, 0, std::nullopt, false, "", "", &used),
      "[lang=zh; path=/; theme=dark;]");
  EXPECT_EQ(used, "lang=zh; path=/; theme=dark; ");

  used = "mine=1";
  EXPECT_EQ(
      session_.AccessWebPage(http_.Url("/seen"), "", 0, 0, std::nullopt, false, "", "", &used),
      "[mine=1]");

  // A copy carries the cookies and shares the request object; Reset forgets both.
  HttpSession copy(session_);
  EXPECT_EQ(copy.cookies(), session_.cookies());
  EXPECT_EQ(copy.GetRequestObject(), session_.GetRequestObject());
  copy.Reset();
  EXPECT_EQ(copy.cookies(), "");
  EXPECT_NE(copy.GetRequestObject(), session_.GetRequestObject());

  // Storing after a response without cookies (or a failed one) empties the store.
  session_.AccessWebPage(http_.Url("/target"), "", 0, 0, std::nullopt, false, "", "", nullptr,
                         true);
  EXPECT_EQ(session_.cookies(), "");
}

TEST_F(HttpSessionTest, SetCookieLinesAreReadAsWritten) {
  RawServer raw([](const RawServer::Connection& c, const std::string&) {
    c.Write(OkResponse("",
                       "Set-Cookie: lang=zh; path=/\r\nSet-Cookie:nb=1;\r\n"
                       "set-cookie: low=x;\r\nSet-Cookie: theme=dark\r\n"
                       "Set-Cookie: after=2; path=/\r\n"));
  });
  session_.AccessWebPage(raw.Url("/"));
  EXPECT_EQ(session_.GetCookieValue("lang"), "zh");
  EXPECT_EQ(session_.GetCookieValue("nb"), "1");
  // The value ends with its own line, never in a later one.
  EXPECT_EQ(session_.GetCookieValue("theme"), "dark");
  EXPECT_EQ(session_.GetCookieValue("low"), "");
  EXPECT_EQ(session_.GetCookieValue("missing"), "");
  EXPECT_EQ(session_.GetSetCookieLines(),
            "Set-Cookie: lang=zh; path=/\r\nSet-Cookie:nb=1;\r\nSet-Cookie: theme=dark\r\n"
            "Set-Cookie: after=2; path=/\r\n");
  EXPECT_EQ(session_.GetResponseCookies(),
            "lang=zh; path=/; Set-Cookie:nb=1;; theme=dark; after=2; path=/; ");
}

TEST_F(HttpSessionTest, NamedProxyReceivesTheAbsoluteUri) {
  RawServer proxy(
      [](const RawServer::Connection& c, const std::string&) { c.Write(OkResponse("via proxy")); });
  const std::string proxyAddress = "127.0.0.1:" + std::to_string(proxy.port());
  EXPECT_EQ(session_.AccessWebPage("http://example.invalid/q?a=1", "", 0, 2, Text(proxyAddress)),
            "via proxy");
  ASSERT_EQ(proxy.requests().size(), 1u);
  EXPECT_EQ(proxy.requests()[0].rfind("GET http://example.invalid/q?a=1 HTTP/1.1\r\n", 0), 0u);
  // Not given: the proxy setting stays as it was.
  EXPECT_EQ(session_.AccessWebPage("http://example.invalid/again", "", 0, 2), "via proxy");
  EXPECT_EQ(proxy.requests().size(), 2u);
  // Empty: the environment's defaults, here none.
  EXPECT_EQ(session_.AccessWebPage(http_.Url("/target"), "", 0, 2, Text("")), "arrived");
  EXPECT_EQ(proxy.requests().size(), 2u);
}

TEST_F(HttpSessionTest, IeProxyComesFromTheRegistryStoreThenTheEnvironment) {
  char pattern[] = "/tmp/xyx-proxy-XXXXXX";
  const std::filesystem::path dir = ::mkdtemp(pattern);
  ::setenv("XDG_CONFIG_HOME", dir.c_str(), 1);
  RawServer proxy(
      [](const RawServer::Connection& c, const std::string&) { c.Write(OkResponse("via proxy")); });
  const std::string proxyAddress = "127.0.0.1:" + std::to_string(proxy.port());
  int events = 0;
  session_.SetProcessEventsHook([&] { ++events; });

  // No stored value: http_proxy.
  ::setenv("http_proxy", ("http://" + proxyAddress).c_str(), 1);
  EXPECT_EQ(session_.AccessWebPage("http://example.invalid/env", "", 0, 2, Text("IE")),
            "via proxy");
  EXPECT_GE(events, 1);
  ::unsetenv("http_proxy");

  ASSERT_TRUE(RegistryStore::ForCurrentUser().WriteValue(
      "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings",
      "ProxyServer", "http=" + proxyAddress + ";https=127.0.0.1:1"));
  EXPECT_EQ(session_.AccessWebPage("http://example.invalid/store", "", 0, 2, Text("IE")),
            "via proxy");
  const auto requests = proxy.requests();
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requests[1].rfind("GET http://example.invalid/store ", 0), 0u);

  ::unsetenv("XDG_CONFIG_HOME");
  std::filesystem::remove_all(dir);
}

TEST_F(HttpSessionTest, TimeLimitsEndStalledExchanges) {
  struct Stall {
    const char* name;
    std::function<void(const RawServer::Connection&)> serve;
  };
  const Stall stalls[] = {
      {"headers delayed",
       [](const RawServer::Connection& c) {
         if (c.Sleep(3000)) c.Write(OkResponse("late"));
       }},
      {"stalls mid-body",
       [](const RawServer::Connection& c) {
         c.Write("HTTP/1.1 200 OK\r\nContent-Length: 10\r\n\r\nhalf!");
         c.WaitForClose();
       }},
      {"never answers", [](const RawServer::Connection& c) { c.WaitForClose(); }},
  };
  for (const Stall& s : stalls) {
    RawServer raw([&](const RawServer::Connection& c, const std::string&) { s.serve(c); });
    const auto start = Clock::now();
    // 1.5 s: send and receive limits of 1500 ms, a wait of 1 s.
    EXPECT_EQ(session_.AccessWebPage(raw.Url("/"), "", 0, 1.5f), "") << s.name;
    EXPECT_LT(SecondsSince(start), 3.5) << s.name;
    // A synchronous request has no wait step: the receive limit alone ends it.
    const auto syncStart = Clock::now();
    EXPECT_EQ(session_.AccessWebPage(raw.Url("/"), "", 0, 1.5f, std::nullopt, true), "") << s.name;
    const double took = SecondsSince(syncStart);
    EXPECT_GT(took, 1.3) << s.name;
    EXPECT_LT(took, 4.5) << s.name;
  }
}

TEST_F(HttpSessionTest, SetTimeoutsFillsMissingLimitsFromTheResolveLimit) {
  RawServer raw([](const RawServer::Connection& c, const std::string&) { c.WaitForClose(); });
  session_.SetTimeouts(800);
  const auto start = Clock::now();
  // -1 keeps the limits the object has.
  EXPECT_EQ(session_.AccessWebPage(raw.Url("/"), "", 0, -1.0f, std::nullopt, true), "");
  const double took = SecondsSince(start);
  EXPECT_GT(took, 0.6);
  EXPECT_LT(took, 3.5);
}

TEST_F(HttpSessionTest, ADripIsNotAStallButTheWaitStillEnds) {
  RawServer raw([](const RawServer::Connection& c, const std::string&) {
    c.Write("HTTP/1.1 200 OK\r\nContent-Length: 6\r\nConnection: close\r\n\r\n");
    for (char b : std::string("abcdef")) {
      if (!c.Sleep(300)) return;
      c.Write(std::string(1, b));
    }
  });
  // Receive limit 1 s, but a byte comes every 0.3 s: the exchange completes after ~1.8 s.
  session_.SetTimeouts(1000);
  EXPECT_EQ(session_.AccessWebPage(raw.Url("/"), "", 0, -1.0f, std::nullopt, true), "abcdef");
  // A wait of 1 s ends first; the transfer goes on and a later wait completes it.
  EXPECT_EQ(session_.AccessWebPage(raw.Url("/"), "", 0, 1.5f), "");
  EXPECT_TRUE(session_.WaitForResponse(5));
  EXPECT_EQ(session_.GetResponseBody(), "abcdef");
}

TEST_F(HttpSessionTest, BrokenServersGiveEmptyResults) {
  const std::string hugeHeader = "X-Big: " + std::string(100 * 1024, 'h') + "\r\n";
  const std::string garbage = [] {
    std::string g;
    for (int i = 0; i < 4096; ++i) g += static_cast<char>((i * 7919) & 0xFF);
    return g;
  }();
  const std::pair<const char*, std::string> replies[] = {
      {"closes mid-body", "HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\n" + std::string(50, 'x')},
      {"invalid chunking",
       "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\nZZ\r\nabc\r\n0\r\n\r\n"},
      {"100 KB header", "HTTP/1.1 200 OK\r\n" + hugeHeader + "Content-Length: 2\r\n\r\nok"},
      {"status line only", "HTTP/1.1 200 OK\r\n"},
      {"binary garbage", garbage},
      {"nothing", ""},
  };
  for (const auto& [name, reply] : replies) {
    RawServer raw([&](const RawServer::Connection& c, const std::string&) { c.Write(reply); });
    const auto start = Clock::now();
    EXPECT_EQ(session_.AccessWebPage(raw.Url("/"), "", 0, 2), "") << name;
    EXPECT_EQ(session_.GetStatus(), 0) << name;
    EXPECT_EQ(session_.GetAllResponseHeaders(), "") << name;
    EXPECT_LT(SecondsSince(start), 3.5) << name;
  }
  const std::string closed = "http://127.0.0.1:" + std::to_string(test::ClosedPort()) + "/";
  EXPECT_EQ(session_.AccessWebPage(closed), "");
  EXPECT_EQ(session_.AccessWebPageBytes(closed), "");
  EXPECT_EQ(session_.GetRedirectTarget(closed), "");
}

TEST_F(HttpSessionTest, EncodingChoices) {
  EXPECT_EQ(session_.AccessWebPage(http_.Url("/zero"), "", -1), "ab");
  EXPECT_EQ(session_.AccessWebPage(http_.Url("/zero"), "", -2), "ab");
  EXPECT_EQ(session_.AccessWebPage(http_.Url("/zero"), "", 0), "ab");
  EXPECT_EQ(session_.AccessWebPageBytes(http_.Url("/zero")), std::string("ab\0cd", 5));
  // The status is not examined: an error page is returned like any other.
  EXPECT_NE(session_.AccessWebPage(http_.Url("/missing")), "x");
  EXPECT_EQ(session_.GetStatus(), 404);
}

TEST_F(HttpSessionTest, SynchronousSkipsTheWaitAndTheHookIsCalledWhileWaiting) {
  int events = 0;
  session_.SetProcessEventsHook([&] { ++events; });
  EXPECT_EQ(session_.AccessWebPage(http_.Url("/slow"), "", 0, 0, std::nullopt, true), "late");
  EXPECT_EQ(events, 0);
  EXPECT_EQ(session_.AccessWebPage(http_.Url("/slow")), "late");
  EXPECT_GE(events, 5);
}

TEST_F(HttpSessionTest, RedirectProbes) {
  RawServer raw([](const RawServer::Connection& c, const std::string&) {
    c.Write(
        "HTTP/1.1 302 Found\r\nLocation: http://elsewhere/x\r\nContent-Length: 0\r\n"
        "Connection: close\r\n\r\n");
  });
  EXPECT_EQ(session_.GetRedirectTarget(raw.Url("/a")), "http://elsewhere/x");
  ASSERT_EQ(raw.requests().size(), 1u);
  EXPECT_TRUE(
      InOrder(raw.requests()[0],
              {"\r\nUser-Agent: Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1; SV1)\r\n",
               "\r\nAccept-Language: zh-cn\r\n", "\r\nConnection: Keep-Alive\r\n",
               "\r\nAccept: image/gif, image/x-xbitmap, image/jpeg, imagepeg, "
               "application/x-shockwave-flash, application/x-silverlight, */*\r\n"}))
      << raw.requests()[0];
  EXPECT_EQ(session_.GetRedirectTargetTimed(raw.Url("/b")), "http://elsewhere/x");
  EXPECT_EQ(session_.GetRedirectTargetTimed(raw.Url("/c"), true), "http://elsewhere/x");

  EXPECT_EQ(session_.GetRedirectTarget(http_.Url("/target")), "");
  // The probe's URL is used exactly as given; the timed probe adds the scheme.
  EXPECT_EQ(session_.GetRedirectTarget(HostPort() + "/hop"), "");
  EXPECT_EQ(session_.GetRedirectTargetTimed(HostPort() + "/hop"), "/target");
  // Redirects stay switched off for the next request on the object.
  session_.AccessWebPage(http_.Url("/hop"));
  EXPECT_EQ(session_.GetStatus(), 302);
  EXPECT_EQ(session_.AccessOption(6, 1), Variant(true));
  EXPECT_EQ(session_.AccessWebPage(http_.Url("/hop")), "arrived");
}

TEST_F(HttpSessionTest, SessionWithoutARequestAnswersEmpty) {
  HttpSession s;
  EXPECT_EQ(s.GetStatus(), 0);
  EXPECT_EQ(s.GetStatusText(), "");
  EXPECT_EQ(s.GetResponseText(), "");
  EXPECT_EQ(s.GetResponseStream(), Variant());
  EXPECT_FALSE(s.WaitForResponse(0));
  EXPECT_EQ(s.GetSetCookieLines(), "");
  EXPECT_EQ(s.GetResponseCookies(), "");
  EXPECT_EQ(s.AccessOption(99, std::nullopt, Text("v")), Variant(Text("v")));
  EXPECT_EQ(s.AccessOption(99), Variant(Text("v")));
}

}  // namespace
}  // namespace xyx

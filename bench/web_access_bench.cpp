// AccessWebPage POSTing a 561-byte body to a local server that answers 1 MB, against a bare
// libcurl easy loop doing the same exchange, in the same run. Prints requests per second of
// both and their ratio.

#include <benchmark/benchmark.h>
#include <curl/curl.h>
#include <httplib.h>

#include <chrono>
#include <cstdio>
#include <map>
#include <set>
#include <string>
#include <thread>

#include "core/web/http_session.h"
#include "web_bench_data.h"

namespace {

std::string g_base;  // server address without the path
std::string g_body;
std::string g_utf8Reply;   // Chinese and Latin names in UTF-8, as the service sends them
std::string g_asciiReply;  // the same size, ASCII only
// Iterations and seconds per benchmark name, summed over the repetitions.
std::map<std::string, std::pair<double, double>> g_totals;

std::string MakeRequestBody() {
  std::string body =
      "<?xml version=\"1.0\" encoding=\"utf-8\"?><SOAP-ENV:Envelope "
      "xmlns:SOAP-ENV=\"http://schemas.xmlsoap.org/soap/envelope/\"><SOAP-ENV:Body>"
      "<NS1:search xmlns:NS1=\"urn:yxServiceIntf-IyxService\"><SKeyWord>";
  body += "\xE5\x91\xA8\xE6\x98\x9F\xE9\xA9\xB0";
  body +=
      "</SKeyWord><uName></uName><uPass></uPass></NS1:search></SOAP-ENV:Body>"
      "</SOAP-ENV:Envelope>";
  body.resize(561, ' ');
  return body;
}

// range(0): 0 the UTF-8 reply, 1 the ASCII reply; range(1): the encoding argument.
std::string UrlFor(std::int64_t reply) {
  return g_base + (reply == 0 ? "/utf8" : "/ascii");
}
const std::string& ReplyFor(std::int64_t reply) {
  return reply == 0 ? g_utf8Reply : g_asciiReply;
}

void BM_AccessWebPage(benchmark::State& state) {
  xyx::HttpSession session;
  const std::string url = UrlFor(state.range(0));
  const int encoding = static_cast<int>(state.range(1));
  std::size_t bytes = 0;
  for (auto _ : state) {
    const xyx::Text text = session.AccessWebPage(url, "", encoding, 0, std::nullopt, false, g_body);
    bytes += text.size();
    if (text.empty()) state.SkipWithError("empty reply");
  }
  state.counters["req/s"] =
      benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
  benchmark::DoNotOptimize(bytes);
}

std::size_t Append(char* data, std::size_t size, std::size_t count, void* out) {
  static_cast<std::string*>(out)->append(data, size * count);
  return size * count;
}

void BM_CurlEasyLoop(benchmark::State& state) {
  const std::string url = UrlFor(state.range(0));
  const std::size_t expected = ReplyFor(state.range(0)).size();
  CURL* curl = curl_easy_init();
  curl_slist* headers = nullptr;
  headers = curl_slist_append(headers, ("Referer: " + url).c_str());
  headers = curl_slist_append(headers, "Content-Type: application/x-www-form-urlencoded");
  headers = curl_slist_append(
      headers, "User-Agent: Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1; SV1)");
  headers = curl_slist_append(headers, "Expect:");
  std::string reply;
  curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
  curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers);
  curl_easy_setopt(curl, CURLOPT_POSTFIELDS, g_body.data());
  curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE, static_cast<long>(g_body.size()));
  curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &Append);
  curl_easy_setopt(curl, CURLOPT_WRITEDATA, &reply);
  // range(1): receive buffer in KiB, 0 for libcurl's default.
  if (state.range(1) > 0)
    curl_easy_setopt(curl, CURLOPT_BUFFERSIZE, static_cast<long>(state.range(1)) * 1024);
  for (auto _ : state) {
    reply.clear();
    if (curl_easy_perform(curl) != CURLE_OK || reply.size() != expected) {
      state.SkipWithError("exchange failed");
    }
  }
  state.counters["req/s"] =
      benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
  curl_slist_free_all(headers);
  curl_easy_cleanup(curl);
}

class RateReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      auto& [iterations, seconds] = g_totals[run.benchmark_name()];
      iterations += static_cast<double>(run.iterations);
      seconds += run.real_accumulated_time;
    }
    ConsoleReporter::ReportRuns(runs);
  }
};

double Rate(const std::string& name) {
  const auto it = g_totals.find(name);
  return it == g_totals.end() || it->second.second <= 0 ? 0 : it->second.first / it->second.second;
}

}  // namespace

int main(int argc, char** argv) {
  curl_global_init(CURL_GLOBAL_DEFAULT);
  g_body = MakeRequestBody();
  g_utf8Reply = xyx::bench::MakeUtf8Reply(std::size_t{1} << 20);
  g_asciiReply = std::string(g_utf8Reply.size(), 'a');
  for (std::size_t i = 0; i < g_asciiReply.size(); i += 97) g_asciiReply[i] = '|';
  httplib::Server server;
  server.Post("/utf8", [](const httplib::Request&, httplib::Response& res) {
    res.set_content(g_utf8Reply, "text/xml; charset=utf-8");
  });
  server.Post("/ascii", [](const httplib::Request&, httplib::Response& res) {
    res.set_content(g_asciiReply, "text/xml; charset=utf-8");
  });
  const int port = server.bind_to_any_port("127.0.0.1");
  std::thread thread([&] { server.listen_after_bind(); });
  while (!server.is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  g_base = "http://127.0.0.1:" + std::to_string(port);

  // Interleaved repetitions, so that both sides see the same machine load.
  struct Pair {
    const char* session;
    const char* curl;
    std::int64_t reply;
    std::int64_t encoding;
    std::int64_t curlBufferKiB;
  };
  const Pair pairs[] = {
      {"AccessWebPage/utf8-reply/decoded", "curl-easy/utf8-reply", 0, 0, 0},
      {"AccessWebPage/utf8-reply/raw", "curl-easy/utf8-reply", 0, -1, 0},
      {"AccessWebPage/utf8-reply/raw", "curl-easy/utf8-reply", 0, -1, 256},
      {"AccessWebPage/ascii-reply/decoded", "curl-easy/ascii-reply", 1, 0, 0},
  };
  for (int round = 0; round < 3; ++round) {
    std::set<std::string> registered;
    for (const Pair& p : pairs) {
      const std::string session = std::string(p.session) + std::to_string(p.encoding);
      const std::string curl = std::string(p.curl) + std::to_string(p.curlBufferKiB);
      if (registered.insert(session).second) {
        benchmark::RegisterBenchmark(p.session, BM_AccessWebPage)
            ->Args({p.reply, p.encoding})
            ->UseRealTime()
            ->MinTime(1.0)
            ->Unit(benchmark::kMicrosecond);
      }
      if (registered.insert(curl).second) {
        benchmark::RegisterBenchmark(p.curl, BM_CurlEasyLoop)
            ->Args({p.reply, p.curlBufferKiB})
            ->UseRealTime()
            ->MinTime(1.0)
            ->Unit(benchmark::kMicrosecond);
      }
    }
  }
  benchmark::Initialize(&argc, argv);
  RateReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  server.stop();
  thread.join();
  for (const Pair& p : pairs) {
    const std::string session = std::string(p.session) + "/" + std::to_string(p.reply) + "/" +
                                std::to_string(p.encoding) + "/min_time:1.000/real_time";
    const std::string curl = std::string(p.curl) + "/" + std::to_string(p.reply) + "/" +
                             std::to_string(p.curlBufferKiB) + "/min_time:1.000/real_time";
    const double a = Rate(session);
    const double b = Rate(curl);
    if (b > 0) {
      const std::string buffer =
          p.curlBufferKiB > 0 ? std::to_string(p.curlBufferKiB) + " KiB buffer" : "default buffer";
      std::printf("%-34s %5.0f req/s vs %-21s (%-15s) %5.0f req/s: ratio %.2f (target >= 0.90)\n",
                  p.session, a, p.curl, buffer.c_str(), b, a / b);
    }
  }
  return 0;
}

// AccessWebPage POSTing a 561-byte body to a local server that answers 1 MB, against a bare
// libcurl easy loop doing the same exchange, in the same run. Prints requests per second of
// both and their ratio.

#include <benchmark/benchmark.h>
#include <curl/curl.h>
#include <httplib.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

#include "core/web/http_session.h"
#include "web_bench_data.h"

namespace {

std::string g_url;
std::string g_body;
std::string g_reply;
// Iterations and seconds summed over the repetitions.
double g_sessionIterations = 0, g_sessionSeconds = 0;
double g_curlIterations = 0, g_curlSeconds = 0;

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

void BM_AccessWebPage(benchmark::State& state) {
  xyx::HttpSession session;
  std::size_t bytes = 0;
  for (auto _ : state) {
    const xyx::Text text = session.AccessWebPage(g_url, "", 0, 0, std::nullopt, false, g_body);
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
  CURL* curl = curl_easy_init();
  curl_slist* headers = nullptr;
  headers = curl_slist_append(headers, ("Referer: " + g_url).c_str());
  headers = curl_slist_append(headers, "Content-Type: application/x-www-form-urlencoded");
  headers = curl_slist_append(
      headers, "User-Agent: Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1; SV1)");
  headers = curl_slist_append(headers, "Expect:");
  std::string reply;
  curl_easy_setopt(curl, CURLOPT_URL, g_url.c_str());
  curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers);
  curl_easy_setopt(curl, CURLOPT_POSTFIELDS, g_body.data());
  curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE, static_cast<long>(g_body.size()));
  curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &Append);
  curl_easy_setopt(curl, CURLOPT_WRITEDATA, &reply);
  for (auto _ : state) {
    reply.clear();
    if (curl_easy_perform(curl) != CURLE_OK || reply.size() != g_reply.size()) {
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
      const auto iterations = static_cast<double>(run.iterations);
      if (run.benchmark_name().rfind("AccessWebPage", 0) == 0) {
        g_sessionIterations += iterations;
        g_sessionSeconds += run.real_accumulated_time;
      } else if (run.benchmark_name().rfind("curl-easy", 0) == 0) {
        g_curlIterations += iterations;
        g_curlSeconds += run.real_accumulated_time;
      }
    }
    ConsoleReporter::ReportRuns(runs);
  }
};

}  // namespace

int main(int argc, char** argv) {
  curl_global_init(CURL_GLOBAL_DEFAULT);
  g_body = MakeRequestBody();
  g_reply = xyx::bench::MakeUtf8Reply(std::size_t{1} << 20);
  httplib::Server server;
  server.Post("/qvodabmservice.dll/soap/IyxService",
              [](const httplib::Request&, httplib::Response& res) {
                res.set_content(g_reply, "text/xml; charset=utf-8");
              });
  const int port = server.bind_to_any_port("127.0.0.1");
  std::thread thread([&] { server.listen_after_bind(); });
  while (!server.is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  g_url = "http://127.0.0.1:" + std::to_string(port) + "/qvodabmservice.dll/soap/IyxService";

  // Interleaved repetitions, so both sides see the same machine load.
  for (int i = 0; i < 3; ++i) {
    benchmark::RegisterBenchmark("AccessWebPage/post561-reply1MB", BM_AccessWebPage)
        ->UseRealTime()
        ->MinTime(2.0)
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("curl-easy-loop/post561-reply1MB", BM_CurlEasyLoop)
        ->UseRealTime()
        ->MinTime(2.0)
        ->Unit(benchmark::kMicrosecond);
  }
  benchmark::Initialize(&argc, argv);
  RateReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  server.stop();
  thread.join();
  if (g_sessionSeconds > 0 && g_curlSeconds > 0) {
    const double session = g_sessionIterations / g_sessionSeconds;
    const double curl = g_curlIterations / g_curlSeconds;
    std::printf(
        "AccessWebPage %.0f req/s, curl easy loop %.0f req/s, ratio %.2f (target >= 0.90)\n",
        session, curl, session / curl);
  }
  return 0;
}

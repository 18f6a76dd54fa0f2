// DecodeText of a 96 MB UTF-8 reply against `iconv -f UTF-8 -t GB18030` on the same file,
// in the same run. Prints the ratio of the two wall-clock times.

#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <time.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>

#include "core/web/decode_text.h"
#include "web_bench_data.h"

namespace {

std::string g_reply;
std::string g_file;
// Wall-clock and processor seconds summed over all repetitions.
struct Totals {
  double wall = 0;
  double cpu = 0;
  double runs = 0;
};
Totals g_decode;
Totals g_iconv;

double ThreadCpuSeconds() {
  timespec ts{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
  return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

double ChildrenCpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_CHILDREN, &usage);
  auto seconds = [](const timeval& tv) {
    return static_cast<double>(tv.tv_sec) + static_cast<double>(tv.tv_usec) * 1e-6;
  };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

void BM_DecodeText(benchmark::State& state) {
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    const double cpu = ThreadCpuSeconds();
    int used = 0;
    xyx::Text text = xyx::DecodeText(g_reply, 0, used);
    benchmark::DoNotOptimize(text.data());
    g_decode.wall +=
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    g_decode.cpu += ThreadCpuSeconds() - cpu;
    g_decode.runs += 1;
    if (used != 2 || text.empty()) state.SkipWithError("reply was not decoded as UTF-8");
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * g_reply.size()));
}

void BM_IconvCommand(benchmark::State& state) {
  const std::string command = "iconv -f UTF-8 -t GB18030 " + g_file + " > /dev/null";
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    const double cpu = ChildrenCpuSeconds();
    if (std::system(command.c_str()) != 0) state.SkipWithError("iconv failed");
    g_iconv.wall += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    g_iconv.cpu += ChildrenCpuSeconds() - cpu;  // iconv and the shell that starts it
    g_iconv.runs += 1;
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * g_reply.size()));
}

}  // namespace

int main(int argc, char** argv) {
  g_reply = xyx::bench::MakeUtf8Reply(std::size_t{96} << 20);
  const char* tmp = std::getenv("TMPDIR");
  std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/xyx-web-bench-XXXXXX";
  const int fd = ::mkstemp(pattern.data());
  if (fd < 0) return 1;
  ::close(fd);
  g_file = pattern;
  std::ofstream(g_file, std::ios::binary) << g_reply;

  // Interleaved, so that both see the same machine load.
  for (int round = 0; round < 4; ++round) {
    benchmark::RegisterBenchmark("DecodeText/96MB-utf8", BM_DecodeText)
        ->Unit(benchmark::kMillisecond)
        ->Iterations(3)
        ->UseRealTime();
    benchmark::RegisterBenchmark("iconv-command/96MB-utf8", BM_IconvCommand)
        ->Unit(benchmark::kMillisecond)
        ->Iterations(3)
        ->UseRealTime();
  }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::remove(g_file.c_str());
  if (g_decode.runs > 0 && g_iconv.runs > 0) {
    const double dw = g_decode.wall / g_decode.runs * 1000, iw = g_iconv.wall / g_iconv.runs * 1000;
    const double dc = g_decode.cpu / g_decode.runs * 1000, ic = g_iconv.cpu / g_iconv.runs * 1000;
    std::printf("wall: DecodeText %.1f ms, iconv %.1f ms, ratio %.2f (target <= 1.30)\n", dw, iw,
                dw / iw);
    std::printf("cpu:  DecodeText %.1f ms, iconv %.1f ms, ratio %.2f\n", dc, ic, dc / ic);
  }
  return 0;
}

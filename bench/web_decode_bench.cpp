// DecodeText of a 96 MB UTF-8 reply against `iconv -f UTF-8 -t GB18030` on the same file,
// in the same run. Prints the ratio of the two wall-clock times.

#include <benchmark/benchmark.h>
#include <stdlib.h>
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
double g_decodeSeconds = 0;
double g_iconvSeconds = 0;

void BM_DecodeText(benchmark::State& state) {
  double total = 0;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    int used = 0;
    xyx::Text text = xyx::DecodeText(g_reply, 0, used);
    benchmark::DoNotOptimize(text.data());
    total += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (used != 2 || text.empty()) state.SkipWithError("reply was not decoded as UTF-8");
  }
  g_decodeSeconds = total / static_cast<double>(state.iterations());
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * g_reply.size()));
}

void BM_IconvCommand(benchmark::State& state) {
  const std::string command = "iconv -f UTF-8 -t GB18030 " + g_file + " > /dev/null";
  double total = 0;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    if (std::system(command.c_str()) != 0) state.SkipWithError("iconv failed");
    total += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  }
  g_iconvSeconds = total / static_cast<double>(state.iterations());
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

  benchmark::RegisterBenchmark("DecodeText/96MB-utf8", BM_DecodeText)
      ->Unit(benchmark::kMillisecond)
      ->Iterations(5)
      ->UseRealTime();
  benchmark::RegisterBenchmark("iconv-command/96MB-utf8", BM_IconvCommand)
      ->Unit(benchmark::kMillisecond)
      ->Iterations(5)
      ->UseRealTime();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::remove(g_file.c_str());
  if (g_iconvSeconds > 0) {
    std::printf("DecodeText %.1f ms, iconv %.1f ms, ratio %.2f (target <= 1.30)\n",
                g_decodeSeconds * 1000, g_iconvSeconds * 1000, g_decodeSeconds / g_iconvSeconds);
  }
  return 0;
}

// Reading a search reply: extract the result text, read its lines, split them and build the
// records. Compared with `wc -l` over the same file in the same run.
//   bench/run-search-bench.sh   (generates the 1,000,000-line reply, then runs this)

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <string>

#include "core/search/protocol.h"
#include "core/search/result_text.h"

namespace {

std::string g_path;
std::string g_reply;

void BM_ReadReply(benchmark::State& state) {
  std::size_t count = 0;
  for (auto _ : state) {
    xyx::ResultRecordReader reader(xyx::ResultTextView(g_reply));
    xyx::ResourceRecord record;
    bool isRecord = false;
    count = 0;
    while (reader.Next(record, isRecord)) {
      if (isRecord) {
        benchmark::DoNotOptimize(record.SizeValue());
        ++count;
      }
    }
  }
  state.counters["records"] = static_cast<double>(count);
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * g_reply.size()));
}

void BM_WcL(benchmark::State& state) {
  const std::string cmd = "wc -l < '" + g_path + "' > /dev/null";
  for (auto _ : state) {
    if (std::system(cmd.c_str()) != 0) state.SkipWithError("wc failed");
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * g_reply.size()));
}

BENCHMARK(BM_ReadReply)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
BENCHMARK(BM_WcL)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

// Keeps each run's time so that the ratio can be printed after the table.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const auto& run : runs) seconds[run.benchmark_name()] = run.GetAdjustedRealTime() / 1e3;
    ConsoleReporter::ReportRuns(runs);
  }
  std::map<std::string, double> seconds;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  g_path = argc > 1 ? argv[1] : "build/bench-data/reply-1m.gb18030";
  std::ifstream in(g_path, std::ios::binary);
  std::ostringstream buf;
  buf << in.rdbuf();
  g_reply = buf.str();
  if (g_reply.empty()) {
    std::cerr << "no reply at " << g_path << " (run bench/run-search-bench.sh)\n";
    return 1;
  }
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  const double ours = reporter.seconds["BM_ReadReply/min_time:2.000/real_time"];
  const double wc = reporter.seconds["BM_WcL/min_time:2.000/real_time"];
  if (ours > 0 && wc > 0) {
    const double mb = static_cast<double>(g_reply.size()) / 1e6;
    std::cout << "reply: " << mb << " MB\n"
              << "read reply: " << mb / ours << " MB/s\n"
              << "wc -l:      " << mb / wc << " MB/s\n"
              << "ratio (ours / wc -l time): " << ours / wc << "\n";
  }
  benchmark::Shutdown();
  return 0;
}

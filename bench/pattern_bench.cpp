// The locate command's inner loop: one pattern set once, then FindMatches on cell after cell,
// each converted from local text to UTF-16 first. Runs over 1,000,000 generated movie names
// and compares with grep -c -i -E on the same names written as UTF-8 in the same run.
//   bench_pattern [google-benchmark flags]

#include <benchmark/benchmark.h>

#include <unistd.h>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <random>
#include <string>
#include <vector>

#include "core/pattern/pattern_matcher.h"
#include "core/pattern/wildcard.h"
#include "core/text/encoding.h"

namespace {

using xyx::Text;

constexpr std::size_t kNames = 1'000'000;
constexpr const char* kWildcard = "*第3集*HD*";
constexpr const char* kGrepPattern = "第3集.*HD";

const char* const kWords[] = {
    "星际", "穿越", "大话",   "西游",      "无间",   "道",      "霸王",       "别姬",     "功夫",
    "英雄", "少林", "足球",   "唐人街",    "探案",   "流浪",    "地球",       "让子弹飞", "活着",
    "城南", "旧事", "Matrix", "Inception", "Avatar", "Titanic", "Metropolis", "Nosferatu"};
const char* const kTags[] = {"HD", "hd", "BD", "1080P", "TC", "DVD", "国语", "粤语", "中字"};
const char* const kEnds[] = {"", ".rmvb", ".mkv", ".avi", "[高清]"};

template <typename T, std::size_t N>
std::string Pick(std::mt19937_64& rng, const T (&arr)[N]) {
  return arr[rng() % N];
}

// Names in UTF-8; about one in four carries an episode number, a few of them episode 3.
std::vector<std::string> MakeNames() {
  std::mt19937_64 rng(20261211);
  std::vector<std::string> names;
  names.reserve(kNames);
  for (std::size_t i = 0; i < kNames; ++i) {
    // Appends one piece at a time (GCC 12 warns wrongly about chains of string "+").
    std::string name = Pick(rng, kWords);
    name.append(Pick(rng, kWords));
    if (rng() % 2 == 0) name.append(Pick(rng, kWords));
    if (rng() % 4 == 0) name.append("第").append(std::to_string(rng() % 12 + 1)).append("集");
    name.append(" ").append(Pick(rng, kTags));
    if (rng() % 2 == 0) name.append(" ").append(std::to_string(1980 + rng() % 45));
    if (rng() % 4 == 0) name.append(" ").append(Pick(rng, kTags));
    name.append(Pick(rng, kEnds));
    names.push_back(std::move(name));
  }
  return names;
}

struct Data {
  std::vector<Text> local;  // the cells as the list holds them
  std::string utf8Path;
  std::size_t bytes = 0;
};

Data& Names() {
  static Data data = [] {
    Data d;
    const std::vector<std::string> utf8 = MakeNames();
    d.local.reserve(utf8.size());
    for (const auto& n : utf8) {
      d.local.push_back(xyx::Utf8ToLocalText(n));
      d.bytes += d.local.back().size();
    }
    char path[] = "/tmp/xiyingxia-pattern-bench-XXXXXX";
    const int fd = mkstemp(path);
    if (fd >= 0) close(fd);
    d.utf8Path = path;
    std::ofstream out(d.utf8Path, std::ios::binary);
    for (const auto& n : utf8) out << n << '\n';
    return d;
  }();
  return data;
}

// One pass of the locate loop: how many cells match.
std::size_t Scan(xyx::PatternMatcher& m, const std::vector<Text>& cells) {
  std::size_t found = 0;
  for (const auto& cell : cells) found += m.FindMatches(cell) > 0 ? 1 : 0;
  return found;
}

void BM_FindMatches(benchmark::State& state) {
  const Data& d = Names();
  xyx::PatternMatcher m;
  m.SetPattern(m.WildcardToPattern(xyx::Utf8ToLocalText(kWildcard)));
  std::size_t found = 0;
  for (auto _ : state) {
    found = Scan(m, d.local);
    benchmark::DoNotOptimize(found);
  }
  state.counters["cells/s"] = benchmark::Counter(static_cast<double>(d.local.size()),
                                                 benchmark::Counter::kIsIterationInvariantRate);
  state.counters["found"] = static_cast<double>(found);
}
BENCHMARK(BM_FindMatches)->Unit(benchmark::kMillisecond);

// The conversion alone, to show what the matching itself costs.
void BM_LocalToUtf16(benchmark::State& state) {
  const Data& d = Names();
  for (auto _ : state) {
    for (const auto& cell : d.local) benchmark::DoNotOptimize(xyx::LocalToUtf16(cell));
  }
  state.counters["cells/s"] = benchmark::Counter(static_cast<double>(d.local.size()),
                                                 benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_LocalToUtf16)->Unit(benchmark::kMillisecond);

template <typename F>
double BestSeconds(int runs, F&& f) {
  double best = 1e300;
  for (int i = 0; i < runs; ++i) {
    const auto t0 = std::chrono::steady_clock::now();
    f();
    const std::chrono::duration<double> dt = std::chrono::steady_clock::now() - t0;
    best = std::min(best, dt.count());
  }
  return best;
}

// Our scan against grep on the same names; best of three wall times each.
int CompareWithGrep() {
  const Data& d = Names();
  xyx::PatternMatcher m;
  m.SetPattern(m.WildcardToPattern(xyx::Utf8ToLocalText(kWildcard)));
  std::size_t ours = 0;
  const double ourSeconds = BestSeconds(3, [&] { ours = Scan(m, d.local); });

  std::string command = "LC_ALL=C.UTF-8 grep -c -i -E '";
  command.append(kGrepPattern).append("' ").append(d.utf8Path);
  std::size_t theirs = 0;
  const double grepSeconds = BestSeconds(3, [&] {
    FILE* p = popen(command.c_str(), "r");
    if (!p) return;
    unsigned long long n = 0;
    if (std::fscanf(p, "%llu", &n) == 1) theirs = n;
    pclose(p);
  });

  std::printf("\nnames: %zu, %.1f bytes on average (local text)\n", d.local.size(),
              static_cast<double>(d.bytes) / static_cast<double>(d.local.size()));
  std::printf("FindMatches(WildcardToPattern(\"%s\")): %.3f s, %.2f million cells/s, %zu found\n",
              kWildcard, ourSeconds, static_cast<double>(d.local.size()) / ourSeconds / 1e6, ours);
  std::printf("%s: %.3f s, %.2f million lines/s, %zu found\n", command.c_str(), grepSeconds,
              static_cast<double>(d.local.size()) / grepSeconds / 1e6, theirs);
  std::printf("time ratio ours/grep: %.2f\n", ourSeconds / grepSeconds);
  std::remove(d.utf8Path.c_str());
  if (ours != theirs) {
    std::printf("MISMATCH: the two counts differ\n");
    return 1;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return CompareWithGrep();
}

// Writes a deterministic, realistic search reply or catalogue for the benchmarks.
//   xiyingxia-gen-reply --lines N --format reply|reply-utf8|lines|tsv --out FILE
// reply:      the SOAP reply envelope around the result lines, in local text (GB18030)
// reply-utf8: the same in UTF-8, as the service sends it
// lines:      the result lines alone, in local text
// tsv:        a catalogue import file (size, hash, actor, name), UTF-8, names as in replies
// catalogue:  a catalogue import file with a large vocabulary, UTF-8
// keywords:   one-word search keywords drawn from the catalogue's vocabulary

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <random>
#include <string>
#include <vector>

#include "core/text/encoding.h"

namespace {

const char* const kWords[] = {
    "星际", "穿越", "大话",   "西游",      "无间",   "道",      "霸王",       "别姬",     "功夫",
    "英雄", "少林", "足球",   "唐人街",    "探案",   "流浪",    "地球",       "让子弹飞", "活着",
    "城南", "旧事", "Matrix", "Inception", "Avatar", "Titanic", "Metropolis", "Nosferatu"};
const char* const kActors[] = {"周星驰", "刘德华",          "梁朝伟",        "张国荣", "巩俐",
                               "章子怡", "Charlie Chaplin", "Buster Keaton", "吴京",   "葛优"};
const char* const kTags[] = {"HD", "BD", "1080P", "TC", "DVD", "国语", "粤语", "中字"};

std::string MakeLine(std::mt19937_64& rng, std::uint64_t i, bool tsv) {
  auto pick = [&](auto& arr) { return std::string(arr[rng() % (sizeof(arr) / sizeof(arr[0]))]); };
  std::string name = pick(kWords) + pick(kWords);
  if (rng() % 3 == 0) name += "第" + std::to_string(rng() % 40 + 1) + "集";
  name += " " + pick(kTags);
  if (rng() % 5 == 0) name += " " + pick(kTags);
  const std::uint64_t size = 50'000'000 + rng() % 6'000'000'000ULL;
  char hash[41];
  std::snprintf(hash, sizeof hash, "%016llX%016llX%08X", static_cast<unsigned long long>(rng()),
                static_cast<unsigned long long>(i), static_cast<unsigned>(rng() & 0xFFFFFFFF));
  const std::string actor = pick(kActors);
  if (tsv) return std::to_string(size) + "\t" + hash + "\t" + actor + "\t" + name + "\n";
  return std::to_string(size) + "|" + hash + "|" + actor + "|" + std::to_string(i % 7) + "|" +
         name + "\r\n";
}

// A catalogue vocabulary large enough that a one-word search finds tens of entries, as a
// search for one film does: Latin words of three syllables and Chinese words of three
// characters.
const char* const kSyllables[] = {"ka",  "lo",  "mi",  "ra",  "ven", "tor", "sa",  "ne",
                                  "qui", "dor", "bel", "an",  "ix",  "mu",  "ter", "zo",
                                  "pe",  "gal", "ri",  "sul", "ha",  "ko",  "ni",  "wen",
                                  "ba",  "do",  "lu",  "fen", "ta",  "mor", "cy",  "el"};
const char* const kHanzi[] = {"星", "河", "月", "光", "风", "云", "山", "海", "龙", "虎",
                              "春", "秋", "夜", "雪", "花", "城", "剑", "影", "梦", "火",
                              "天", "地", "人", "心", "金", "石", "水", "木", "东", "西",
                              "南", "北", "红", "白", "青", "黑", "长", "江", "古", "新"};

std::string LatinWord(std::mt19937_64& rng) {
  std::string w;
  const int n = 3;
  for (int k = 0; k < n; ++k) w += kSyllables[rng() % std::size(kSyllables)];
  return w;
}

std::string HanziWord(std::mt19937_64& rng) {
  std::string w;
  for (int k = 0; k < 3; ++k) w += kHanzi[rng() % std::size(kHanzi)];
  return w;
}

std::string MakeCatalogueLine(std::mt19937_64& rng, std::uint64_t i) {
  std::string name = HanziWord(rng) + " " + LatinWord(rng);
  name += " " + std::string(kTags[rng() % std::size(kTags)]);
  const std::uint64_t size = 50'000'000 + rng() % 6'000'000'000ULL;
  char hash[41];
  std::snprintf(hash, sizeof hash, "%016llX%016llX%08X", static_cast<unsigned long long>(rng()),
                static_cast<unsigned long long>(i), static_cast<unsigned>(rng() & 0xFFFFFFFF));
  return std::to_string(size) + "\t" + hash + "\t" + kActors[rng() % std::size(kActors)] + "\t" +
         name + "\t" + std::to_string(i % 7) + "\n";
}

}  // namespace

int main(int argc, char** argv) {
  std::uint64_t lines = 1'000'000;
  std::string format = "reply";
  std::string out;
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string opt = argv[i];
    if (opt == "--lines")
      lines = std::stoull(argv[i + 1]);
    else if (opt == "--format")
      format = argv[i + 1];
    else if (opt == "--out")
      out = argv[i + 1];
  }
  if (out.empty()) {
    std::cerr << "usage: xiyingxia-gen-reply --lines N --format FORMAT --out FILE\n";
    return 2;
  }
  if (format == "catalogue" || format == "keywords") {
    // catalogue: the service's import file; keywords: one-word searches over it, one a line.
    std::ofstream file(out, std::ios::binary);
    std::mt19937_64 rng(format == "catalogue" ? 20261211 : 1211);
    for (std::uint64_t i = 0; i < lines; ++i) {
      file << (format == "catalogue" ? MakeCatalogueLine(rng, i)
                                     : (i % 2 ? LatinWord(rng) : HanziWord(rng)) + "\n");
    }
    return file ? 0 : 1;
  }
  const bool local = format == "reply" || format == "lines";
  const bool envelope = format == "reply" || format == "reply-utf8";
  std::ofstream file(out, std::ios::binary);
  std::mt19937_64 rng(20261211);
  if (envelope) {
    file << "<?xml version=\"1.0\"?>\r\n<SOAP-ENV:Envelope "
            "xmlns:SOAP-ENV=\"http://schemas.xmlsoap.org/soap/envelope/\"><SOAP-ENV:Body>"
            "<NS1:searchResponse xmlns:NS1=\"urn:yxServiceIntf-IyxService\">"
            "<return xsi:type=\"xsd:string\">";
  }
  std::string chunk;
  for (std::uint64_t i = 0; i < lines; ++i) {
    chunk += MakeLine(rng, i, format == "tsv");
    if (chunk.size() > (1 << 20) || i + 1 == lines) {
      file << (local ? xyx::Utf8ToLocalText(chunk) : chunk);
      chunk.clear();
    }
  }
  if (envelope) file << "</return></NS1:searchResponse></SOAP-ENV:Body></SOAP-ENV:Envelope>";
  return file ? 0 : 1;
}

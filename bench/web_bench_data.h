#pragma once
// A deterministic search reply in UTF-8 for the web benchmarks: the SOAP envelope around
// result lines of Chinese and Latin names, as the service sends it.

#include <cstddef>
#include <cstdint>
#include <string>

namespace xyx::bench {

inline std::string MakeUtf8Reply(std::size_t targetBytes) {
  static const char* const kWords[] = {
      "星际",   "穿越", "大话",   "西游",      "无间道",   "霸王别姬", "功夫", "英雄",
      "唐人街", "探案", "Matrix", "Inception", "让子弹飞", "Avatar",   "活着", "城南旧事"};
  static const char* const kActors[] = {"周星驰", "刘德华",          "梁朝伟", "张国荣",
                                        "巩俐",   "Charlie Chaplin", "吴京",   "葛优"};
  std::string out =
      "<?xml version=\"1.0\" encoding=\"utf-8\"?><SOAP-ENV:Envelope "
      "xmlns:SOAP-ENV=\"http://schemas.xmlsoap.org/soap/envelope/\"><SOAP-ENV:Body>"
      "<NS1:searchResponse xmlns:NS1=\"urn:yxServiceIntf-IyxService\"><return>";
  const std::string tail = "</return></NS1:searchResponse></SOAP-ENV:Body></SOAP-ENV:Envelope>";
  std::uint64_t state = 0x9E3779B97F4A7C15ULL;
  auto next = [&] {
    state ^= state << 13;
    state ^= state >> 7;
    state ^= state << 17;
    return state;
  };
  out.reserve(targetBytes + 256);
  while (out.size() + tail.size() + 200 < targetBytes) {
    const std::uint64_t r = next();
    out += std::to_string(100000000 + r % 4000000000ULL);  // size
    out += '|';
    for (int i = 0; i < 40; ++i) out += "0123456789ABCDEF"[(r >> (i % 60)) & 15];  // hash
    out += '|';
    out += kActors[r % 8];
    out += "|HD|";
    out += kWords[(r >> 8) % 16];
    out += kWords[(r >> 16) % 16];
    out += ' ';
    out += std::to_string(r % 1000);
    out += "\r\n";
  }
  out += tail;
  return out;
}

}  // namespace xyx::bench

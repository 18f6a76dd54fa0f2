#include "core/text/utf8_to_gb18030.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <memory>

#include "core/platform/memory.h"
#include "core/text/iconv_converter.h"

namespace xyx {

namespace {

// The GB18030 bytes of every BMP code point: up to four bytes, and their count (0 when the
// code point has no form, as for the surrogates).
struct BmpTable {
  std::array<std::uint32_t, 0x10000> bytes{};
  std::array<std::uint8_t, 0x10000> length{};
};

std::size_t Gb18030CharLength(const unsigned char* p, std::size_t left) {
  if (p[0] < 0x80) return 1;
  if (left >= 4 && p[1] >= 0x30 && p[1] <= 0x39) return 4;
  return 2;
}

void Store(BmpTable& t, char16_t cp, std::string_view gb) {
  std::uint32_t packed = 0;
  std::memcpy(&packed, gb.data(), gb.size());
  t.bytes[cp] = packed;
  t.length[cp] = static_cast<std::uint8_t>(gb.size());
}

std::unique_ptr<BmpTable> BuildTable() {
  auto table = std::make_unique<BmpTable>();
  IconvConverter converter("GB18030", "UTF-16LE");
  // All code points in one conversion, then the output split character by character.
  std::string units;
  units.reserve(0x10000 * 2);
  for (std::uint32_t cp = 0; cp < 0x10000; ++cp) {
    if (cp >= 0xD800 && cp <= 0xDFFF) continue;
    units.push_back(static_cast<char>(cp & 0xFF));
    units.push_back(static_cast<char>(cp >> 8));
  }
  const std::optional<std::string> all = converter.Convert(units);
  if (all) {
    const auto* p = reinterpret_cast<const unsigned char*>(all->data());
    std::size_t at = 0;
    for (std::uint32_t cp = 0; cp < 0x10000 && at < all->size(); ++cp) {
      if (cp >= 0xD800 && cp <= 0xDFFF) continue;
      const std::size_t len = Gb18030CharLength(p + at, all->size() - at);
      Store(*table, static_cast<char16_t>(cp), std::string_view(all->data() + at, len));
      at += len;
    }
    return table;
  }
  // Some code point has no form: convert them one by one and leave those out.
  for (std::uint32_t cp = 0; cp < 0x10000; ++cp) {
    if (cp >= 0xD800 && cp <= 0xDFFF) continue;
    const char unit[2] = {static_cast<char>(cp & 0xFF), static_cast<char>(cp >> 8)};
    if (auto one = converter.Convert(std::string_view(unit, 2))) {
      Store(*table, static_cast<char16_t>(cp), *one);
    }
  }
  return table;
}

const BmpTable& Table() {
  static const std::unique_ptr<BmpTable> table = BuildTable();
  return *table;
}

bool Continuation(unsigned char c) {
  return (c & 0xC0) == 0x80;
}

}  // namespace

std::optional<std::string> Utf8ToGb18030(std::string_view utf8) {
  const BmpTable& table = Table();
  const auto* p = reinterpret_cast<const unsigned char*>(utf8.data());
  const std::size_t n = utf8.size();
  // Written through a small buffer: sizing the output for the worst case (a two-byte UTF-8
  // character may take four bytes) would zero-fill and fault in twice the input.
  std::string out;
  out.reserve(n + 16);  // Chinese text shrinks by a third; only rare characters grow
  AdviseLargeBuffer(out.data(), out.capacity());
  constexpr std::size_t kChunk = 64 * 1024;
  unsigned char chunk[kChunk + 16];
  unsigned char* o = chunk;
  std::size_t w = 0;
  std::size_t i = 0;
  while (i < n) {
    if (w >= kChunk) {
      out.append(reinterpret_cast<const char*>(chunk), w);
      w = 0;
    }
    // ASCII runs eight bytes at a time.
    while (i + 8 <= n && w < kChunk) {
      std::uint64_t word;
      std::memcpy(&word, p + i, 8);
      if (word & 0x8080808080808080ULL) break;
      std::memcpy(o + w, &word, 8);
      i += 8;
      w += 8;
    }
    if (i >= n) break;
    const unsigned char c = p[i];
    if (c < 0x80) {
      o[w++] = c;
      ++i;
      continue;
    }
    char32_t cp;
    // Three-byte sequences first: nearly all Chinese text is made of them.
    if (c >= 0xE1 && c <= 0xEF && c != 0xED && i + 2 < n && Continuation(p[i + 1]) &&
        Continuation(p[i + 2])) {
      cp = (static_cast<char32_t>(c & 0x0F) << 12) | (static_cast<char32_t>(p[i + 1] & 0x3F) << 6) |
           (p[i + 2] & 0x3F);
      i += 3;
    } else if (c >= 0xC2 && c <= 0xDF) {
      if (i + 1 >= n || !Continuation(p[i + 1])) return std::nullopt;
      cp = (static_cast<char32_t>(c & 0x1F) << 6) | (p[i + 1] & 0x3F);
      i += 2;
    } else if (c >= 0xE0 && c <= 0xEF) {
      if (i + 2 >= n || !Continuation(p[i + 1]) || !Continuation(p[i + 2])) return std::nullopt;
      if ((c == 0xE0 && p[i + 1] < 0xA0) || (c == 0xED && p[i + 1] > 0x9F)) return std::nullopt;
      cp = (static_cast<char32_t>(c & 0x0F) << 12) | (static_cast<char32_t>(p[i + 1] & 0x3F) << 6) |
           (p[i + 2] & 0x3F);
      i += 3;
    } else if (c >= 0xF0 && c <= 0xF4) {
      if (i + 3 >= n || !Continuation(p[i + 1]) || !Continuation(p[i + 2]) ||
          !Continuation(p[i + 3])) {
        return std::nullopt;
      }
      if ((c == 0xF0 && p[i + 1] < 0x90) || (c == 0xF4 && p[i + 1] > 0x8F)) return std::nullopt;
      cp = (static_cast<char32_t>(c & 0x07) << 18) |
           (static_cast<char32_t>(p[i + 1] & 0x3F) << 12) |
           (static_cast<char32_t>(p[i + 2] & 0x3F) << 6) | (p[i + 3] & 0x3F);
      i += 4;
    } else {
      return std::nullopt;
    }
    if (cp < 0x10000) {
      const std::uint8_t len = table.length[cp];
      if (len == 0) return std::nullopt;
      std::memcpy(o + w, &table.bytes[cp], 4);  // the room is there; only `len` bytes count
      w += len;
    } else {
      // Beyond the BMP, GB18030 counts four-byte sequences linearly from 90 30 81 30.
      std::uint32_t linear = cp - 0x10000;
      o[w + 3] = static_cast<unsigned char>(0x30 + linear % 10);
      linear /= 10;
      o[w + 2] = static_cast<unsigned char>(0x81 + linear % 126);
      linear /= 126;
      o[w + 1] = static_cast<unsigned char>(0x30 + linear % 10);
      linear /= 10;
      o[w] = static_cast<unsigned char>(0x90 + linear);
      w += 4;
    }
  }
  out.append(reinterpret_cast<const char*>(chunk), w);
  return out;
}

}  // namespace xyx

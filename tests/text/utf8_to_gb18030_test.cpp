#include "core/text/utf8_to_gb18030.h"

#include <gtest/gtest.h>

#include <random>

#include "core/text/iconv_converter.h"

namespace xyx {
namespace {

// The table must give exactly what one iconv call gives, also in refusing the same inputs.
TEST(Utf8ToGb18030, SameAsIconv) {
  IconvConverter iconv("GB18030", "UTF-8");
  const std::string pieces[] = {"a",
                                "Metropolis ",
                                "\xE4\xB8\xAD",
                                "\xE6\x96\x87",
                                "\xC3\xA9",
                                "\xC2\xB7",  // 中 文 é ·
                                "\xE2\x82\xAC",
                                "\xEF\xBF\xBD",
                                "\xF0\x9F\x98\x80",
                                "\xF4\x8F\xBF\xBF",  // € U+FFFD 😀
                                "\xEE\x80\x80",
                                "\xE2\x80\x94",  // PUA, —
                                "\xC0\xAF",
                                "\xED\xA0\x80",
                                "\xF4\x90\x80\x80",
                                "\xE4\xB8",
                                "\x80",
                                "\xFF",  // invalid
                                std::string("\0", 1)};
  std::mt19937 rng(18030);
  for (int round = 0; round < 4000; ++round) {
    std::string text;
    const int count = static_cast<int>(rng() % 24);
    const int validOnly = round % 2;
    for (int k = 0; k < count; ++k) {
      const std::size_t pick = rng() % (validOnly ? 12 : std::size(pieces));
      text += pieces[pick];
    }
    ASSERT_EQ(Utf8ToGb18030(text), iconv.Convert(text)) << "round " << round;
  }
}

TEST(Utf8ToGb18030, EveryBmpCharacterAndSomeBeyond) {
  IconvConverter iconv("GB18030", "UTF-8");
  std::string all;
  int refused = 0;
  for (char32_t cp = 0x80; cp < 0x110000; cp += (cp < 0x10000 ? 1 : 997)) {
    if (cp >= 0xD800 && cp <= 0xDFFF) continue;
    std::string one;
    if (cp < 0x800) {
      one += static_cast<char>(0xC0 | (cp >> 6));
      one += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
      one += static_cast<char>(0xE0 | (cp >> 12));
      one += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      one += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
      one += static_cast<char>(0xF0 | (cp >> 18));
      one += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
      one += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      one += static_cast<char>(0x80 | (cp & 0x3F));
    }
    // A few code points have no form in iconv's table; both must refuse them alike.
    const auto single = Utf8ToGb18030(one);
    ASSERT_EQ(single, iconv.Convert(one)) << std::hex << static_cast<unsigned>(cp);
    if (single) {
      all += one;
    } else {
      ++refused;
    }
  }
  EXPECT_LT(refused, 100);
  const auto ours = Utf8ToGb18030(all);
  ASSERT_TRUE(ours);
  EXPECT_EQ(ours, iconv.Convert(all));
}

}  // namespace
}  // namespace xyx

#include "core/text/local_text.h"

#include <gtest/gtest.h>

namespace xyx {
namespace {

// "中" in GB18030 is D6 D0; "\x81\x7C" is a double-byte character whose second byte is "|",
// "\x81\x5C" one whose second byte is a backslash.
constexpr std::string_view kBarTrail = "\x81\x7C";

TEST(LocalText, FindStepsOverDoubleByteCharacters) {
  struct Row {
    std::string hay, needle;
    std::size_t from;
    xyx::Case mode;
    std::size_t want;
  };
  const Row cases[] = {
      {"a|b", "|", 0, Case::Exact, 1},
      {std::string(kBarTrail) + "|", "|", 0, Case::Exact, 2},
      {std::string(kBarTrail), "|", 0, Case::Exact, npos},
      {"\xD6\xD0\xD6\xD0x", "\xD0\xD6", 0, Case::Exact, npos},  // straddles two characters
      {"\xD6\xD0\xD6\xD0x", "\xD6\xD0x", 0, Case::Exact, 2},
      {"<HEAD>x", "<head>", 0, Case::IgnoreAscii, 0},
      {"<HEAD>x", "<head>", 0, Case::Exact, npos},
      {"\x81"
       "A",
       "\x81"
       "a",
       0, Case::IgnoreAscii, npos},  // second bytes never fold
      {"abcabc", "abc", 1, Case::Exact, 3},
      {"abc", "", 2, Case::Exact, 2},
      {"abc", "abcd", 0, Case::Exact, npos},
      {"ab\x81", "\x81", 0, Case::Exact, 2},  // a lone lead byte at the end is a character
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FindText(c.hay, c.needle, c.from, c.mode), c.want) << c.hay << " / " << c.needle;
  }
}

TEST(LocalText, FindLastAndReplaceAll) {
  EXPECT_EQ(FindLastText("a|b|c", "|", 5), 3u);
  EXPECT_EQ(FindLastText("a|b|c", "|", 3), 1u);
  EXPECT_EQ(FindLastText("abc", "|", 3), npos);
  EXPECT_EQ(ReplaceAll("aaa", "a", "aa"), "aaaaaa");  // inserted text is not rescanned
  EXPECT_EQ(ReplaceAll("''x''", "''", "\""), "\"x\"");
  EXPECT_EQ(ReplaceAll(std::string(kBarTrail) + "|", "|", "/"), std::string(kBarTrail) + "/");
}

TEST(LocalText, SplitFollowsTextArrayRule) {
  using V = std::vector<Text>;
  EXPECT_EQ(SplitText("a|b|c", "|"), (V{"a", "b", "c"}));
  EXPECT_EQ(SplitText("a|b|", "|"), (V{"a", "b"}));
  EXPECT_EQ(SplitText("a||b", "|"), (V{"a", "", "b"}));
  EXPECT_EQ(SplitText("|", "|"), (V{""}));
  EXPECT_EQ(SplitText("", "|"), V{});
  EXPECT_EQ(SplitText("x[fg]y", "[fg]"), (V{"x", "y"}));
  EXPECT_EQ(SplitText(std::string(kBarTrail) + "|z", "|"), (V{std::string(kBarTrail), "z"}));
}

TEST(LocalText, BytesToTextAndLower) {
  EXPECT_EQ(BytesToText(std::string("ab\0cd", 5)), "ab");
  EXPECT_EQ(AsciiLower("AbC\x81Z"), "abc\x81Z");
}

}  // namespace
}  // namespace xyx

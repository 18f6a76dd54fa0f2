#include "core/results/sort_keys.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "core/text/encoding.h"

namespace xyx {
namespace {

std::string IntegerKey(std::int64_t v) {
  std::string out;
  AppendIntegerKey(v, out);
  return out;
}
std::string NumberKey(std::string_view text) {
  std::string out;
  AppendNumberKey(text, out);
  return out;
}
std::string DateKey(std::string_view utf8) {
  std::string out;
  AppendDateKey(Utf8ToLocalText(utf8), out);
  return out;
}

// Keys of values given in ascending order must come out strictly ascending as text.
template <typename T, typename F>
void ExpectKeysAscend(const std::vector<T>& ascending, F key) {
  for (std::size_t i = 1; i < ascending.size(); ++i) {
    EXPECT_LT(key(ascending[i - 1]), key(ascending[i])) << i;
  }
}

TEST(SortKeysTest, IntegerKeysFollowNumericOrderForEverySign) {
  EXPECT_EQ(IntegerKey(5), std::string(30, '0') + "5");
  EXPECT_EQ(IntegerKey(0).size(), 31u);
  EXPECT_EQ(IntegerKey(-1), "-" + std::string(30, '9') + "8");
  const std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
  const std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
  ExpectKeysAscend<std::int64_t>({kMin, -5'000'000'000, -10, -9, -1, 0, 1, 9, 10, 1023, 1024,
                                  4'294'967'295, 4'294'967'296, 5'000'000'000, kMax},
                                 IntegerKey);
}

TEST(SortKeysTest, NumberKeysReadTheLeadingNumber) {
  EXPECT_EQ(NumberKey("1.5"), std::string(29, '0') + "1.5" + std::string(29, '0'));
  EXPECT_EQ(NumberKey("12abc"), NumberKey("12"));
  EXPECT_EQ(NumberKey("  +7"), NumberKey("7"));
  // Neither a number nor the start of one: read as 0.
  for (const char* text : {"", "abc", "inf", "nan", "-", "."}) {
    EXPECT_EQ(NumberKey(text), NumberKey("0")) << text;
  }
  // Just above the negative threshold counts as not negative.
  EXPECT_EQ(NumberKey("-0.00000001")[0], '0');
  ExpectKeysAscend<std::string>(
      {"-1e40", "-1000", "-2.5", "-2", "0", "0.5", "2", "2.5", "10", "1e3", "1e29", "1e31"},
      [](const std::string& t) { return NumberKey(t); });
  EXPECT_EQ(NumberKey("1e31"), NumberKey("1e300"));  // all the largest key
  for (const char* text : {"3", "-3", "1e31", "-1e31"}) {
    EXPECT_EQ(NumberKey(text).size(), text[0] == '-' ? 62u : 61u) << text;
  }
}

TEST(SortKeysTest, DateKeysReadDigitGroups) {
  struct Case {
    const char* text;
    const char* key;
  } cases[] = {
      {"2012-03-04 05:06:07", "20120304050607"},
      {"2012/3/4", "20120304000000"},
      {"2012年3月4日 5:06", "20120304050600"},
      {"12-3-4", "20120304000000"},
      {"99.12.31", "19991231000000"},
      {"2012-13-01", "00000000000000"},
      {"2012-02-30 24:00", "00000000000000"},
      {"2012-03", "00000000000000"},
      {"昨天", "00000000000000"},
      {"", "00000000000000"},
  };
  for (const Case& c : cases) EXPECT_EQ(DateKey(c.text), c.key) << c.text;
}

TEST(SortKeysTest, TextKeysOrderChineseByPinyinAfterLatinIgnoringCase) {
  CollationKeyBuilder collator;
  ASSERT_TRUE(collator.Valid());
  const std::vector<std::u16string> ascending = {u"",      u"123",    u"apple", u"Banana",
                                                 u"zebra", u"阿凡达", u"北京",  u"变形金刚",
                                                 u"功夫",  u"张三",   u"周星驰"};
  ExpectKeysAscend<std::u16string>(ascending,
                                   [&](const std::u16string& t) { return collator.Key(t); });
  EXPECT_EQ(collator.Key(u"ABC"), collator.Key(u"abc"));
  EXPECT_NE(collator.Key(u"abc"), collator.Key(u"abd"));
  // Keys have no terminating zero, so a prefix sorts first.
  EXPECT_LT(collator.Key(u"功"), collator.Key(u"功夫"));
}

TEST(SortKeysTest, SortedOrderIsStableAndDescendingIsItsReverse) {
  SortKeys keys;
  for (const char* k : {"b", "a", "b", "a", "c"}) keys.Add(k);
  EXPECT_EQ(keys[2], "b");
  EXPECT_EQ(SortedOrder(keys, true), (std::vector<std::size_t>{1, 3, 0, 2, 4}));
  EXPECT_EQ(SortedOrder(keys, false), (std::vector<std::size_t>{4, 2, 0, 3, 1}));
  EXPECT_TRUE(SortedOrder(SortKeys(), true).empty());
}

TEST(SortKeysTest, RankedAndPrefixedKeysSortAsTheirText) {
  // Keys sharing long prefixes, shorter than eight bytes, and integer keys with their ranks.
  const std::vector<std::int64_t> values = {5, -3, 4'294'967'296, 0, -3, 7, -9'000'000'000, 5};
  SortKeys texts;
  SortKeys ranked;
  for (const std::int64_t v : values) {
    texts.Add(IntegerKey(v));
    AppendIntegerKey(v, ranked.Buffer());
    ranked.EndKey(IntegerRank(v));
  }
  EXPECT_EQ(SortedOrder(ranked, true), SortedOrder(texts, true));
  EXPECT_EQ(SortedOrder(ranked, true), (std::vector<std::size_t>{6, 1, 4, 3, 0, 7, 5, 2}));
  SortKeys mixed;
  for (const char* k : {"abcdefghZ", "ab", "abcdefghA", "abcdefgh", "a", "abcdefgi"}) mixed.Add(k);
  EXPECT_EQ(SortedOrder(mixed, true), (std::vector<std::size_t>{4, 1, 3, 2, 0, 5}));
}

TEST(SortKeysTest, KindsOutsideTheFiveAreRefused) {
  SortKeyKind kind = SortKeyKind::kText;
  EXPECT_FALSE(ToSortKeyKind(-1, kind));
  EXPECT_FALSE(ToSortKeyKind(5, kind));
  ASSERT_TRUE(ToSortKeyKind(3, kind));
  EXPECT_EQ(kind, SortKeyKind::kValue);
}

}  // namespace
}  // namespace xyx

#include "core/pattern/regexp_object.h"

#include <gtest/gtest.h>

#define PCRE2_CODE_UNIT_WIDTH 16
#include <pcre2.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace xyx {
namespace {

struct Found {
  int index;
  std::u16string value;
  bool operator==(const Found&) const = default;
};

std::vector<Found> All(const MatchCollection& c) {
  std::vector<Found> out;
  for (int i = 0; i < c.Count(); ++i) {
    const auto m = c.Item(i);
    EXPECT_TRUE(m.has_value());
    EXPECT_EQ(m->Length(), static_cast<int>(m->Value().size()));
    out.push_back({m->FirstIndex(), m->Value()});
  }
  return out;
}

std::unique_ptr<RegExpObject> Make(std::u16string_view pattern, int ignoreCase, int multiline,
                                   int global) {
  auto re = std::make_unique<RegExpObject>();
  re->SetPattern(pattern);
  re->SetIgnoreCase(ignoreCase);
  re->SetMultiline(multiline);
  re->SetGlobal(global);
  return re;
}

TEST(RegExpObject, ExecuteFindsTheMatchesOfEachMode) {
  struct Row {
    std::u16string pattern;
    int ignoreCase, multiline, global;
    std::u16string subject;
    std::vector<Found> want;
  };
  const Row rows[] = {
      // Empty matches are all reported, and the search moves on past each one.
      {u"x*", 0, 0, 1, u"abc", {{0, u""}, {1, u""}, {2, u""}, {3, u""}}},
      {u"a*", 0, 0, 1, u"baaa", {{0, u""}, {1, u"aaa"}, {4, u""}}},
      {u"", 0, 0, 1, u"ab", {{0, u""}, {1, u""}, {2, u""}}},
      {u"", 0, 0, 1, u"", {{0, u""}}},
      // Never stops inside a surrogate pair; indexes and lengths count code units.
      {u"", 0, 0, 1, u"a\U0001F600b", {{0, u""}, {1, u""}, {3, u""}, {4, u""}}},
      {u".", 0, 0, 1, u"\U0001F600x", {{0, u"\U0001F600"}, {2, u"x"}}},
      // Global off: the first match only.
      {u"a", 0, 0, 0, u"aaa", {{0, u"a"}}},
      {u"x*", 0, 0, 0, u"abc", {{0, u""}}},
      // Line ends: LF and CR both end a line in multiline mode; otherwise "$" is the very end.
      {u"^b", 0, 2, 1, u"a\nb", {{2, u"b"}}},
      {u"^b", 0, 2, 1, u"a\rb", {{2, u"b"}}},
      {u"^b", 0, 0, 1, u"a\nb", {}},
      {u"a$", 0, 0, 1, u"a\n", {}},
      {u"a$", 0, 2, 1, u"a\r\n", {{0, u"a"}}},
      {u"^.*$", 0, 2, 1, u"x\r\ny", {{0, u"x"}, {3, u"y"}}},
      // Letter case, ASCII and full-width; \w stays ASCII.
      {u"abc", 1, 0, 1, u"xABC", {{1, u"ABC"}}},
      {u"abc", 0, 0, 1, u"xABC", {}},
      {u"\uFF41\uFF42", 1, 0, 1, u"\uFF21\uFF22", {{0, u"\uFF21\uFF22"}}},
      {u"\uFF41", 0, 0, 1, u"\uFF21", {}},
      {u"\\w+", 0, 0, 1, u"\u4E2D_a1", {{1, u"_a1"}}},
      // Escapes of the script dialect.
      {u"\\u4E2D\\x41", 0, 0, 1, u"\u4E2DA", {{0, u"\u4E2DA"}}},
      // Lone surrogates are matched as single characters and reported as they were.
      {u".",
       0,
       0,
       1,
       std::u16string(u"a") + char16_t(0xD800) + u"b",
       {{0, u"a"}, {1, std::u16string(1, char16_t(0xD800))}, {2, u"b"}}},
      {std::u16string(1, char16_t(0xDC00)),
       0,
       0,
       1,
       std::u16string(1, char16_t(0xDC00)),
       {{0, std::u16string(1, char16_t(0xDC00))}}},
  };
  for (const auto& r : rows) {
    const auto object = Make(r.pattern, r.ignoreCase, r.multiline, r.global);
    RegExpObject& re = *object;
    const MatchCollection c = re.Execute(r.subject);
    EXPECT_EQ(All(c), r.want) << "pattern #" << (&r - rows);
    EXPECT_EQ(re.Test(r.subject), !r.want.empty()) << "pattern #" << (&r - rows);
    EXPECT_EQ(re.LastError(), 0);
  }
}

TEST(RegExpObject, SubMatchesGiveNothingForGroupsThatTookNoPart) {
  const auto object = Make(u"(a)|(b)", 0, 0, 1);
  RegExpObject& re = *object;
  const MatchCollection c = re.Execute(u"ba");
  ASSERT_EQ(c.Count(), 2);
  const auto first = c.Item(0);
  ASSERT_EQ(first->SubMatches().Count(), 2);
  EXPECT_EQ(first->SubMatches().Item(0), std::nullopt);
  EXPECT_EQ(first->SubMatches().Item(1), u"b");
  EXPECT_EQ(c.Item(1)->SubMatches().Item(0), u"a");
  EXPECT_EQ(c.Item(1)->SubMatches().Item(1), std::nullopt);
  EXPECT_EQ(first->SubMatches().Item(2), std::nullopt);
  EXPECT_EQ(first->SubMatches().Item(-1), std::nullopt);
  EXPECT_FALSE(c.Item(2).has_value());
  EXPECT_FALSE(c.Item(-1).has_value());
}

TEST(RegExpObject, ReplaceTokens) {
  struct Row {
    std::u16string pattern;
    int global;
    std::u16string subject, replacement, want;
  };
  const std::u16string eleven = u"(a)(b)(c)(d)(e)(f)(g)(h)(i)(j)(k)";
  const Row rows[] = {
      {u"b", 1, u"abc", u"[$&]", u"a[b]c"},
      {u"b", 1, u"abc", u"[$`|$']", u"a[a|c]c"},
      {u"b", 1, u"abc", u"$$", u"a$c"},
      {u"b", 1, u"abc", u"$", u"a$c"},
      {u"b", 1, u"abc", u"$x$0", u"a$x$0c"},
      {u"(b)", 1, u"abc", u"<$1$2>", u"a<b$2>c"},
      {u"(b)", 1, u"abc", u"$10", u"ab0c"},  // no group 10: one digit, then a plain "0"
      {eleven, 1, u"abcdefghijk", u"$11$10$12$01", u"kja2a"},
      {u"(x)?b", 1, u"abc", u"[$1]", u"a[]c"},
      {u"a", 1, u"aXa", u"b", u"bXb"},
      {u"a", 0, u"aXa", u"b", u"bXa"},
      {u"x*", 1, u"abc", u"-", u"-a-b-c-"},
      {u"", 0, u"abc", u"-", u"-abc"},
      {u"z", 1, u"abc", u"-", u"abc"},
      {u"\u4E2D", 1, u"\u4E2D\U0001F600\u4E2D", u"$'", u"\U0001F600\u4E2D\U0001F600"},
  };
  for (const auto& r : rows) {
    const auto object = Make(r.pattern, 0, 0, r.global);
    RegExpObject& re = *object;
    EXPECT_EQ(re.Replace(r.subject, r.replacement), r.want) << "row #" << (&r - rows);
  }
}

TEST(RegExpObject, FailuresGiveTheEmptyResultOfEachCall) {
  auto badObject = Make(u"a(b", 0, 0, 1);
  RegExpObject& bad = *badObject;
  EXPECT_EQ(bad.Execute(u"ab").Count(), 0);
  EXPECT_GT(bad.LastError(), 0);  // a compile error code
  EXPECT_EQ(bad.Replace(u"ab", u"x"), std::nullopt);
  EXPECT_FALSE(bad.Test(u"ab"));
  EXPECT_GT(bad.LastError(), 0);

  // Nested quantifiers against a near miss backtrack exponentially; the match limit ends it.
  auto runawayObject = Make(u"(a+)+$", 0, 0, 1);
  RegExpObject& runaway = *runawayObject;
  const std::u16string subject = std::u16string(40, u'a') + u"!";
  EXPECT_EQ(runaway.Execute(subject).Count(), 0);
  EXPECT_EQ(runaway.LastError(), PCRE2_ERROR_MATCHLIMIT);
  EXPECT_EQ(runaway.Replace(subject, u"x"), std::nullopt);
  EXPECT_FALSE(runaway.Test(subject));

  // Fixing the pattern makes the object usable again.
  bad.SetPattern(u"a(b)");
  EXPECT_EQ(bad.Execute(u"ab").Count(), 1);
  EXPECT_EQ(bad.LastError(), 0);
}

TEST(RegExpObject, PropertiesReadBackAndCountWrites) {
  RegExpObject re;
  EXPECT_EQ(re.Pattern(), u"");
  EXPECT_FALSE(re.IgnoreCase() || re.Multiline() || re.Global());
  re.SetIgnoreCase(1);
  re.SetMultiline(2);
  re.SetGlobal(4);
  re.SetGlobal(4);
  re.SetPattern(u"a");
  EXPECT_TRUE(re.IgnoreCase() && re.Multiline() && re.Global());
  EXPECT_EQ(re.Pattern(), u"a");
  EXPECT_EQ(re.PropertyWrites(), 5);
  EXPECT_EQ(re.Execute(u"AaA").Count(), 3);
  re.SetIgnoreCase(0);  // a change after compiling takes effect at the next use
  EXPECT_EQ(re.Execute(u"AaA").Count(), 1);
}

}  // namespace
}  // namespace xyx

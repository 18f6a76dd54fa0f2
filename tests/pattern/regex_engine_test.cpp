#include "core/pattern/regex_engine.h"

#include <gtest/gtest.h>

#include <climits>

#include "core/pattern/pattern_matcher.h"
#include "core/text/encoding.h"

namespace xyx {
namespace {

Text L(std::string_view utf8) {
  return Utf8ToLocalText(utf8);
}

int Writes(const RegexEngine& e) {
  return e.Object()->PropertyWrites();
}

TEST(RegexEngine, WritesTheObjectOnlyWhenPatternOrFlagsChange) {
  RegexEngine fresh;
  // All three switches off and an empty pattern is the object's own initial state.
  EXPECT_TRUE(fresh.SetPattern("", true, true, true));
  EXPECT_EQ(Writes(fresh), 0);

  RegexEngine e;
  e.SetPattern("a(b)", true, true, false);
  EXPECT_EQ(Writes(e), 4);
  e.SetPattern("a(b)", true, true, false);
  EXPECT_EQ(Writes(e), 4);
  e.SetPattern("a(b)", false, true, false);  // one flag: the pattern and all switches again
  EXPECT_EQ(Writes(e), 8);
  EXPECT_TRUE(e.Object()->IgnoreCase());
  EXPECT_FALSE(e.Object()->Multiline());
  EXPECT_TRUE(e.Object()->Global());

  // An empty pattern after a non-empty one is not written: the old one stays in effect. It
  // differs from the cached pattern, so the switches are written each time.
  e.SetPattern("", false, true, false);
  EXPECT_EQ(Writes(e), 11);
  e.SetPattern("", false, false, false);
  EXPECT_EQ(Writes(e), 14);
  EXPECT_EQ(e.GetPattern(), "a(b)");
  EXPECT_EQ(e.Object()->Pattern(), u"a(b)");
  EXPECT_EQ(e.FindMatches("xAbx"), 1);
}

TEST(PatternMatcher, EmptyPatternWithoutFlagsWritesOnlyTheSwitchesAndMatchesAnything) {
  PatternMatcher m;
  EXPECT_TRUE(m.SetPattern(""));
  EXPECT_EQ(Writes(m.Engine()), 3);
  EXPECT_TRUE(m.Engine().Object()->IgnoreCase() && m.Engine().Object()->Multiline() &&
              m.Engine().Object()->Global());
  EXPECT_EQ(m.FindMatches("abc"), 4);
  EXPECT_EQ(m.FindMatches(""), 1);
  EXPECT_EQ(m.GetPattern(), "");
}

TEST(RegexEngine, CopySharesTheObjectAndCopiesTheCache) {
  RegexEngine a;
  a.SetPattern("x");
  EXPECT_EQ(a.FindMatches("xx"), 2);
  RegexEngine b(a);
  EXPECT_EQ(b.Object(), a.Object());
  EXPECT_EQ(b.GetPattern(), "x");
  EXPECT_EQ(b.MatchCount(), 2);
  b.SetPattern("x");  // same cache as the source: no write
  EXPECT_EQ(Writes(a), 4);
  b.SetPattern("y");
  EXPECT_EQ(a.FindMatches("xy"), 1);
  EXPECT_EQ(a.MatchText(1), "y");
  EXPECT_EQ(a.GetPattern(), "x");  // the cache itself is not shared
  EXPECT_EQ(b.MatchCount(), 2);    // b's last matches are its own
  EXPECT_EQ(b.MatchText(2), "x");

  PatternMatcher m;
  m.SetPattern("z");
  const PatternMatcher copy(m);
  m.SetPattern("q");
  EXPECT_EQ(copy.Engine().Object(), m.Engine().Object());
  EXPECT_EQ(copy.GetPattern(), "z");
}

TEST(RegexEngine, MatchAccessorsUseOneBasedIndexes) {
  RegexEngine e;
  e.SetPattern("(a)(x)?|(b)");
  ASSERT_EQ(e.FindMatches("ab"), 2);
  EXPECT_EQ(e.MatchCount(), 2);
  EXPECT_EQ(e.SubMatchCount(), 3);
  EXPECT_EQ(e.MatchText(1), "a");
  EXPECT_EQ(e.MatchText(2), "b");
  EXPECT_EQ(e.MatchText(2, -1), "b");
  EXPECT_EQ(e.SubMatchText(1, 1), "a");
  EXPECT_EQ(e.SubMatchText(2, 3), "b");
  EXPECT_EQ(e.MatchValue(2, 3), u"b");
  // Out of range.
  for (int i : {0, 3, -1, INT_MIN, INT_MAX}) {
    EXPECT_EQ(e.MatchText(i), "") << i;
    EXPECT_EQ(e.MatchValue(i, 0), std::nullopt) << i;
    EXPECT_EQ(e.MatchLength(i), 0) << i;
    EXPECT_EQ(e.MatchByteLength(i, 0), 0) << i;
  }
  EXPECT_EQ(e.SubMatchText(1, 4), "");
  EXPECT_EQ(e.SubMatchText(1, INT_MAX), "");
  // Groups that took no part: nothing, of length 0.
  EXPECT_EQ(e.MatchValue(1, 2), std::nullopt);
  EXPECT_EQ(e.SubMatchText(1, 2), "");
  EXPECT_EQ(e.MatchLength(1, 2), 0);
  EXPECT_EQ(e.MatchByteLength(1, 3), 0);
}

TEST(RegexEngine, LengthsCountWideCharactersAndLocalBytes) {
  RegexEngine e;
  const Text subject = L("看电影中文HD");
  ASSERT_EQ(e.SetPatternAndFind(L("(中.)"), subject), 1);
  EXPECT_EQ(e.MatchText(1), L("中文"));
  EXPECT_EQ(e.MatchLength(1), 2);
  EXPECT_EQ(e.MatchByteLength(1, 0), 4);
  EXPECT_EQ(e.MatchLength(1, 1), 2);
  EXPECT_EQ(e.MatchByteLength(1, 1), 4);
  // A character outside the BMP is two wide characters and four local bytes.
  ASSERT_EQ(e.SetPatternAndFind(".", L("😀")), 1);
  EXPECT_EQ(e.MatchLength(1), 2);
  EXPECT_EQ(e.MatchByteLength(1, 0), 4);
}

TEST(RegexEngine, FailuresLeaveEmptyResults) {
  RegexEngine e;
  ASSERT_EQ(e.SetPatternAndFind("a", "aaa"), 3);
  EXPECT_EQ(e.SetPatternAndFind("a(", "aaa"), 0);  // rejected pattern
  EXPECT_EQ(e.MatchCount(), 0);
  EXPECT_EQ(e.SubMatchCount(), 0);
  EXPECT_EQ(e.MatchText(1), "");
  EXPECT_EQ(e.ReplaceMatches("aaa", "b"), "");
  EXPECT_FALSE(e.TestMatch("aaa"));
  EXPECT_EQ(e.GetPattern(), "a(");

  RegexEngine never;  // nothing searched yet
  EXPECT_EQ(never.MatchCount(), 0);
  EXPECT_EQ(never.SubMatchCount(), 0);
  EXPECT_EQ(never.MatchText(1), "");
  EXPECT_EQ(never.MatchLength(1), 0);
}

TEST(RegexEngine, FlagsAreNegativeAndDefaultToAllOn) {
  RegexEngine e;
  EXPECT_EQ(e.SetPatternAndFind("a", "AaA", false, false, true), 1);  // first match only
  EXPECT_EQ(e.MatchText(1), "A");
  EXPECT_EQ(e.SetPatternAndFind("a", "AaA", true, false, false), 1);  // case sensitive
  EXPECT_EQ(e.MatchText(1), "a");
  EXPECT_EQ(e.SetPatternAndFind("^b", "a\nb", false, true, false), 0);  // single line
  EXPECT_EQ(e.SetPatternAndFind("^b", "a\nb"), 1);
}

TEST(RegexEngine, ReplaceAndTestLeaveTheKeptMatchesAlone) {
  RegexEngine e;
  e.SetPattern("(o)");
  ASSERT_EQ(e.FindMatches("foo"), 2);
  EXPECT_EQ(e.ReplaceMatches("boom", "[$1$&]"), "b[oo][oo]m");
  EXPECT_EQ(e.ReplaceMatches("boom"), "bm");
  EXPECT_TRUE(e.TestMatch("o"));
  EXPECT_FALSE(e.TestMatch("x"));
  EXPECT_EQ(e.MatchCount(), 2);
  // A pattern given to ReplaceMatches is set first, with its flags.
  EXPECT_EQ(e.ReplaceMatches("aAa", "b", "a", true, false, true), "bAa");
  EXPECT_EQ(e.GetPattern(), "a");
  EXPECT_EQ(e.ReplaceMatches("aAa", "b"), "bAa");
  EXPECT_EQ(e.ReplaceMatches(L("第3集"), L("$'第$`"), L("\\d")), L("第集第第集"));

  PatternMatcher m;
  m.SetPattern("a");
  EXPECT_EQ(m.ReplaceMatches("AbA", "-"), "-b-");
}

TEST(PatternMatcher, FindsWhatTheLocateCommandsWildcardsMean) {
  struct Row {
    std::string wildcard, cell;
    bool found;
  };
  const Row rows[] = {
      {"abc", "xABCx", true},
      {"ab*cd", "xxABzzCDyy", true},
      {"ab*cd", "cdab", false},
      {"*cd", "cd", true},
      {"a?c", "ac", true},
      {"a?c", "abc", true},
      {"a?c", "abbc", false},
      {"sea|sky", "blue sky", true},
      {"sea|sky", "sea", true},
      {"sea|sky", "land", false},
      {"sea|", "land", true},  // an empty alternative matches everything
      {"a.b", "a.b", true},
      {"a.b", "axb", false},
      {"(1+1)=2", "(1+1)=2", true},
      {"[x]", "x", false},
      {"$", "US$5", true},
      {"第3集*HD", "神雕侠侣第3集高清hd版", true},
      {"第3集*HD", "神雕侠侣第13集", false},
      {"中?文", "中国文", true},  // "?" is one whole character, not one byte
      {"中?文", "中国人文", false},
      {"ＡＢ", "ａｂ", true},
  };
  for (const auto& r : rows) {
    PatternMatcher m;
    m.SetPattern(m.WildcardToPattern(L(r.wildcard)));
    EXPECT_EQ(m.FindMatches(L(r.cell)) > 0, r.found) << r.wildcard << " / " << r.cell;
  }
  PatternMatcher m;
  EXPECT_EQ(m.EscapeAll("a|b*"), "a\\|b\\*");
  EXPECT_EQ(m.EscapeKeepAlternation("a|b*"), "a|b\\*");
  m.SetPattern(m.EscapeKeepAlternation("a.b|c*"));
  EXPECT_EQ(m.FindMatches("xc*x a.b"), 2);
  EXPECT_EQ(m.MatchText(1), "c*");
  EXPECT_EQ(m.SubMatchText(1, 1), "");
  EXPECT_EQ(m.MatchCount(), 2);
  EXPECT_EQ(m.SubMatchCount(), 0);
}

}  // namespace
}  // namespace xyx

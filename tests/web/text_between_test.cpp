#include "core/web/text_between.h"

#include <gtest/gtest.h>

namespace xyx {
namespace {

TEST(UnescapeQuotes, PairsBecomeOneDoubleQuoteWithoutRescan) {
  EXPECT_EQ(UnescapeQuotes("a=''x''"), "a=\"x\"");
  EXPECT_EQ(UnescapeQuotes("'''"), "\"'");
  EXPECT_EQ(UnescapeQuotes("''''"), "\"\"");
}

TEST(TextBetween, FindsHeadSectionIgnoringCase) {
  EXPECT_EQ(TextBetween("<HTML><HEAD><title>t</title></Head>", "<head>", "</head>"),
            "<title>t</title>");
}

TEST(TextBetween, EmptyHeadAndTailMeanBeginningAndEnd) {
  EXPECT_EQ(TextBetween("ab|cd|", "", "|"), "ab");
  EXPECT_EQ(TextBetween("ab|cd", "|", ""), "cd");
  EXPECT_EQ(TextBetween("ab|cd", "", ""), "ab|cd");
}

TEST(TextBetween, StartPositionMovesOnlyOnSuccess) {
  std::int64_t pos = 0;
  EXPECT_EQ(TextBetween("[a][][b]", "[", "]", 0, 0, &pos), "a");
  EXPECT_EQ(pos, 4);
  // Head immediately followed by the tail: empty, but the position still moves.
  EXPECT_EQ(TextBetween("[a][][b]", "[", "]", 0, 0, &pos), "");
  EXPECT_EQ(pos, 6);
  EXPECT_EQ(TextBetween("[a][][b]", "[", "]", 0, 0, &pos), "b");
  EXPECT_EQ(pos, 9);
  // Nothing left: empty and unchanged.
  EXPECT_EQ(TextBetween("[a][][b]", "[", "]", 0, 0, &pos), "");
  EXPECT_EQ(pos, 9);
  // Head found but no tail after it.
  pos = 0;
  EXPECT_EQ(TextBetween("x[abc", "[", "]", 0, 0, &pos), "");
  EXPECT_EQ(pos, 0);
}

TEST(TextBetween, MarkerPositionsCountInTheMarkedCopy) {
  std::int64_t pos = 0;
  EXPECT_EQ(TextBetween("ab|cd", "", "|", 0, 0, &pos), "ab");
  EXPECT_EQ(pos, static_cast<std::int64_t>(HeadMarker.size()) + 4);
}

TEST(TextBetween, BackwardsTakesTheLastPairBeforeThePosition) {
  std::int64_t pos = 0;
  EXPECT_EQ(TextBetween("<a>1</a><a>2</a>", "<a>", "</a>", 0, 0, &pos, true), "2");
  EXPECT_EQ(pos, 9);
  EXPECT_EQ(TextBetween("<a>1</a><a>2</a>", "<a>", "</a>", 0, 0, &pos, true), "1");
  EXPECT_EQ(pos, 1);
  EXPECT_EQ(TextBetween("<a>1</a><a>2</a>", "<a>", "</a>", 0, 0, &pos, true), "");
  EXPECT_EQ(pos, 1);
}

TEST(TextBetween, SkipDropAndUnescape) {
  EXPECT_EQ(TextBetween("<x>abcdef</x>", "<x>", "</x>", 1, 2), "bcd");
  EXPECT_EQ(TextBetween("<x>ab</x>", "<x>", "</x>", 1, 2), "");
  EXPECT_EQ(TextBetween("<x>ab</x>", "<x>", "</x>", -100, 0), "");
  EXPECT_EQ(TextBetween("v=\"q\";", "v=''", "''", 0, 0, nullptr, false, true), "q");
  EXPECT_EQ(TextBetween("v=\"q\";", "v=''", "''"), "");
}

TEST(TextBetween, StepsOverDoubleByteCharacters) {
  // 0xB0 0x5B is one character whose second byte is "["; it must not be taken for the head.
  const std::string text = "\xB0[x]y[z]";
  EXPECT_EQ(TextBetween(text, "[", "]"), "z");
  // ASCII case folding leaves double-byte characters alone.
  EXPECT_EQ(TextBetween("\xC4\xE3HEAD\xC4\xE3", "head", "\xC4\xE3"), "");
  EXPECT_EQ(TextBetween("a\xC4\xE3HEADz\xC4\xE3", "head", "\xC4\xE3"), "z");
}

TEST(TextBetweenLenient, WalksMetaTagsInOrder) {
  const std::string page = "<meta a=1><p><META b='2'>x<meta c=\"3\">";
  std::int64_t pos = 0;
  EXPECT_EQ(TextBetweenLenient(page, "<meta", ">", pos), " a=1");
  EXPECT_EQ(TextBetweenLenient(page, "<meta", ">", pos), " b='2'");
  EXPECT_EQ(TextBetweenLenient(page, "<meta", ">", pos), " c=\"3\"");
  const std::int64_t end = pos;
  EXPECT_EQ(TextBetweenLenient(page, "<meta", ">", pos), "");
  EXPECT_EQ(pos, end);
}

TEST(TextBetweenLenient, TailFirstGivesTheInnermostPair) {
  std::int64_t pos = 0;
  EXPECT_EQ(TextBetweenLenient("(a(b)c)", "(", ")", pos, true), "b");
  EXPECT_EQ(pos, 6);
  pos = 0;
  EXPECT_EQ(TextBetweenLenient("(a(b)c)", "(", ")", pos, false), "a(b");
}

TEST(TextBetweenLenient, SecondTryWithoutDoubleQuotes) {
  std::int64_t pos = 0;
  // The quoted head is not there; without its quotes it is.
  EXPECT_EQ(TextBetweenLenient("id=7;", "id=''", ";", pos), "7");
  EXPECT_EQ(pos, 6);
  pos = 0;
  EXPECT_EQ(TextBetweenLenient("id=\"7\";", "id=''", "'';", pos), "7");
  pos = 0;
  // keepQuotes: the apostrophes are taken literally.
  EXPECT_EQ(TextBetweenLenient("id=''7'';", "id=''", "'';", pos, false, 0, 0, true), "7");
}

TEST(ContainsAnyOrAll, AnyAndAllOverAlternatives) {
  const std::string utf8 = UnescapeQuotes("charset=UTF-8[fg]charset=''UTF-8''[fg]charset='UTF-8'");
  EXPECT_TRUE(ContainsAnyOrAll("content=\"text/html; ChArSeT=utf-8\"", utf8, true));
  EXPECT_TRUE(ContainsAnyOrAll("charset=\"Utf-8\"", utf8, true));
  EXPECT_FALSE(ContainsAnyOrAll("charset=gb2312", utf8, true));
  EXPECT_FALSE(ContainsAnyOrAll("charset=utf-8", utf8, false));
  EXPECT_TRUE(ContainsAnyOrAll("AB cd", "ab[fg]CD", false));
  EXPECT_FALSE(ContainsAnyOrAll("anything", "", true));
  EXPECT_TRUE(ContainsAnyOrAll("anything", "", false));
}

}  // namespace
}  // namespace xyx

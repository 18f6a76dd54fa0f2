#include "core/web/decode_text.h"

#include <gtest/gtest.h>

namespace xyx {
namespace {

const std::string kZhongWenGbk = "\xD6\xD0\xCE\xC4";  // 中文 in GB18030
const std::string kZhongWenUtf8 = "\xE4\xB8\xAD\xE6\x96\x87";
const std::string kZhongWenBig5 = "\xA4\xA4\xA4\xE5";
const std::string kZhongWenUtf16Le("\x2D\x4E\x87\x65", 4);
const std::string kZhongWenUtf16Be("\x4E\x2D\x65\x87", 4);

std::string Page(const std::string& meta, const std::string& body) {
  return "<html><head><title>t</title>" + meta + "</head><body>" + body + "</body></html>";
}

struct Case {
  const char* name;
  std::string data;
  int requested;
  std::string text;
  int used;
};

TEST(DecodeText, DetectionOrderAndConversions) {
  const std::string big5Page = Page("<meta charset=\"big5\">", kZhongWenBig5);
  const std::string hkscsPage = Page("<meta charset=Big5-HKSCS>", "\x9D\xF2");
  const Case cases[] = {
      {"utf8 bom", "\xEF\xBB\xBF" + kZhongWenUtf8, 0, kZhongWenGbk, 2},
      {"utf16le bom", "\xFF\xFE" + kZhongWenUtf16Le, 0, kZhongWenGbk, 3},
      {"utf16be bom", "\xFE\xFF" + kZhongWenUtf16Be, 0, kZhongWenGbk, 4},
      {"big5 meta", big5Page, 0, Page("<meta charset=\"big5\">", kZhongWenGbk), 5},
      {"big5-hkscs meta", hkscsPage, 0, Page("<meta charset=Big5-HKSCS>", "\x97\x38\xCD\x32"), 6},
      {"hkscs single quotes", Page("<meta x charset='big5-hkscs'>", ""), 0,
       Page("<meta x charset='big5-hkscs'>", ""), 6},
      {"utf8 meta in content", Page("<meta content=\"text/html; charset=utf-8\">", kZhongWenUtf8),
       0, Page("<meta content=\"text/html; charset=utf-8\">", kZhongWenGbk), 2},
      {"gb2312 meta passed over", Page("<meta charset=gb2312>", kZhongWenGbk), 0,
       Page("<meta charset=gb2312>", kZhongWenGbk), 1},
      {"meta outside a non-empty head is not read",
       "<head><title>t</title></head><meta charset=big5>" + kZhongWenBig5, 0,
       "<head><title>t</title></head><meta charset=big5>" + kZhongWenBig5, 1},
      {"ascii without declaration", "plain text", 0, "plain text", 2},
      {"gbk without declaration", kZhongWenGbk, 0, kZhongWenGbk, 1},
      {"utf8 without declaration", kZhongWenUtf8, 0, kZhongWenGbk, 2},
      {"empty", "", 0, "", 1},
      {"requested local, valid utf8", kZhongWenUtf8, 1, kZhongWenGbk, 2},
      {"requested 9 acts as local", kZhongWenGbk, 9, kZhongWenGbk, 1},
      {"requested utf16le skips two bytes", "xx" + kZhongWenUtf16Le, 3, kZhongWenGbk, 3},
      {"requested utf8 drops its bom",
       "\xEF\xBB\xBF"
       "a",
       2, "a", 2},
      {"requested big5", kZhongWenBig5, 5, kZhongWenGbk, 5},
      {"0x1A is kept in utf8",
       std::string("ab\x1A"
                   "cd"),
       1,
       "ab\x1A"
       "cd",
       2},
      {"local text stops at 0x1A",
       kZhongWenGbk + "\x1A"
                      "cd",
       1, kZhongWenGbk, 1},
  };
  for (const Case& c : cases) {
    int used = -5;
    EXPECT_EQ(DecodeText(c.data, c.requested, used), c.text) << c.name;
    EXPECT_EQ(used, c.used) << c.name;
  }
}

TEST(DecodeText, DeclaredUtf8WithAnInvalidSequenceUsesTheLenientConverter) {
  const std::string data = Page("<meta charset='utf-8'>", kZhongWenUtf8 + "\xFF!");
  int used = 0;
  const Text text = DecodeText(data, 0, used);
  EXPECT_EQ(used, 2);
  EXPECT_NE(text.find(kZhongWenGbk), npos);
  EXPECT_NE(text.find("!</body>"), npos);
}

TEST(DecodeText, DataNoConversionAcceptsComesBackAsLocalText) {
  int used = 0;
  // A lead byte followed by a zero byte is dropped with it.
  EXPECT_EQ(DecodeText(std::string("ab\xC4\0cd", 6), 0, used), "ab");
  EXPECT_EQ(used, 1);
  // 0x1A as the second byte of a character does not end the text.
  EXPECT_EQ(DecodeText(std::string("\x81\x1A\x1A"
                                   "z"),
                       1, used),
            "\x81\x1A");
  EXPECT_EQ(used, 1);
  // Declared Big5 that is not Big5 at all falls back to the lenient converter.
  const Text big5 = DecodeText(Page("<meta charset=big5>", "\xFF\xFF"), 0, used);
  EXPECT_EQ(used, 5);
  EXPECT_NE(big5.find("<body>"), npos);
}

TEST(DecodeText, Utf16FallbackStopsAtTheFirstZeroUnit) {
  // Mark, a lone surrogate (which the strict conversion rejects), 'a', a zero unit, 'b'.
  const std::string lone(
      "\xFF\xFE\x00\xD8"
      "a\x00\x00\x00"
      "b\x00",
      10);
  int used = 0;
  EXPECT_EQ(DecodeText(lone, 0, used), "?a");
  EXPECT_EQ(used, 3);
}

TEST(DetectMetaCharset, ReportsTheFirstKnownDeclaration) {
  EXPECT_EQ(DetectMetaCharset("<meta charset=gbk><meta charset=\"UTF-8\">").kind, 1);
  EXPECT_EQ(DetectMetaCharset("<meta charset=Big5>").kind, 2);
  EXPECT_EQ(DetectMetaCharset("<meta charset=''big5-hkscs''>").kind, 0);
  EXPECT_EQ(DetectMetaCharset("<meta charset=\"big5-hkscs\">").kind, 3);
  EXPECT_FALSE(DetectMetaCharset("<meta><meta charset=utf-8>").found);
  EXPECT_FALSE(DetectMetaCharset("charset=utf-8").found);
}

TEST(FallbackConversions, KeepWhatTheyCanRead) {
  EXPECT_EQ(Utf8ToLocal(kZhongWenUtf8 + std::string("\0x", 2)), kZhongWenGbk);
  EXPECT_EQ(Utf16ToLocal(kZhongWenUtf16Be, true), kZhongWenGbk);
  EXPECT_EQ(Big5ToLocal(kZhongWenBig5 + "\xFF"
                                        "a"),
            kZhongWenGbk + "?a");
}

}  // namespace
}  // namespace xyx

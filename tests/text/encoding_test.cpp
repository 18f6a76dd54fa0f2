#include "core/text/encoding.h"

#include <gtest/gtest.h>

namespace xyx {
namespace {

constexpr std::string_view kZhongLocal = "\xD6\xD0";  // 中
constexpr std::string_view kZhongUtf8 = "\xE4\xB8\xAD";

TEST(Encoding, RoundTripsThroughUtf8AndUtf16) {
  const std::string local = std::string("a") + std::string(kZhongLocal) + "b";
  EXPECT_EQ(LocalToUtf8(local), std::string("a") + std::string(kZhongUtf8) + "b");
  EXPECT_EQ(Utf8ToLocalText(LocalToUtf8(local)), local);
  EXPECT_EQ(LocalToUtf16(local), u"a中b");
  EXPECT_EQ(Utf16ToLocalText(u"a中b"), local);
  // A character outside the BMP survives: GB18030 holds every code point.
  EXPECT_EQ(LocalToUtf16(Utf16ToLocalText(u"\U0001F600")), u"\U0001F600");
}

TEST(Encoding, InvalidInputIsReplacedNotDropped) {
  EXPECT_EQ(LocalToUtf16("a\xFF"), u"a\uFFFD");
  EXPECT_EQ(LocalToUtf8("x\x81"), "x\xEF\xBF\xBD");
  EXPECT_EQ(Utf16ToLocalText(std::u16string(u"a") + char16_t(0xD800) + u"b"), "a?b");
  EXPECT_EQ(LocalToUtf16(Utf8ToLocalText("a\xC3")), u"a\uFFFD");
}

TEST(Encoding, CodePoints) {
  EXPECT_EQ(CodePointToLocal(U'&'), "&");
  EXPECT_EQ(CodePointToLocal(U'中'), kZhongLocal);
  EXPECT_EQ(CodePointToLocal(0), "");
  EXPECT_EQ(CodePointToLocal(0xD800), "");
  EXPECT_EQ(CodePointToLocal(0x110000), "");
}

}  // namespace
}  // namespace xyx

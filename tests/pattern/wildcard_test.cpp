#include "core/pattern/wildcard.h"

#include <gtest/gtest.h>

namespace xyx {
namespace {

TEST(Wildcard, WorkedExamplesAndEdges) {
  struct Row {
    Text (*fn)(std::string_view);
    std::string in, want;
  };
  const std::string bsTrail = "\x81\x5C";     // second byte is a backslash
  const std::string barTrail = "\x81\x7C";    // second byte is a vertical bar
  const std::string zh = "\xD6\xD0\xCE\xC4";  // 中文
  const Row rows[] = {
      {WildcardToPattern, "a.b*c?d|e", "a\\.b.*c.?d|e"},
      {WildcardToPattern, "(1+1)=2", "\\(1\\+1\\)\\=2"},
      {WildcardToPattern, "\\.", "\\\\\\."},
      {WildcardToPattern, "***", ".*.*.*"},
      {WildcardToPattern, "^$[]{}\"", "\\^\\$\\[\\]\\{\\}\\\""},
      {EscapeAll, "a*b?c|d", "a\\*b\\?c\\|d"},
      {EscapeKeepAlternation, "a*b?c|d", "a\\*b\\?c|d"},
      {WildcardToPattern, "", ""},
      {EscapeAll, "", ""},
      {EscapeKeepAlternation, "", ""},
      {WildcardToPattern, zh, zh},
      {EscapeAll, zh + "abc", zh + "abc"},
      {WildcardToPattern, bsTrail + barTrail, bsTrail + barTrail},
      {EscapeAll, bsTrail + barTrail + "|", bsTrail + barTrail + "\\|"},
      {EscapeKeepAlternation, barTrail + "*", barTrail + "\\*"},
      {WildcardToPattern, "x\x81", "x\x81"},  // a lone lead byte at the end stays as it is
  };
  for (const auto& r : rows) EXPECT_EQ(r.fn(r.in), r.want) << r.in;
}

}  // namespace
}  // namespace xyx

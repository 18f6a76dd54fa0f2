// The locate path: user text through the three conversions into the regex object. Every
// conversion of valid local text must compile, and must find the text it was made from.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "core/pattern/pattern_matcher.h"
#include "core/text/encoding.h"

#define PCRE2_CODE_UNIT_WIDTH 16
#include <pcre2.h>

namespace {

bool HitLimit(const xyx::PatternMatcher& m) {
  const int e = m.Engine().Object()->LastError();
  return e == PCRE2_ERROR_MATCHLIMIT || e == PCRE2_ERROR_DEPTHLIMIT || e == PCRE2_ERROR_HEAPLIMIT ||
         e == PCRE2_ERROR_JIT_STACKLIMIT;
}

void Check(bool ok) {
  if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const xyx::Text text =
      xyx::BytesToText(std::string_view(reinterpret_cast<const char*>(data), size));
  // Bytes that are not valid local text may turn into a different pattern once converted;
  // they only have to be handled without harm.
  const bool valid = xyx::Utf16ToLocalText(xyx::LocalToUtf16(text)) == text;

  xyx::PatternMatcher wildcard;
  wildcard.SetPattern(wildcard.WildcardToPattern(text));
  const int found = wildcard.FindMatches(text);
  if (valid) Check(found > 0 || HitLimit(wildcard));

  xyx::PatternMatcher literal;
  literal.SetPattern(literal.EscapeAll(text));
  if (literal.FindMatches(text) > 0) {
    Check(literal.MatchText(1) == text || !valid);
  } else {
    Check(!valid || HitLimit(literal));
  }

  xyx::PatternMatcher pieces;
  pieces.SetPattern(pieces.EscapeKeepAlternation(text));
  if (valid) Check(pieces.FindMatches(text) > 0 || HitLimit(pieces));
  return 0;
}

#include "core/pattern/pattern_matcher.h"

#include "core/pattern/wildcard.h"

namespace xyx {

Text PatternMatcher::WildcardToPattern(std::string_view text) const {
  return xyx::WildcardToPattern(text);
}

Text PatternMatcher::EscapeAll(std::string_view text) const {
  return xyx::EscapeAll(text);
}

Text PatternMatcher::EscapeKeepAlternation(std::string_view text) const {
  return xyx::EscapeKeepAlternation(text);
}

Text PatternMatcher::MatchText(int matchIndex) const {
  return engine.MatchText(matchIndex);
}

Text PatternMatcher::SubMatchText(int matchIndex, int subIndex) const {
  return engine.SubMatchText(matchIndex, subIndex);
}

int PatternMatcher::FindMatches(std::string_view subject) {
  return engine.FindMatches(subject);
}

Text PatternMatcher::ReplaceMatches(std::string_view subject, std::string_view replacement) {
  return engine.ReplaceMatches(subject, replacement);
}

bool PatternMatcher::SetPattern(std::string_view pattern, bool ignoreCase, bool multiline,
                                bool global) {
  return engine.SetPattern(pattern, !ignoreCase, !multiline, !global);
}

Text PatternMatcher::GetPattern() const {
  return engine.GetPattern();
}

int PatternMatcher::MatchCount() const {
  return engine.MatchCount();
}

int PatternMatcher::SubMatchCount() const {
  return engine.SubMatchCount();
}

}  // namespace xyx

#pragma once
// PatternMatcher: the face of RegexEngine that the locate command uses. Its switches are
// positive (ignore case, multiline, global), all on when not given, and it offers the three
// wildcard conversions alongside.

#include <string_view>

#include "core/pattern/regex_engine.h"
#include "core/text/local_text.h"

namespace xyx {

class PatternMatcher {
 public:
  PatternMatcher() = default;
  ~PatternMatcher() = default;
  PatternMatcher(const PatternMatcher&) = default;  // copies the engine, sharing its object
  PatternMatcher& operator=(const PatternMatcher&) = default;

  Text WildcardToPattern(std::string_view text) const;
  Text EscapeAll(std::string_view text) const;
  Text EscapeKeepAlternation(std::string_view text) const;
  Text MatchText(int matchIndex) const;
  Text SubMatchText(int matchIndex, int subIndex) const;
  int FindMatches(std::string_view subject);
  Text ReplaceMatches(std::string_view subject, std::string_view replacement = {});
  bool SetPattern(std::string_view pattern, bool ignoreCase = true, bool multiline = true,
                  bool global = true);
  Text GetPattern() const;
  int MatchCount() const;
  int SubMatchCount() const;

  const RegexEngine& Engine() const { return engine; }

 private:
  RegexEngine engine;
};

}  // namespace xyx

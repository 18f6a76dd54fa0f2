#pragma once
// RegexEngine: drives one RegExpObject with local text. It caches the pattern and switches last
// written so that an unchanged SetPattern leaves the object alone, and keeps the matches of
// the last FindMatches for the match accessors. Indexes are 1-based; a subIndex of 0 or less
// means the whole match. Every operation fails quietly with an empty result.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "core/pattern/regexp_object.h"
#include "core/text/local_text.h"

namespace xyx {

class RegexEngine {
 public:
  RegexEngine();
  ~RegexEngine();
  // A copy shares the object (and the last matches) and copies the cached pattern and flags,
  // so a SetPattern on either copy changes the object both use.
  RegexEngine(const RegexEngine& other);
  RegexEngine& operator=(const RegexEngine& other);

  bool SetPattern(std::string_view pattern, bool caseSensitive = false, bool singleLine = false,
                  bool firstMatchOnly = false);
  int FindMatches(std::string_view subject);
  int SetPatternAndFind(std::string_view pattern, std::string_view subject,
                        bool caseSensitive = false, bool singleLine = false,
                        bool firstMatchOnly = false);
  int MatchCount() const;
  RegexVariant MatchValue(int matchIndex, int subIndex) const;
  Text MatchText(int matchIndex, int subIndex = 0) const;
  Text SubMatchText(int matchIndex, int subIndex) const;
  // With a pattern given, SetPattern(pattern, flags...) runs first; without one the flags are
  // ignored and the current pattern and switches apply.
  Text ReplaceMatches(std::string_view subject, std::string_view replacement = {},
                      std::optional<std::string_view> pattern = std::nullopt,
                      bool caseSensitive = false, bool singleLine = false,
                      bool firstMatchOnly = false);
  bool TestMatch(std::string_view subject);
  Text GetPattern() const;
  int SubMatchCount() const;
  // In UTF-16 code units.
  int MatchLength(int matchIndex, int subIndex = 0) const;
  // In bytes of local text.
  int MatchByteLength(int matchIndex, int subIndex) const;

  // The object this engine drives (shared with its copies); lets tests watch its writes.
  const RegExpObject* Object() const { return regExp.get(); }

 private:
  static std::u16string TextToVariant(std::string_view text);
  static Text VariantToText(const RegexVariant& value);
  std::optional<Match> MatchItem(int matchIndex) const;

  std::shared_ptr<RegExpObject> regExp;
  std::shared_ptr<MatchCollection> matches;
  std::int32_t flags = 0;  // 1 ignore case, 2 multiline, 4 global, as last written
  Text pattern;            // the last non-empty pattern written
};

}  // namespace xyx

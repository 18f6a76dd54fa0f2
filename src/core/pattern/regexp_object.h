#pragma once
// RegExpObject: the regular-expression object the pattern classes drive, with the members and
// behaviour of the script engine's RegExp (Pattern, IgnoreCase, Multiline, Global, Execute,
// Replace, Test) over PCRE2's 16-bit library. Strings are UTF-16, so indexes and lengths count
// UTF-16 code units. No member throws; a rejected pattern or a match that runs into the
// match limit gives the empty result of the call's kind.

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace xyx {

// The value an automation call hands back: a string, or nothing at all (a group that took no
// part in the match, an index out of range, a failed call).
using RegexVariant = std::optional<std::u16string>;

// The group values of one match, group 1 at index 0.
class SubMatchCollection {
 public:
  int Count() const { return static_cast<int>(items_.size()); }
  RegexVariant Item(int index) const;

 private:
  friend class MatchCollection;
  std::vector<RegexVariant> items_;
};

class Match {
 public:
  const std::u16string& Value() const { return value_; }
  int FirstIndex() const { return firstIndex_; }
  int Length() const { return static_cast<int>(value_.size()); }
  const SubMatchCollection& SubMatches() const { return subMatches_; }

 private:
  friend class MatchCollection;
  std::u16string value_;
  int firstIndex_ = 0;
  SubMatchCollection subMatches_;
};

// The matches of one Execute. It keeps the subject and the match offsets only; a Match is
// built when it is asked for, so a search whose matches are only counted allocates little.
class MatchCollection {
 public:
  int Count() const;
  std::optional<Match> Item(int index) const;

 private:
  friend class RegExpObject;
  void Clear();

  std::u16string subject_;
  std::size_t groups_ = 0;            // capture groups of the pattern
  std::vector<std::size_t> offsets_;  // (groups_ + 1) start/end pairs per match
};

class RegExpObject {
 public:
  RegExpObject();
  ~RegExpObject();
  RegExpObject(const RegExpObject&) = delete;
  RegExpObject& operator=(const RegExpObject&) = delete;

  const std::u16string& Pattern() const { return pattern_; }
  bool IgnoreCase() const { return ignoreCase_; }
  bool Multiline() const { return multiline_; }
  bool Global() const { return global_; }

  // Property writes; a non-zero integer switches a property on. The pattern is compiled when
  // it is next used, and only when a write changed something that compiling depends on.
  void SetPattern(std::u16string_view pattern);
  void SetIgnoreCase(int value);
  void SetMultiline(int value);
  void SetGlobal(int value);

  // All matches when Global is on (empty ones included), otherwise at most one. An empty
  // collection when the pattern is rejected or the match limit is hit.
  MatchCollection Execute(std::u16string_view subject);
  // The same, refilling `out` in place so that repeated searches reuse its buffers.
  void ExecuteInto(std::u16string_view subject, MatchCollection& out);

  // The subject with the first match (every match when Global is on) replaced; the
  // replacement understands $1..$99, $&, $`, $' and $$. Nothing when the call fails.
  RegexVariant Replace(std::u16string_view subject, std::u16string_view replacement);

  bool Test(std::u16string_view subject);

  // Diagnostics: how many property writes the object has received, and the PCRE2 error code
  // of the last compile or match that failed (0 after a call that succeeded).
  int PropertyWrites() const { return propertyWrites_; }
  int LastError() const { return lastError_; }

 private:
  struct Pcre;
  bool Compile();
  // Finds the matches of the compiled pattern in `subject`, appending their offsets. Returns
  // false (and sets lastError_) when matching failed.
  bool Scan(std::u16string_view subject, bool all, std::vector<std::size_t>& offsets);

  std::u16string pattern_;
  bool ignoreCase_ = false;
  bool multiline_ = false;
  bool global_ = false;
  bool dirty_ = true;
  int propertyWrites_ = 0;
  int lastError_ = 0;
  std::unique_ptr<Pcre> pcre_;
  std::u16string scratch_;                   // the subject with lone surrogates replaced
  std::vector<std::size_t> replaceOffsets_;  // reused by Replace and Test
};

}  // namespace xyx

#include "core/pattern/regex_engine.h"

#include "core/text/encoding.h"

namespace xyx {

// The object is always available here, so there is no registration retry to fall back on.
RegexEngine::RegexEngine() : regExp(std::make_shared<RegExpObject>()) {}

RegexEngine::~RegexEngine() = default;
RegexEngine::RegexEngine(const RegexEngine& other) = default;
RegexEngine& RegexEngine::operator=(const RegexEngine& other) = default;

std::u16string RegexEngine::TextToVariant(std::string_view text) {
  return LocalToUtf16(text);
}

Text RegexEngine::VariantToText(const RegexVariant& value) {
  return value ? Utf16ToLocalText(*value) : Text();
}

bool RegexEngine::SetPattern(std::string_view newPattern, bool caseSensitive, bool singleLine,
                             bool firstMatchOnly) {
  const std::int32_t f = (caseSensitive ? 0 : 1) | (singleLine ? 0 : 2) | (firstMatchOnly ? 0 : 4);
  if (newPattern == pattern && f == flags) return true;
  // An empty pattern is never written: the object keeps the one it has.
  if (!newPattern.empty()) {
    pattern.assign(newPattern);
    if (regExp) regExp->SetPattern(TextToVariant(newPattern));
  }
  flags = f;
  if (regExp) {
    regExp->SetIgnoreCase(f & 1);
    regExp->SetMultiline(f & 2);
    regExp->SetGlobal(f & 4);
  }
  return true;
}

int RegexEngine::FindMatches(std::string_view subject) {
  if (!regExp) {
    matches.reset();
    return 0;
  }
  const std::u16string wide = TextToVariant(subject);
  // Refill the kept collection in place unless a copy of this engine still reads it.
  if (!matches || matches.use_count() != 1) matches = std::make_shared<MatchCollection>();
  regExp->ExecuteInto(wide, *matches);
  return matches->Count();
}

int RegexEngine::SetPatternAndFind(std::string_view newPattern, std::string_view subject,
                                   bool caseSensitive, bool singleLine, bool firstMatchOnly) {
  if (!SetPattern(newPattern, caseSensitive, singleLine, firstMatchOnly)) return 0;
  return FindMatches(subject);
}

int RegexEngine::MatchCount() const {
  return matches ? matches->Count() : 0;
}

std::optional<Match> RegexEngine::MatchItem(int matchIndex) const {
  if (!matches || matchIndex < 1) return std::nullopt;
  return matches->Item(matchIndex - 1);
}

RegexVariant RegexEngine::MatchValue(int matchIndex, int subIndex) const {
  const std::optional<Match> m = MatchItem(matchIndex);
  if (!m) return std::nullopt;
  if (subIndex <= 0) return m->Value();
  return m->SubMatches().Item(subIndex - 1);
}

Text RegexEngine::MatchText(int matchIndex, int subIndex) const {
  return VariantToText(MatchValue(matchIndex, subIndex));
}

Text RegexEngine::SubMatchText(int matchIndex, int subIndex) const {
  return VariantToText(MatchValue(matchIndex, subIndex));
}

Text RegexEngine::ReplaceMatches(std::string_view subject, std::string_view replacement,
                                 std::optional<std::string_view> newPattern, bool caseSensitive,
                                 bool singleLine, bool firstMatchOnly) {
  if (newPattern) SetPattern(*newPattern, caseSensitive, singleLine, firstMatchOnly);
  if (!regExp) return Text();
  return VariantToText(regExp->Replace(TextToVariant(subject), TextToVariant(replacement)));
}

bool RegexEngine::TestMatch(std::string_view subject) {
  return regExp && regExp->Test(TextToVariant(subject));
}

Text RegexEngine::GetPattern() const {
  return pattern;
}

int RegexEngine::SubMatchCount() const {
  const std::optional<Match> m = MatchItem(1);
  return m ? m->SubMatches().Count() : 0;
}

int RegexEngine::MatchLength(int matchIndex, int subIndex) const {
  if (subIndex > 0) {
    const RegexVariant v = MatchValue(matchIndex, subIndex);
    return v ? static_cast<int>(v->size()) : 0;
  }
  const std::optional<Match> m = MatchItem(matchIndex);
  return m ? m->Length() : 0;
}

int RegexEngine::MatchByteLength(int matchIndex, int subIndex) const {
  const RegexVariant v = MatchValue(matchIndex, subIndex);
  return v ? static_cast<int>(VariantToText(v).size()) : 0;
}

}  // namespace xyx

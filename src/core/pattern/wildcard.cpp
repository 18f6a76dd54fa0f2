#include "core/pattern/wildcard.h"

namespace xyx {

namespace {

enum class Set { Regex, Full, KeepAlternation };

bool InSet(char c, Set set) {
  switch (c) {
    case '\\':
    case '^':
    case '$':
    case '+':
    case '.':
    case '{':
    case '}':
    case '[':
    case ']':
    case '=':
    case '(':
    case ')':
    case '"':
      return true;
    case '?':
    case '*':
      return set != Set::Regex;
    case '|':
      return set == Set::Full;
    default:
      return false;
  }
}

// One left-to-right pass gives the same text as one pass per character in the table's
// order: the backslash pass comes first, so no later backslash is ever escaped again.
Text Escape(std::string_view text, Set set, bool wildcards) {
  Text out;
  out.reserve(text.size() + text.size() / 4);
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t len = CharLength(text, i);
    const char c = text[i];
    if (len == 1 && InSet(c, set)) {
      out.push_back('\\');
      out.push_back(c);
    } else if (len == 1 && wildcards && (c == '*' || c == '?')) {
      out.push_back('.');
      out.push_back(c);
    } else {
      out.append(text.substr(i, len));
    }
    i += len;
  }
  return out;
}

}  // namespace

Text WildcardToPattern(std::string_view text) {
  return Escape(text, Set::Regex, true);
}
Text EscapeAll(std::string_view text) {
  return Escape(text, Set::Full, false);
}
Text EscapeKeepAlternation(std::string_view text) {
  return Escape(text, Set::KeepAlternation, false);
}

}  // namespace xyx

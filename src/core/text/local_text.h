#pragma once
// Local text: GB18030 bytes held in std::string. A byte of 0x80 or more starts a
// two-byte character; every search and split here steps over such characters whole,
// so a second byte is never taken for an ASCII separator.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace xyx {

using Text = std::string;
using Bytes = std::string;  // a counted byte sequence; may hold zero bytes

inline constexpr std::size_t npos = std::string_view::npos;

inline bool IsLeadByte(char c) {
  return static_cast<unsigned char>(c) >= 0x80;
}

// Length in bytes of the character starting at text[i] (1 or 2; 1 for a lone lead byte at
// the end).
inline std::size_t CharLength(std::string_view text, std::size_t i) {
  return (IsLeadByte(text[i]) && i + 1 < text.size()) ? 2 : 1;
}

// True when `pos` is a character start, given that `from` (<= pos) is one. The position
// after any byte below 0x80 is always a character start (such a byte is either a whole
// character or the second byte of one), so only the run of high bytes before `pos` matters.
bool IsCharStart(std::string_view text, std::size_t from, std::size_t pos);

enum class Case { Exact, IgnoreAscii };

// First occurrence of `needle` at a character start at or after `from` (itself a character
// start). Returns npos when there is none. An empty needle is found at `from`.
std::size_t FindText(std::string_view hay, std::string_view needle, std::size_t from = 0,
                     Case mode = Case::Exact);

// Last occurrence of `needle` at a character start that ends at or before `end`.
std::size_t FindLastText(std::string_view hay, std::string_view needle, std::size_t end,
                         Case mode = Case::Exact);

// Replaces every occurrence of `from` by `to`, scanning left to right; inserted text is not
// scanned again.
Text ReplaceAll(std::string_view text, std::string_view from, std::string_view to,
                Case mode = Case::Exact);

// Splits by the "text array" rule: every separator ends a field (empty fields included);
// the rest after the last separator is one more field only when it is not empty.
std::vector<Text> SplitText(std::string_view text, std::string_view separator);

// Bytes taken as text end at the first zero byte.
Text BytesToText(std::string_view bytes);

// Lower-cases ASCII letters only, leaving double-byte characters untouched.
Text AsciiLower(std::string_view text);

}  // namespace xyx

#include "core/text/local_text.h"

#include <algorithm>
#include <cstring>

namespace xyx {

namespace {

char LowerAscii(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualAt(std::string_view hay, std::size_t pos, std::string_view needle, Case mode) {
  if (mode == Case::Exact) return std::memcmp(hay.data() + pos, needle.data(), needle.size()) == 0;
  // Only ASCII letters fold; the second byte of a double-byte character must match exactly.
  for (std::size_t k = 0; k < needle.size(); ++k) {
    if (IsLeadByte(needle[k]) && k + 1 < needle.size()) {
      if (hay[pos + k] != needle[k] || hay[pos + k + 1] != needle[k + 1]) return false;
      ++k;
    } else if (LowerAscii(hay[pos + k]) != LowerAscii(needle[k])) {
      return false;
    }
  }
  return true;
}

// Next candidate position whose first byte could start `needle`.
std::size_t NextCandidate(std::string_view hay, char first, std::size_t from, Case mode) {
  const bool letter = (first >= 'a' && first <= 'z') || (first >= 'A' && first <= 'Z');
  if (mode == Case::Exact || !letter) {
    const void* p = std::memchr(hay.data() + from, first, hay.size() - from);
    return p ? static_cast<std::size_t>(static_cast<const char*>(p) - hay.data()) : npos;
  }
  const char lo = LowerAscii(first);
  const char up = static_cast<char>(lo - 'a' + 'A');
  for (std::size_t i = from; i < hay.size(); ++i) {
    if (hay[i] == lo || hay[i] == up) return i;
  }
  return npos;
}

}  // namespace

bool IsCharStart(std::string_view text, std::size_t from, std::size_t pos) {
  std::size_t high = 0;
  std::size_t i = pos;
  while (i > from && IsLeadByte(text[i - 1])) {
    --i;
    ++high;
  }
  return high % 2 == 0;
}

std::size_t FindText(std::string_view hay, std::string_view needle, std::size_t from, Case mode) {
  if (from > hay.size()) return npos;
  if (needle.empty()) return from;
  if (needle.size() > hay.size() - from) return npos;
  const std::size_t last = hay.size() - needle.size();
  std::size_t boundary = from;  // a known character start at or before the candidate
  std::size_t pos = from;
  while (pos <= last) {
    pos = NextCandidate(hay, needle[0], pos, mode);
    if (pos == npos || pos > last) return npos;
    if (IsCharStart(hay, boundary, pos)) {
      if (EqualAt(hay, pos, needle, mode)) return pos;
      boundary = pos;
      pos += CharLength(hay, pos);
    } else {
      boundary = pos + 1;  // pos is a second byte, so the byte after it starts a character
      pos += 1;
    }
  }
  return npos;
}

std::size_t FindLastText(std::string_view hay, std::string_view needle, std::size_t end,
                         Case mode) {
  end = std::min(end, hay.size());
  std::size_t found = npos;
  std::size_t pos = 0;
  while ((pos = FindText(hay.substr(0, end), needle, pos, mode)) != npos) {
    found = pos;
    if (pos >= end) break;
    pos += needle.empty() ? 1 : CharLength(hay, pos);
    if (pos > end) break;
  }
  return found;
}

Text ReplaceAll(std::string_view text, std::string_view from, std::string_view to, Case mode) {
  if (from.empty()) return Text(text);
  Text out;
  out.reserve(text.size());
  std::size_t pos = 0;
  for (;;) {
    const std::size_t hit = FindText(text, from, pos, mode);
    if (hit == npos) break;
    out.append(text.substr(pos, hit - pos));
    out.append(to);
    pos = hit + from.size();
  }
  out.append(text.substr(pos));
  return out;
}

std::vector<Text> SplitText(std::string_view text, std::string_view separator) {
  std::vector<Text> fields;
  if (separator.empty()) {
    if (!text.empty()) fields.emplace_back(text);
    return fields;
  }
  std::size_t pos = 0;
  for (;;) {
    const std::size_t hit = FindText(text, separator, pos);
    if (hit == npos) break;
    fields.emplace_back(text.substr(pos, hit - pos));
    pos = hit + separator.size();
  }
  if (pos < text.size()) fields.emplace_back(text.substr(pos));
  return fields;
}

Text BytesToText(std::string_view bytes) {
  const std::size_t zero = bytes.find('\0');
  return Text(zero == npos ? bytes : bytes.substr(0, zero));
}

Text AsciiLower(std::string_view text) {
  Text out(text);
  for (std::size_t i = 0; i < out.size(); i += CharLength(out, i)) out[i] = LowerAscii(out[i]);
  return out;
}

}  // namespace xyx

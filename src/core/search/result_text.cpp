#include "core/search/result_text.h"

#include <array>
#include <limits>

#include "core/text/encoding.h"

namespace xyx {

std::int64_t ParseSize(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  // Accumulate as a negative number so that the minimum value reads exactly.
  constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
  constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
  std::int64_t value = 0;
  bool saturated = false;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    const int digit = text[i] - '0';
    if (value < (kMin + digit) / 10) {
      saturated = true;
      break;
    }
    value = value * 10 - digit;
  }
  if (saturated) return negative ? kMin : kMax;
  if (negative) return value;
  return value == kMin ? kMax : -value;
}

std::int64_t ResourceRecord::SizeValue() const { return ParseSize(size); }

bool ResultLineReader::Next(std::string_view& line) {
  if (ended_ || pos_ >= text_.size()) return false;
  const std::size_t start = pos_;
  const std::size_t n = text_.size();
  std::size_t i = pos_;
  const unsigned char* p = reinterpret_cast<const unsigned char*>(text_.data());
  while (i < n) {
    const unsigned char c = p[i];
    if (c >= 0x80) {
      i += 2;
    } else if (c == '\n' || c == 0x1A) {
      break;
    } else {
      ++i;
    }
  }
  std::size_t end = i < n ? i : n;
  if (end < n && p[end] == 0x1A) {
    ended_ = true;
  } else {
    pos_ = end + 1;
  }
  if (end > start && p[end - 1] == '\r' && IsCharStart(text_, start, end - 1)) --end;
  line = text_.substr(start, end - start);
  return true;
}

namespace {

// Fast path: most fields hold no reference at all.
Text FieldText(std::string_view field) {
  if (field.find('&') == npos) return Text(field);
  return ResolveXmlReferences(field);
}

std::optional<char32_t> ParseCharRef(std::string_view body) {
  // body is what lies between "&#" and ";".
  int base = 10;
  if (!body.empty() && (body[0] == 'x' || body[0] == 'X')) {
    base = 16;
    body.remove_prefix(1);
  }
  if (body.empty() || body.size() > 8) return std::nullopt;
  char32_t value = 0;
  for (char c : body) {
    int digit;
    if (c >= '0' && c <= '9') {
      digit = c - '0';
    } else if (base == 16 && c >= 'a' && c <= 'f') {
      digit = c - 'a' + 10;
    } else if (base == 16 && c >= 'A' && c <= 'F') {
      digit = c - 'A' + 10;
    } else {
      return std::nullopt;
    }
    value = value * static_cast<char32_t>(base) + static_cast<char32_t>(digit);
    if (value > 0x10FFFF) return std::nullopt;
  }
  return value;
}

}  // namespace

Text ResolveXmlReferences(std::string_view text) {
  static constexpr std::array<std::pair<std::string_view, char>, 5> kNamed{{
      {"amp", '&'}, {"lt", '<'}, {"gt", '>'}, {"quot", '"'}, {"apos", '\''}}};
  Text out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t len = CharLength(text, i);
    if (len == 1 && text[i] == '&') {
      const std::size_t semi = text.find(';', i + 1);
      if (semi != npos && semi - i <= 12) {
        const std::string_view body = text.substr(i + 1, semi - i - 1);
        Text replacement;
        if (!body.empty() && body[0] == '#') {
          if (auto cp = ParseCharRef(body.substr(1))) replacement = CodePointToLocal(*cp);
        } else {
          for (const auto& [name, ch] : kNamed) {
            if (body == name) replacement.assign(1, ch);
          }
        }
        if (!replacement.empty()) {
          out += replacement;
          i = semi + 1;
          continue;
        }
      }
    }
    out.append(text.substr(i, len));
    i += len;
  }
  return out;
}

std::optional<ResourceRecord> SplitResultLine(std::string_view line) {
  std::array<std::string_view, 5> fields;
  std::size_t count = 0;
  std::size_t fieldStart = 0;
  const std::size_t n = line.size();
  const unsigned char* p = reinterpret_cast<const unsigned char*>(line.data());
  for (std::size_t i = 0; i < n;) {
    const unsigned char c = p[i];
    if (c >= 0x80) {
      i += 2;
      continue;
    }
    if (c == '|') {
      if (count == fields.size()) return std::nullopt;  // a sixth field
      fields[count++] = line.substr(fieldStart, i - fieldStart);
      fieldStart = i + 1;
    }
    ++i;
  }
  if (fieldStart < n) {
    if (count == fields.size()) return std::nullopt;
    fields[count++] = line.substr(fieldStart);
  }
  if (count != fields.size()) return std::nullopt;
  return ResourceRecord{FieldText(fields[0]), FieldText(fields[1]), FieldText(fields[2]),
                        FieldText(fields[3]), FieldText(fields[4])};
}

Text QvodAddress(const ResourceRecord& record) {
  Text address;
  address.reserve(7 + record.size.size() + record.hash.size() + record.name.size() + 3);
  address += "qvod://";
  address += record.size;
  address += '|';
  address += record.hash;
  address += '|';
  address += record.name;
  address += '|';
  return address;
}

std::vector<ResourceRecord> ParseResultText(std::string_view resultText) {
  std::vector<ResourceRecord> records;
  ResultLineReader reader(resultText);
  std::string_view line;
  while (reader.Next(line)) {
    if (auto record = SplitResultLine(line)) records.push_back(std::move(*record));
  }
  return records;
}

}  // namespace xyx

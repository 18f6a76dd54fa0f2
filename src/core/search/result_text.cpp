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

std::int64_t ResourceRecord::SizeValue() const {
  return ParseSize(size);
}

namespace {

struct ScannedLine {
  std::size_t start = 0;
  std::size_t end = 0;  // after dropping one trailing CR
  std::size_t bars = 0;
  std::array<std::size_t, 6> barAt{};
};

// Scans one line from `pos` with the text's separator scanner, noting where its first six "|"
// stand. Returns false when no line is left.
bool ScanLine(std::string_view text, SeparatorScanner& scanner, std::size_t& pos, bool& ended,
              ScannedLine& out) {
  if (ended || pos >= text.size()) return false;
  const std::size_t n = text.size();
  out.start = pos;
  out.bars = 0;
  std::size_t end = n;
  for (;;) {
    const std::size_t at = scanner.Next();
    if (at >= n) break;
    if (text[at] == '|') {
      if (out.bars < out.barAt.size()) out.barAt[out.bars] = at;
      ++out.bars;
      continue;
    }
    end = at;
    break;
  }
  if (end < n && text[end] == 0x1A) {
    ended = true;
  } else {
    pos = end + 1;
  }
  if (end > out.start && text[end - 1] == '\r' && IsCharStart(text, out.start, end - 1)) --end;
  out.end = end;
  return true;
}

// The "|" of a text that is one line already (LF, 0x1A and CR are ordinary bytes here).
void ScanWholeLine(std::string_view text, ScannedLine& out) {
  out.start = 0;
  out.end = text.size();
  out.bars = 0;
  for (std::size_t i = 0; i < text.size(); i += CharLength(text, i)) {
    if (text[i] != '|') continue;
    if (out.bars < out.barAt.size()) out.barAt[out.bars] = i;
    ++out.bars;
  }
}

void AssignField(Text& out, std::string_view field);

// Five fields are either four "|" and a non-empty rest, or five "|" and nothing after.
bool FillRecord(std::string_view text, const ScannedLine& line, ResourceRecord& record) {
  const std::size_t bars = line.bars;
  const bool five =
      (bars == 4 && line.end > line.barAt[3] + 1) || (bars == 5 && line.end == line.barAt[4] + 1);
  if (!five) return false;
  auto field = [&](std::size_t k) {
    const std::size_t from = k == 0 ? line.start : line.barAt[k - 1] + 1;
    const std::size_t to = k < bars ? line.barAt[k] : line.end;
    return text.substr(from, to - from);
  };
  AssignField(record.size, field(0));
  AssignField(record.hash, field(1));
  AssignField(record.actor, field(2));
  AssignField(record.extra, field(3));
  AssignField(record.name, field(4));
  return true;
}

}  // namespace

bool ResultLineReader::Next(std::string_view& line) {
  ScannedLine scanned;
  if (!ScanLine(text_, scanner_, pos_, ended_, scanned)) return false;
  line = text_.substr(scanned.start, scanned.end - scanned.start);
  return true;
}

bool ResultRecordReader::Next(ResourceRecord& record, bool& isRecord) {
  ScannedLine scanned;
  if (!ScanLine(text_, scanner_, pos_, ended_, scanned)) return false;
  isRecord = FillRecord(text_, scanned, record);
  return true;
}

namespace {

// Fast path: most fields hold no reference at all.
void AssignField(Text& out, std::string_view field) {
  if (field.find('&') == npos) {
    out.assign(field);
  } else {
    out = ResolveXmlReferences(field);
  }
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
  static constexpr std::array<std::pair<std::string_view, char>, 5> kNamed{
      {{"amp", '&'}, {"lt", '<'}, {"gt", '>'}, {"quot", '"'}, {"apos", '\''}}};
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
  // A line holds no line end, so one scan covers it whole.
  ScannedLine scanned;
  ScanWholeLine(line, scanned);
  ResourceRecord record;
  if (!FillRecord(line, scanned, record)) return std::nullopt;
  return record;
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

std::string_view ResultTextView(std::string_view reply) {
  static constexpr std::string_view kHead = "<return xsi:type=\"xsd:string\">";
  static constexpr std::string_view kTail = "</return>";
  const std::size_t h = FindText(reply, kHead);
  if (h == npos) return {};
  const std::size_t t = FindText(reply, kTail, h + kHead.size());
  if (t == npos) return {};
  return reply.substr(h + kHead.size(), t - h - kHead.size());
}

std::vector<ResourceRecord> ParseResultText(std::string_view resultText) {
  std::vector<ResourceRecord> records;
  ResultRecordReader reader(resultText);
  ResourceRecord record;
  bool isRecord = false;
  while (reader.Next(record, isRecord)) {
    if (isRecord) records.push_back(record);
  }
  return records;
}

}  // namespace xyx

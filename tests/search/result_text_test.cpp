#include "core/search/result_text.h"

#include <gtest/gtest.h>

#include <limits>
#include <random>

#include "core/search/size_text.h"

namespace xyx {
namespace {

std::vector<std::string> Lines(std::string_view text) {
  std::vector<std::string> out;
  ResultLineReader reader(text);
  std::string_view line;
  while (reader.Next(line)) out.emplace_back(line);
  return out;
}

TEST(ResultText, LineReading) {
  using V = std::vector<std::string>;
  struct Row {
    std::string text;
    V want;
  };
  const Row rows[] = {
      {"", V{}},
      {"a\nb\n", V{"a", "b"}},
      {"a\r\nb\r\n", V{"a", "b"}},
      {"a\nb", V{"a", "b"}},
      {"a\rb\n", V{"a\rb"}},  // a lone CR does not end a line
      {"a\r\r\n", V{"a\r"}},  // only one CR is removed
      {"\n\n", V{"", ""}},
      {"a\nb\x1A"
       "c\nd",
       V{"a", "b"}},  // 0x1A ends the line and the text
      {"\x1A"
       "a",
       V{""}},
      {"\x81\nx\ny", V{"\x81\nx", "y"}},  // LF as a second byte does not end a line
      {"\x81\x1Ax", V{"\x81\x1Ax"}},
      {"ab\x81", V{"ab\x81"}},      // lone lead byte at the end
      {"a\x81\r\n", V{"a\x81\r"}},  // CR as a second byte is part of the character
      {std::string("a\0b\n", 4), V{std::string("a\0b", 3)}},
  };
  for (const auto& r : rows) EXPECT_EQ(Lines(r.text), r.want) << r.text;
}

// The line rule written the plain way, one character at a time.
std::vector<std::string> ReferenceLines(std::string_view text) {
  std::vector<std::string> out;
  std::size_t start = 0;
  std::size_t i = 0;
  while (i < text.size()) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c >= 0x80) {
      i += 2;
      continue;
    }
    if (c == '\n' || c == 0x1A) {
      std::string line(text.substr(start, i - start));
      const bool crAtStart = [&] {
        if (line.empty() || line.back() != '\r') return false;
        std::size_t k = 0;
        while (k + 1 < line.size()) k += static_cast<unsigned char>(line[k]) >= 0x80 ? 2 : 1;
        return k == line.size() - 1;
      }();
      if (crAtStart) line.pop_back();
      out.push_back(line);
      if (c == 0x1A) return out;
      start = i + 1;
    }
    ++i;
  }
  if (start < text.size()) {
    std::string line(text.substr(start));
    std::size_t k = 0;
    while (k + 1 < line.size()) k += static_cast<unsigned char>(line[k]) >= 0x80 ? 2 : 1;
    if (!line.empty() && line.back() == '\r' && k == line.size() - 1) line.pop_back();
    out.push_back(line);
  }
  return out;
}

// Texts made of the bytes that matter, long enough to cross the scanner's 64-byte blocks
// with runs of high bytes of every parity.
TEST(ResultText, LineReadingMatchesCharacterByCharacterRule) {
  const char alphabet[] = {'a', '|', '\n', '\r', '\x1A', '\x81', '\xD6', '\xFE', '\x7C', '0'};
  std::mt19937 rng(7);
  for (int round = 0; round < 3000; ++round) {
    std::string text(rng() % 400, 'a');
    const unsigned highOdds = rng() % 10 + 1;
    for (char& c : text) {
      c = (rng() % 10 < highOdds) ? '\x81' : alphabet[rng() % sizeof alphabet];
      if (c == '\x1A' && rng() % 8 != 0) c = 'b';  // keep most texts running to the end
    }
    ASSERT_EQ(Lines(text), ReferenceLines(text)) << "round " << round;
  }
}

TEST(ResultText, SplitNeedsExactlyFiveFields) {
  struct Row {
    std::string line;
    bool record;
    std::string name;
  };
  const Row rows[] = {
      {"1|h|a|e|n", true, "n"},
      {"1|h|a|e|n|", true, "n"},   // a final "|" still gives five
      {"1|h|a|e|", false, ""},     // four fields and a final "|"
      {"1|h|a||n", true, "n"},     // empty fourth field
      {"1|h|a|e||", true, ""},     // five fields, the last empty
      {"1|h|a|e|n|x", false, ""},  // six
      {"", false, ""},
      {"||||", false, ""},
      {"|||||", true, ""},
      {"1|h|a|e|\xD6\xD0\x81|x", true, "\xD6\xD0\x81|x"},  // "|" as a second byte
      {"1|h|a|e|n&#124;m", true, "n|m"},                   // a reference never splits
      {"1|h|a|e|A&amp;B &lt;&gt;&quot;&apos;", true, "A&B <>\"'"},
      {"1|h|a|e|&#x4E2D;&#20013;", true, "\xD6\xD0\xD6\xD0"},
      {"1|h|a|e|&foo; &#0; &#xD800; &#99999999; & &#;", true,
       "&foo; &#0; &#xD800; &#99999999; & &#;"},
  };
  for (const auto& r : rows) {
    const auto record = SplitResultLine(r.line);
    ASSERT_EQ(record.has_value(), r.record) << r.line;
    if (record) {
      EXPECT_EQ(record->name, r.name) << r.line;
    }
  }
}

TEST(ResultText, RecordFieldsAndAddress) {
  const auto record = SplitResultLine("734003200|ABCDEF|Actor A|x|Film &amp; Co");
  ASSERT_TRUE(record);
  EXPECT_EQ(record->size, "734003200");
  EXPECT_EQ(record->hash, "ABCDEF");
  EXPECT_EQ(record->actor, "Actor A");
  EXPECT_EQ(record->extra, "x");
  EXPECT_EQ(QvodAddress(*record), "qvod://734003200|ABCDEF|Film & Co|");
  EXPECT_EQ(record->SizeValue(), 734003200);
}

TEST(ResultText, SizeReading) {
  constexpr auto kMax = std::numeric_limits<std::int64_t>::max();
  constexpr auto kMin = std::numeric_limits<std::int64_t>::min();
  const std::pair<std::string, std::int64_t> rows[] = {
      {"0", 0},
      {"4700000000", 4700000000},
      {"2147483648", 2147483648},
      {"  -12abc", -12},
      {"+5", 5},
      {"abc", 0},
      {"", 0},
      {"- 5", 0},
      {"9223372036854775807", kMax},
      {"99999999999999999999", kMax},
      {"-9223372036854775808", kMin},
      {"-99999999999999999999", kMin},
  };
  for (const auto& [text, want] : rows) EXPECT_EQ(ParseSize(text), want) << text;
}

TEST(ResultText, ParseResultTextSkipsOtherLines) {
  const auto records =
      ParseResultText("header\r\n1|a|b|c|d\r\n\r\n2|a|b|c|e\nnot|a|record\n3|a|b|c|f");
  ASSERT_EQ(records.size(), 3u);
  EXPECT_EQ(records[2].name, "f");
}

TEST(SizeText, UnitsAndRounding) {
  const std::pair<double, std::string> rows[] = {
      {0, "0 B"},
      {1023, "1023 B"},
      {1024, "1 KB"},
      {1025, "1 KB"},
      {1536, "1.5 KB"},
      {1048575, "1024 KB"},
      {1048576, "1 MB"},
      {734003200, "700 MB"},
      {2147483647, "2 GB"},
      {4700000000.0, "4.38 GB"},
      {1099511627776.0, "1 TB"},
      {1125899906842624.0, "1 PB"},
      {1024.0 * 1125899906842624.0, "1024 PB"},
      {-5, "-5 B"},
      {1029.12, "1.01 KB"},  // 1.00500 KB rounds half away from zero
      {0.5, "0.5 B"},
  };
  for (const auto& [v, want] : rows) EXPECT_EQ(SizeText(v), want) << v;
}

}  // namespace
}  // namespace xyx

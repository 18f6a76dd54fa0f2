#pragma once
// The result text of a search: one resource per line, five fields separated by "|".

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "core/text/local_text.h"

namespace xyx {

// The five fields of one result line, in line order.
struct ResourceRecord {
  Text size;  // decimal byte count, as it came
  Text hash;
  Text actor;
  Text extra;  // not used
  Text name;

  // The size as a number: leading blanks, one sign, digits up to the first other character;
  // no digits gives 0. Read as 64 bits so that sizes of 2 GiB and more keep their value.
  std::int64_t SizeValue() const;
};

// Reads a decimal integer by the rule above, saturating at the 64-bit limits.
std::int64_t ParseSize(std::string_view text);

// Takes lines from a result text: LF ends a line (one CR before it is dropped), 0x1A ends
// the line and the whole text, and line ends are looked for only at character starts.
class ResultLineReader {
 public:
  explicit ResultLineReader(std::string_view text) : text_(text) {}
  bool Next(std::string_view& line);

 private:
  std::string_view text_;
  std::size_t pos_ = 0;
  bool ended_ = false;
};

// The record of a line with exactly five fields; nothing for any other line. Character and
// entity references in each field are resolved after the split, so "&#124;" never splits.
std::optional<ResourceRecord> SplitResultLine(std::string_view line);

// Resolves &amp; &lt; &gt; &quot; &apos; &#NN; &#xNN;. An unknown or malformed reference
// stays as it is.
Text ResolveXmlReferences(std::string_view text);

// "qvod://" size "|" hash "|" name "|".
Text QvodAddress(const ResourceRecord& record);

// Every record of a result text, in order.
std::vector<ResourceRecord> ParseResultText(std::string_view resultText);

}  // namespace xyx

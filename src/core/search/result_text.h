#pragma once
// The result text of a search: one resource per line, five fields separated by "|".

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "core/search/separator_scanner.h"
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
  explicit ResultLineReader(std::string_view text) : text_(text), scanner_(text) {}
  // The reader keeps a view: a temporary text would be gone before the first line.
  explicit ResultLineReader(std::string&&) = delete;
  bool Next(std::string_view& line);

 private:
  std::string_view text_;
  SeparatorScanner scanner_;
  std::size_t pos_ = 0;
  bool ended_ = false;
};

// Reads lines and splits each one in the same pass: the fast path of a search's row loop.
// Every line counts, so that a caller can do its per-line work also after a skipped line.
class ResultRecordReader {
 public:
  explicit ResultRecordReader(std::string_view text) : text_(text), scanner_(text) {}
  explicit ResultRecordReader(std::string&&) = delete;
  // Steps over one line; false when no line is left. `isRecord` tells whether the line has
  // exactly five fields; then `record` holds them. The record's buffers are reused from line
  // to line, so reading costs no allocation once they are large enough.
  bool Next(ResourceRecord& record, bool& isRecord);

 private:
  std::string_view text_;
  SeparatorScanner scanner_;
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

// The content of the reply's first return element, as a view into the reply.
std::string_view ResultTextView(std::string_view reply);

// Every record of a result text, in order.
std::vector<ResourceRecord> ParseResultText(std::string_view resultText);

}  // namespace xyx

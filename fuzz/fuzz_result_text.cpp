// Result text is outside input: any bytes must give records or skipped lines.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "core/search/protocol.h"
#include "core/search/result_text.h"
#include "core/search/size_text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);

  // The reply path the search takes, and the view the fast path takes, must agree.
  const xyx::Text result = xyx::ExtractResultText(input);
  if (xyx::ResultTextView(input) != result) std::abort();

  // Both readings of the raw input: the line reader with a split per line, and the fused
  // reader, must give the same records.
  xyx::ResultLineReader lines(input);
  xyx::ResultRecordReader records(input);
  std::string_view line;
  xyx::ResourceRecord record;
  bool isRecord = false;
  while (lines.Next(line)) {
    if (!records.Next(record, isRecord)) std::abort();
    const auto split = xyx::SplitResultLine(line);
    if (split.has_value() != isRecord) std::abort();
    if (split && (split->name != record.name || split->size != record.size)) std::abort();
    if (split) {
      (void)xyx::QvodAddress(*split);
      (void)xyx::SizeText(static_cast<double>(split->SizeValue()));
    }
  }
  if (records.Next(record, isRecord)) std::abort();
  (void)xyx::BuildSearchRequest(input);
  return 0;
}

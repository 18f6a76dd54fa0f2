// Cell texts come from the search service: any bytes must give keys of the promised shape,
// and the playlist must keep the address inside its one attribute.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "core/results/playback.h"
#include "core/results/sort_keys.h"
#include "core/text/encoding.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);

  std::string number;
  xyx::AppendNumberKey(input, number);
  if (number.size() != 61 && !(number.size() == 62 && number[0] == '-')) std::abort();

  std::string date;
  xyx::AppendDateKey(input, date);
  if (date.size() != 14) std::abort();
  for (const char c : date) {
    if (c < '0' || c > '9') std::abort();
  }

  static const xyx::CollationKeyBuilder collator;
  const std::u16string text = xyx::LocalToUtf16(input);
  const std::string key = collator.Key(text);
  if (key.find('\0') != std::string::npos) std::abort();
  if (collator.Key(text) != key) std::abort();

  const xyx::Bytes playlist = xyx::PlaylistContent(input);
  const std::size_t open = playlist.find("href=\"");
  const std::size_t close = playlist.find('"', open + 6);
  if (open == std::string::npos || playlist.compare(close, 3, "\"/>") != 0) std::abort();
  if (playlist.find('<', open) != playlist.find("</entry>")) std::abort();
  return 0;
}

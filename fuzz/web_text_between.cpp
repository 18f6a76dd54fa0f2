// TextBetween, TextBetweenLenient and ContainsAnyOrAll over arbitrary source, head, tail and
// list texts. The input is split at the first three 0xFF bytes; the leading bytes choose the
// flags, the skip and drop counts and the start position.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "core/web/text_between.h"

namespace {

std::string_view Next(std::string_view& rest) {
  const std::size_t cut = rest.find('\xFF');
  const std::string_view part = rest.substr(0, cut);
  rest = cut == std::string_view::npos ? std::string_view() : rest.substr(cut + 1);
  return part;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 8) return 0;
  const std::uint8_t flags = data[0];
  const int skip = static_cast<std::int8_t>(data[1]);
  const int drop = static_cast<std::int8_t>(data[2]);
  std::int32_t start32 = 0;
  std::memcpy(&start32, data + 3, sizeof start32);
  std::string_view rest(reinterpret_cast<const char*>(data + 7), size - 7);
  const std::string_view source = Next(rest);
  const std::string_view head = Next(rest);
  const std::string_view tail = Next(rest);
  const std::string_view list = rest;

  std::int64_t position = start32;
  const xyx::Text between = xyx::TextBetween(source, head, tail, skip, drop, &position,
                                             (flags & 1) != 0, (flags & 2) != 0);
  // The result always comes out of the (marked) source.
  if (between.size() > source.size() + 16) __builtin_trap();

  std::int64_t lenientPosition = start32;
  for (int i = 0; i < 4; ++i) {
    const std::int64_t before = lenientPosition;
    const xyx::Text piece = xyx::TextBetweenLenient(source, head, tail, lenientPosition,
                                                    (flags & 4) != 0, skip, drop, (flags & 8) != 0);
    if (piece.size() > source.size() + 16) __builtin_trap();
    if (lenientPosition != before && lenientPosition <= 0) __builtin_trap();
    if (lenientPosition == before) break;
  }
  const bool any = xyx::ContainsAnyOrAll(source, list, true);
  const bool all = xyx::ContainsAnyOrAll(source, list, false);
  // With at least one alternative, all implies any.
  if (!list.empty() && all && !any) __builtin_trap();
  return 0;
}

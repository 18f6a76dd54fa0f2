// The three conversions take user text: any bytes must convert, and no double-byte
// character may be split by an inserted backslash.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "core/pattern/wildcard.h"

namespace {

// Removing every backslash inserted before an ASCII byte must give the input back.
void CheckEscaped(std::string_view in, std::string_view out) {
  std::string back;
  for (std::size_t i = 0; i < out.size();) {
    const std::size_t len = xyx::CharLength(out, i);
    if (len == 1 && out[i] == '\\' && i + 1 < out.size()) {
      back.push_back(out[i + 1]);
      i += 2;
      continue;
    }
    back.append(out.substr(i, len));
    i += len;
  }
  if (back != in) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  CheckEscaped(input, xyx::EscapeAll(input));
  CheckEscaped(input, xyx::EscapeKeepAlternation(input));
  const xyx::Text pattern = xyx::WildcardToPattern(input);
  if (pattern.size() < input.size()) std::abort();
  return 0;
}

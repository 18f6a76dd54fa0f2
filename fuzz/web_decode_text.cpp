// DecodeText over arbitrary response bodies and every requested kind (the first byte picks
// the kind, so out-of-range values are reached too).

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "core/web/decode_text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const int requested = static_cast<int>(data[0] % 10) - 1;  // -1 .. 8
  const std::string_view body(reinterpret_cast<const char*>(data + 1), size - 1);
  int used = -100;
  const xyx::Text text = xyx::DecodeText(body, requested, used);
  if (used < 1 || used > 6) __builtin_trap();
  if (text.find('\0') != xyx::Text::npos) __builtin_trap();
  if (body.empty() && (!text.empty() || used != 1)) __builtin_trap();
  xyx::DetectMetaCharset(body);
  return 0;
}

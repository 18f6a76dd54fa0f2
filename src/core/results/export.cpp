#include "core/results/export.h"

namespace xyx {

Bytes AddressListBytes(const std::vector<Text>& addresses) {
  std::size_t total = 0;
  for (const auto& a : addresses) total += a.size() + 2;
  Bytes out;
  out.reserve(total);
  for (const auto& a : addresses) {
    out += a;
    out += "\r\n";
  }
  return out;
}

}  // namespace xyx

#include "core/results/export.h"

namespace xyx {

Bytes AddressListBytes(const std::vector<Text>& addresses) {
  std::size_t total = 0;
  for (const auto& a : addresses) total += a.size() + 2;
  Bytes out;
  out.reserve(total);
  for (const auto& a : addresses) AppendAddressLine(out, a);
  return out;
}

void AppendAddressLine(Bytes& list, std::string_view address) {
  list += address;
  list += "\r\n";
}

}  // namespace xyx

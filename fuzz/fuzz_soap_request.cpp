// The service reads request bodies from anyone: any bytes must give a keyword or a fault.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "soap.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view body(reinterpret_cast<const char*>(data), size);
  const auto call = xyx::service::ParseSearchCall(body);
  if (call.keyword.has_value() == call.fault.has_value()) std::abort();
  if (call.keyword) {
    (void)xyx::service::SearchResponse({{1, "h", *call.keyword, "0", *call.keyword}});
  }
  return 0;
}

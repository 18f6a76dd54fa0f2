#pragma once
// The tagged value the request object takes and returns for its options and its response
// stream: empty, text, number, boolean or a byte array.

#include <cstdint>
#include <variant>

#include "core/text/local_text.h"

namespace xyx {

struct VariantBytes {
  Bytes data;
  bool operator==(const VariantBytes&) const = default;
};

using Variant = std::variant<std::monostate, Text, std::int32_t, bool, VariantBytes>;

}  // namespace xyx

#pragma once
// The exported address list: one address per line in local text, each line ended by CR LF,
// no byte-order mark. An empty list gives no bytes.

#include <vector>

#include "core/text/local_text.h"

namespace xyx {

Bytes AddressListBytes(const std::vector<Text>& addresses);

// Appends one line of the list: the address and CR LF. Building the list line by line gives
// the same bytes as AddressListBytes without holding every address twice.
void AppendAddressLine(Bytes& list, std::string_view address);

}  // namespace xyx

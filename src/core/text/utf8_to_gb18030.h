#pragma once
// UTF-8 to GB18030 through a table built once from iconv: the same bytes as iconv's
// conversion, several times faster for Chinese text, where iconv runs a few hundred MB/s.

#include <optional>
#include <string>
#include <string_view>

namespace xyx {

// Strict, like one iconv call: any invalid or incomplete UTF-8 sequence, or a character
// without a GB18030 form, gives nothing.
std::optional<std::string> Utf8ToGb18030(std::string_view utf8);

}  // namespace xyx

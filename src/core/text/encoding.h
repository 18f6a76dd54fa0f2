#pragma once
// Conversions between local text (GB18030), UTF-8 and UTF-16. All are lenient: a byte
// sequence that cannot be read becomes U+FFFD (or "?" where no replacement character
// exists), so a conversion never fails and never drops the rest of the text.

#include <string>
#include <string_view>

#include "core/text/local_text.h"

namespace xyx {

std::u16string LocalToUtf16(std::string_view local);
Text Utf16ToLocalText(std::u16string_view utf16);
std::string LocalToUtf8(std::string_view local);
Text Utf8ToLocalText(std::string_view utf8);
std::string Utf16ToUtf8(std::u16string_view utf16);

// The local form of one Unicode code point; empty for a surrogate, zero or a value above
// U+10FFFF.
Text CodePointToLocal(char32_t cp);

}  // namespace xyx

#pragma once

#include <string>
#include <string_view>

namespace xyx {

// Escapes "&", "<" and ">" (and the quotation mark when `quote` is set) in UTF-8 text. Byte by
// byte is right for UTF-8, whose multi-byte sequences never hold an ASCII byte; it would not be
// for local text, where a second byte may be any value.
std::string XmlEscapeUtf8(std::string_view utf8, bool quote);

}  // namespace xyx

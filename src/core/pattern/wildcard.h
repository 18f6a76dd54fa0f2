#pragma once
// Conversions of user-typed text into regular-expression patterns.

#include <string_view>

#include "core/text/local_text.h"

namespace xyx {

// "*" becomes ".*", "?" becomes ".?", "|" separates alternatives, the regex characters
// \ ^ $ + . { } [ ] = ( ) " match themselves.
Text WildcardToPattern(std::string_view text);

// Escapes every character that could mean something in a pattern, "|" included.
Text EscapeAll(std::string_view text);

// Like EscapeAll but leaves "|" free, so the text is a list of literal alternatives.
Text EscapeKeepAlternation(std::string_view text);

}  // namespace xyx

#pragma once
// Turning a response body into local text: find its encoding (byte-order mark, a charset
// declared in a <meta> tag of the head section, a trial decoding as UTF-8, else local text)
// and convert it to GB18030.

#include <string_view>

#include "core/text/local_text.h"

namespace xyx {

// What a caller asks for and what DecodeText reports back.
enum TextEncodingKind : int {
  kDetectEncoding = 0,
  kLocalText = 1,
  kUtf8 = 2,
  kUtf16Le = 3,
  kUtf16Be = 4,
  kBig5 = 5,
  kBig5Hkscs = 6,
};

// Decodes `data` as `requestedKind` (kDetectEncoding finds the encoding out). `usedKind`
// receives the kind that was used. Never fails: data no conversion accepts comes back as local
// text; empty data gives empty text and kind kLocalText.
Text DecodeText(std::string_view data, int requestedKind, int& usedKind);
Text DecodeText(std::string_view data, int requestedKind = kDetectEncoding);

// Results of DetectMetaCharset: 1 UTF-8, 2 Big5, 3 Big5-HKSCS, 0 not found.
struct MetaCharset {
  bool found = false;
  int kind = 0;
};

// Looks for a UTF-8, Big5-HKSCS or Big5 charset declaration in the <meta> tags of the text's
// head section (of the whole text when it has no non-empty "<head>" section).
MetaCharset DetectMetaCharset(std::string_view text);

// Lenient conversions used when the strict one rejects the data.
Text Utf8ToLocal(std::string_view bytes);
Text Utf16ToLocal(std::string_view bytes, bool bigEndian = false);
Text Big5ToLocal(std::string_view text);

}  // namespace xyx

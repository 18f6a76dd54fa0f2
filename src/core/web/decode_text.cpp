#include "core/web/decode_text.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <optional>

#include "core/text/encoding.h"
#include "core/text/iconv_converter.h"
#include "core/text/utf8_to_gb18030.h"
#include "core/web/text_between.h"

namespace xyx {

namespace {

constexpr const char* kLocal = "GB18030";

const char* SourceName(int kind) {
  switch (kind) {
    case kUtf16Le:
      return "UTF-16LE";
    case kUtf16Be:
      return "UTF-16BE";
    case kBig5:
      return "BIG5";
    case kBig5Hkscs:
      return "BIG5-HKSCS";
    default:
      return "UTF-8";
  }
}

// Opening a converter costs far more than converting a typical reply, so each thread keeps one
// per source encoding.
IconvConverter& ConverterFor(int kind) {
  thread_local IconvConverter utf8(kLocal, SourceName(kUtf8));
  thread_local IconvConverter utf16le(kLocal, SourceName(kUtf16Le));
  thread_local IconvConverter utf16be(kLocal, SourceName(kUtf16Be));
  thread_local IconvConverter big5(kLocal, SourceName(kBig5));
  thread_local IconvConverter big5hkscs(kLocal, SourceName(kBig5Hkscs));
  switch (kind) {
    case kUtf16Le:
      return utf16le;
    case kUtf16Be:
      return utf16be;
    case kBig5:
      return big5;
    case kBig5Hkscs:
      return big5hkscs;
    default:
      return utf8;
  }
}

// All bytes below 0x80 and none of them zero: such data reads the same in UTF-8 and GB18030.
bool IsPlainAscii(std::string_view s) {
  // Blocks without an early exit, so that the compiler can vectorise the inner loop; a zero
  // byte wraps to 0xFF and so shows in the high bit like a byte of 0x80 or more.
  constexpr std::size_t kBlock = 4096;
  const auto* p = reinterpret_cast<const unsigned char*>(s.data());
  for (std::size_t done = 0; done < s.size(); done += kBlock) {
    const std::size_t n = std::min(kBlock, s.size() - done);
    unsigned char acc = 0;
    for (std::size_t i = 0; i < n; ++i) {
      const unsigned char b = p[done + i];
      acc |= static_cast<unsigned char>(b | static_cast<unsigned char>(b - 1));
    }
    if (acc & 0x80) return false;
  }
  return true;
}

// The strict conversion: the whole input in one call, nothing at all when any sequence is
// invalid or incomplete, cut at the first zero byte.
Text ConvertStrict(std::string_view rest, int kind) {
  // ASCII reads the same in UTF-8 and GB18030; skipping the converter changes nothing.
  if (kind == kUtf8 && IsPlainAscii(rest)) return Text(rest);
  // UTF-8, the service's encoding, goes through the table: iconv's own speed on Chinese text
  // would cost more than the whole HTTP exchange.
  std::optional<std::string> out =
      kind == kUtf8 ? Utf8ToGb18030(rest) : ConverterFor(kind).Convert(rest);
  if (!out) return Text();
  const std::size_t zero = out->find('\0');
  if (zero != npos) out->resize(zero);
  return std::move(*out);
}

// Data read as local text: up to the first zero byte or the first 0x1A that starts a
// character; a lead byte whose second byte would be the zero is dropped.
std::string_view ReadLocal(std::string_view data) {
  if (data.empty()) return data;
  const void* zeroAt = std::memchr(data.data(), '\0', data.size());
  const std::size_t zero =
      zeroAt ? static_cast<std::size_t>(static_cast<const char*>(zeroAt) - data.data()) : npos;
  const std::size_t limit = zero == npos ? data.size() : zero;
  std::size_t boundary = 0;  // a known character start
  std::size_t from = 0;
  while (from < limit) {
    const void* at = std::memchr(data.data() + from, 0x1A, limit - from);
    if (at == nullptr) break;
    const std::size_t pos = static_cast<std::size_t>(static_cast<const char*>(at) - data.data());
    if (IsCharStart(data, boundary, pos)) return data.substr(0, pos);
    boundary = pos + 1;  // pos was a second byte, so the next byte starts a character
    from = pos + 1;
  }
  if (zero != npos && zero > 0 && !IsCharStart(data, boundary, zero)) {
    return data.substr(0, zero - 1);
  }
  return data.substr(0, limit);
}

const Text& Utf8Declarations() {
  static const Text list = UnescapeQuotes("charset=UTF-8[fg]charset=''UTF-8''[fg]charset='UTF-8'");
  return list;
}
const Text& Big5HkscsDeclarations() {
  static const Text list =
      UnescapeQuotes("charset=Big5-HKSCS[fg]charset=''Big5-HKSCS''[fg]charset='Big5-HKSCS'");
  return list;
}
const Text& Big5Declarations() {
  static const Text list = UnescapeQuotes("charset=Big5[fg]charset=''Big5''[fg]charset='Big5'");
  return list;
}

bool StartsWith(std::string_view data, std::string_view prefix) {
  return data.size() >= prefix.size() && data.substr(0, prefix.size()) == prefix;
}

constexpr std::string_view kUtf8Bom{"\xEF\xBB\xBF", 3};
constexpr std::string_view kUtf16LeBom{"\xFF\xFE", 2};
constexpr std::string_view kUtf16BeBom{"\xFE\xFF", 2};

}  // namespace

MetaCharset DetectMetaCharset(std::string_view text) {
  const Text head = TextBetween(text, "<head>", "</head>");
  const std::string_view section = head.empty() ? text : std::string_view(head);
  std::int64_t position = 0;
  for (;;) {
    const Text tag = TextBetweenLenient(section, "<meta", ">", position);
    if (tag.empty()) return {};
    if (ContainsAnyOrAll(tag, Utf8Declarations(), true)) return {true, 1};
    // Big5-HKSCS first: every Big5-HKSCS declaration also contains the Big5 one.
    if (ContainsAnyOrAll(tag, Big5HkscsDeclarations(), true)) return {true, 3};
    if (ContainsAnyOrAll(tag, Big5Declarations(), true)) return {true, 2};
  }
}

Text DecodeText(std::string_view data, int requestedKind, int& usedKind) {
  int kind = requestedKind;
  std::size_t position = 0;
  if (kind == kDetectEncoding) {
    if (StartsWith(data, kUtf8Bom)) {
      kind = kUtf8;
      position = 3;
    } else if (StartsWith(data, kUtf16LeBom)) {
      kind = kUtf16Le;
      position = 2;
    } else if (StartsWith(data, kUtf16BeBom)) {
      kind = kUtf16Be;
      position = 2;
    } else {
      const MetaCharset meta = DetectMetaCharset(ReadLocal(data));
      kind = !meta.found      ? kLocalText
             : meta.kind == 1 ? kUtf8
             : meta.kind == 2 ? kBig5
                              : kBig5Hkscs;
    }
  } else if (kind == kUtf16Le || kind == kUtf16Be) {
    position = std::min<std::size_t>(2, data.size());
  } else if (kind == kUtf8 && StartsWith(data, kUtf8Bom)) {
    position = 3;
  }
  const std::string_view rest = data.substr(position);

  Text text;
  if (kind >= kUtf8 && kind <= kBig5Hkscs) {
    text = ConvertStrict(rest, kind);
    if (text.empty()) {
      if (kind == kUtf8) {
        text = Utf8ToLocal(rest);
      } else if (kind == kUtf16Le || kind == kUtf16Be) {
        text = Utf16ToLocal(rest, kind == kUtf16Be);
      } else {
        text = Big5ToLocal(BytesToText(rest));
      }
    }
  } else {
    text = ConvertStrict(rest, kUtf8);
    if (!text.empty()) kind = kUtf8;
  }
  if (text.empty()) {
    text = Text(ReadLocal(data));
    kind = kLocalText;
  }
  usedKind = kind;
  return text;
}

Text DecodeText(std::string_view data, int requestedKind) {
  int used = 0;
  return DecodeText(data, requestedKind, used);
}

Text Utf8ToLocal(std::string_view bytes) {
  return BytesToText(Utf8ToLocalText(bytes));
}

Text Utf16ToLocal(std::string_view bytes, bool bigEndian) {
  std::u16string units;
  units.reserve(bytes.size() / 2);
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
    const auto b0 = static_cast<unsigned char>(bytes[i]);
    const auto b1 = static_cast<unsigned char>(bytes[i + 1]);
    const char16_t unit =
        bigEndian ? static_cast<char16_t>((b0 << 8) | b1) : static_cast<char16_t>((b1 << 8) | b0);
    if (unit == 0) break;
    units.push_back(unit);
  }
  return Utf16ToLocalText(units);
}

Text Big5ToLocal(std::string_view text) {
  // A byte pair Big5 does not define becomes "?", like the platform's default character.
  return BytesToText(ConverterFor(kBig5).ConvertLenient(BytesToText(text), "?", 1));
}

}  // namespace xyx

#include "core/text/encoding.h"

#include <bit>
#include <cstring>

#include "core/text/iconv_converter.h"
#include "core/text/utf8_to_gb18030.h"

namespace xyx {

namespace {

constexpr const char* kLocal = "GB18030";
constexpr const char* kUtf16Host =
    std::endian::native == std::endian::little ? "UTF-16LE" : "UTF-16BE";

// Converters are reused per thread: opening one costs far more than a short conversion.
IconvConverter& Converter(int which) {
  thread_local IconvConverter localToUtf16(kUtf16Host, kLocal);
  thread_local IconvConverter utf16ToLocal(kLocal, kUtf16Host);
  thread_local IconvConverter localToUtf8("UTF-8", kLocal);
  thread_local IconvConverter utf8ToLocal(kLocal, "UTF-8");
  thread_local IconvConverter utf16ToUtf8("UTF-8", kUtf16Host);
  switch (which) {
    case 0:
      return localToUtf16;
    case 1:
      return utf16ToLocal;
    case 2:
      return localToUtf8;
    case 3:
      return utf8ToLocal;
    default:
      return utf16ToUtf8;
  }
}

bool IsAscii(std::string_view s) {
  for (char c : s) {
    if (IsLeadByte(c)) return false;
  }
  return true;
}

const std::string& Utf16Replacement() {
  static const std::string r = [] {
    const char16_t fffd = u'\uFFFD';
    return std::string(reinterpret_cast<const char*>(&fffd), sizeof fffd);
  }();
  return r;
}

// U+FFFD in GB18030.
constexpr std::string_view kLocalReplacement{"\x84\x31\xA4\x37", 4};

}  // namespace

std::u16string LocalToUtf16(std::string_view local) {
  std::u16string out;
  if (IsAscii(local)) {
    out.assign(local.begin(), local.end());
    return out;
  }
  const std::string bytes = Converter(0).ConvertLenient(local, Utf16Replacement(), 1);
  out.resize(bytes.size() / 2);
  std::memcpy(out.data(), bytes.data(), out.size() * 2);
  return out;
}

Text Utf16ToLocalText(std::u16string_view utf16) {
  bool ascii = true;
  for (char16_t u : utf16) {
    if (u >= 0x80) {
      ascii = false;
      break;
    }
  }
  if (ascii) return Text(utf16.begin(), utf16.end());
  const std::string_view bytes(reinterpret_cast<const char*>(utf16.data()), utf16.size() * 2);
  // A lone surrogate is the only thing GB18030 cannot hold; it becomes "?".
  return Converter(1).ConvertLenient(bytes, "?", 2);
}

std::string LocalToUtf8(std::string_view local) {
  if (IsAscii(local)) return std::string(local);
  return Converter(2).ConvertLenient(local, "\xEF\xBF\xBD", 1);
}

Text Utf8ToLocalText(std::string_view utf8) {
  if (IsAscii(utf8)) return Text(utf8);
  // Valid text through the table (the same bytes as iconv's, faster); only text that needs
  // replacements takes the lenient path.
  if (auto converted = Utf8ToGb18030(utf8)) return std::move(*converted);
  return Converter(3).ConvertLenient(utf8, kLocalReplacement, 1);
}

std::string Utf16ToUtf8(std::u16string_view utf16) {
  const std::string_view bytes(reinterpret_cast<const char*>(utf16.data()), utf16.size() * 2);
  return Converter(4).ConvertLenient(bytes, "\xEF\xBF\xBD", 2);
}

Text CodePointToLocal(char32_t cp) {
  if (cp == 0 || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return {};
  if (cp < 0x80) return Text(1, static_cast<char>(cp));
  std::u16string units;
  if (cp < 0x10000) {
    units.push_back(static_cast<char16_t>(cp));
  } else {
    const char32_t v = cp - 0x10000;
    units.push_back(static_cast<char16_t>(0xD800 + (v >> 10)));
    units.push_back(static_cast<char16_t>(0xDC00 + (v & 0x3FF)));
  }
  return Utf16ToLocalText(units);
}

}  // namespace xyx

#pragma once
// Local text (GB18030 bytes) at the edge of the Qt controls: a control's text comes in and
// goes out through these two conversions and nowhere else.

#include <QString>
#include <string>
#include <string_view>

#include "core/text/encoding.h"
#include "core/text/local_text.h"

namespace xyx {

inline QString FromLocal(std::string_view text) {
  const std::u16string units = LocalToUtf16(text);
  return QString(reinterpret_cast<const QChar*>(units.data()),
                 static_cast<qsizetype>(units.size()));
}

inline std::u16string_view Utf16View(const QString& text) {
  return std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()),
                             static_cast<std::size_t>(text.size()));
}

inline Text ToLocal(const QString& text) {
  return Utf16ToLocalText(Utf16View(text));
}

}  // namespace xyx

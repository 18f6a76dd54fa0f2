#pragma once
// RAII wrapper over one iconv conversion descriptor.

#include <iconv.h>

#include <optional>
#include <string>
#include <string_view>

namespace xyx {

class IconvConverter {
 public:
  IconvConverter(const char* to, const char* from);
  ~IconvConverter();
  IconvConverter(const IconvConverter&) = delete;
  IconvConverter& operator=(const IconvConverter&) = delete;
  IconvConverter(IconvConverter&& other) noexcept;
  IconvConverter& operator=(IconvConverter&& other) noexcept;

  bool Valid() const { return cd_ != Invalid(); }

  // Converts the whole input in one call; any invalid or incomplete sequence fails the whole
  // conversion. Only a full output buffer is handled, by growing it and continuing.
  std::optional<std::string> Convert(std::string_view in);

  // Converts what it can: at an invalid or incomplete sequence it appends `replacement`
  // (already in the target encoding) and skips `invalidStep` input bytes.
  std::string ConvertLenient(std::string_view in, std::string_view replacement,
                             std::size_t invalidStep);

 private:
  static iconv_t Invalid() { return reinterpret_cast<iconv_t>(-1); }
  void Reset();
  iconv_t cd_;
};

}  // namespace xyx

#include "core/text/iconv_converter.h"

#include <cerrno>
#include <utility>

namespace xyx {

IconvConverter::IconvConverter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}

IconvConverter::~IconvConverter() {
  if (Valid()) iconv_close(cd_);
}

IconvConverter::IconvConverter(IconvConverter&& other) noexcept
    : cd_(std::exchange(other.cd_, Invalid())) {}

IconvConverter& IconvConverter::operator=(IconvConverter&& other) noexcept {
  if (this != &other) {
    if (Valid()) iconv_close(cd_);
    cd_ = std::exchange(other.cd_, Invalid());
  }
  return *this;
}

void IconvConverter::Reset() { iconv(cd_, nullptr, nullptr, nullptr, nullptr); }

std::optional<std::string> IconvConverter::Convert(std::string_view in) {
  if (!Valid()) return std::nullopt;
  Reset();
  std::string out(in.size() * 2 + 16, '\0');
  char* src = const_cast<char*>(in.data());  // iconv's interface is not const-correct
  std::size_t srcLeft = in.size();
  std::size_t used = 0;
  for (;;) {
    char* dst = out.data() + used;
    std::size_t dstLeft = out.size() - used;
    const std::size_t rc = iconv(cd_, &src, &srcLeft, &dst, &dstLeft);
    used = out.size() - dstLeft;
    if (rc != static_cast<std::size_t>(-1)) {
      // Flush any shift state.
      dst = out.data() + used;
      dstLeft = out.size() - used;
      if (iconv(cd_, nullptr, nullptr, &dst, &dstLeft) == static_cast<std::size_t>(-1)) {
        if (errno != E2BIG) return std::nullopt;
        out.resize(out.size() * 2);
        continue;
      }
      used = out.size() - dstLeft;
      break;
    }
    if (errno != E2BIG) return std::nullopt;
    out.resize(out.size() * 2);
  }
  out.resize(used);
  return out;
}

std::string IconvConverter::ConvertLenient(std::string_view in, std::string_view replacement,
                                           std::size_t invalidStep) {
  std::string out;
  if (!Valid()) return out;
  Reset();
  out.resize(in.size() * 2 + 16);
  char* src = const_cast<char*>(in.data());
  std::size_t srcLeft = in.size();
  std::size_t used = 0;
  while (srcLeft > 0) {
    char* dst = out.data() + used;
    std::size_t dstLeft = out.size() - used;
    const std::size_t rc = iconv(cd_, &src, &srcLeft, &dst, &dstLeft);
    used = out.size() - dstLeft;
    if (rc != static_cast<std::size_t>(-1)) break;
    if (errno == E2BIG) {
      out.resize(out.size() * 2);
      continue;
    }
    // EILSEQ or EINVAL: put the replacement and step over the bad bytes.
    out.resize(used);
    out.append(replacement);
    used = out.size();
    out.resize(used + srcLeft * 2 + 16);
    const std::size_t step = std::min(invalidStep == 0 ? 1 : invalidStep, srcLeft);
    src += step;
    srcLeft -= step;
    Reset();
  }
  out.resize(used);
  return out;
}

}  // namespace xyx

#include "core/text/iconv_converter.h"

#include <cerrno>
#include <utility>

#include "core/platform/memory.h"

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

void IconvConverter::Reset() {
  iconv(cd_, nullptr, nullptr, nullptr, nullptr);
}

std::optional<std::string> IconvConverter::Convert(std::string_view in) {
  if (!Valid()) return std::nullopt;
  Reset();
  // Room for the usual worst case (the conversions used here at most double the size), so that
  // appending never moves the text; its pages are touched only as output is written.
  std::string out;
  out.reserve(in.size() * 2 + 16);
  AdviseLargeBuffer(out.data(), out.capacity());
  // Convert through a small buffer that stays in cache: a full buffer (E2BIG) is appended and the
  // conversion goes on. Zero-filling one large output buffer first costs more than converting.
  char chunk[64 * 1024];
  char* src = const_cast<char*>(in.data());  // iconv's interface is not const-correct
  std::size_t srcLeft = in.size();
  bool flushing = false;  // the last round writes any shift state
  for (;;) {
    char* dst = chunk;
    std::size_t dstLeft = sizeof chunk;
    const std::size_t rc = flushing ? iconv(cd_, nullptr, nullptr, &dst, &dstLeft)
                                    : iconv(cd_, &src, &srcLeft, &dst, &dstLeft);
    out.append(chunk, static_cast<std::size_t>(dst - chunk));
    if (rc != static_cast<std::size_t>(-1)) {
      if (flushing) break;
      flushing = true;
      continue;
    }
    if (errno != E2BIG) return std::nullopt;
  }
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

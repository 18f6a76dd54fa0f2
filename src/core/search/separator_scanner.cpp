#include "core/search/separator_scanner.h"

#include <bit>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace xyx {

namespace {

struct BlockMasks {
  std::uint64_t high = 0;  // bytes of 0x80 or more
  std::uint64_t sep = 0;   // "|", LF, 0x1A
};

BlockMasks Classify(const unsigned char* block) {
  BlockMasks m;
#if defined(__SSE2__)
  const __m128i bar = _mm_set1_epi8('|');
  const __m128i lf = _mm_set1_epi8('\n');
  const __m128i sub = _mm_set1_epi8(0x1A);
  for (int k = 0; k < 4; ++k) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(block + 16 * k));
    const __m128i s = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(v, bar), _mm_cmpeq_epi8(v, lf)),
                                   _mm_cmpeq_epi8(v, sub));
    m.high |= static_cast<std::uint64_t>(static_cast<std::uint16_t>(_mm_movemask_epi8(v)))
              << (16 * k);
    m.sep |= static_cast<std::uint64_t>(static_cast<std::uint16_t>(_mm_movemask_epi8(s)))
             << (16 * k);
  }
#else
  for (int k = 0; k < 64; ++k) {
    const unsigned char c = block[k];
    if (c >= 0x80) m.high |= std::uint64_t{1} << k;
    if (c == '|' || c == '\n' || c == 0x1A) m.sep |= std::uint64_t{1} << k;
  }
#endif
  return m;
}

// Second bytes of the block: the bytes that follow an odd-length run of lead-capable bytes.
// This is the same pairing as backslash escapes in JSON, computed without branches by the
// carry of an addition (the technique of simdjson's escape scanner).
std::uint64_t TrailBytes(std::uint64_t high, std::uint64_t& carry) {
  constexpr std::uint64_t kEven = 0x5555555555555555ULL;
  const std::uint64_t trailIn = carry;
  high &= ~trailIn;  // a second byte never starts a character itself
  const std::uint64_t followsHigh = (high << 1) | trailIn;
  const std::uint64_t oddStarts = high & ~kEven & ~followsHigh;
  const std::uint64_t sum = oddStarts + high;
  carry = sum < oddStarts ? 1 : 0;
  const std::uint64_t invert = sum << 1;
  return ((kEven ^ invert) & followsHigh) | trailIn;
}

}  // namespace

SeparatorScanner::SeparatorScanner(std::string_view text)
    : data_(reinterpret_cast<const unsigned char*>(text.data())), size_(text.size()) {}

void SeparatorScanner::LoadBlock() {
  const unsigned char* block = data_ + blockBase_;
  unsigned char padded[64];
  if (size_ - blockBase_ < 64) {
    std::memset(padded, 0, sizeof padded);
    std::memcpy(padded, block, size_ - blockBase_);
    block = padded;
  }
  const BlockMasks m = Classify(block);
  pending_ = m.sep & ~TrailBytes(m.high, trailCarry_);
}

std::size_t SeparatorScanner::Next() {
  for (;;) {
    if (!loaded_) {
      if (blockBase_ >= size_) return size_;
      LoadBlock();
      loaded_ = true;
    }
    if (pending_ != 0) {
      const std::size_t at = blockBase_ + static_cast<std::size_t>(std::countr_zero(pending_));
      pending_ &= pending_ - 1;
      return at;
    }
    blockBase_ += 64;
    loaded_ = false;
  }
}

}  // namespace xyx

#pragma once
// Finds the separators of a result text ("|", LF and 0x1A) that stand at character starts,
// 64 bytes at a time. A byte of 0x80 or more starts a two-byte character, so a separator
// byte right after an odd run of such bytes is a second byte and does not count.

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace xyx {

class SeparatorScanner {
 public:
  explicit SeparatorScanner(std::string_view text);

  // The next separator at a character start, in text order; the text's size when none is left.
  std::size_t Next();

 private:
  void LoadBlock();

  const unsigned char* data_;
  std::size_t size_;
  std::size_t blockBase_ = 0;
  std::uint64_t pending_ = 0;     // separators of the current block not yet returned
  std::uint64_t trailCarry_ = 0;  // 1 when the next block starts with a second byte
  bool loaded_ = false;
};

}  // namespace xyx

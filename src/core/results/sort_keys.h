#pragma once
// Sort keys of the result list's rows. Every row gets one key, built once per sort; the keys'
// plain byte order is the order of the rows. A stable sort of the keys gives the ascending
// order, and descending is exactly its reverse, so rows with equal keys swap places between
// the two directions and never move otherwise.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/text/local_text.h"

namespace xyx {

// How a row's key is built from its sort column.
enum class SortKeyKind : int {
  kText = 0,    // the cell text, compared in Chinese (pinyin) collation
  kNumber = 1,  // the cell text read as a number
  kDate = 2,    // the cell text read as a date and time
  kValue = 3,   // the row's 64-bit value
  kImage = 4,   // the image index of the cell
};

// The kind for an integer argument; false for anything but 0 to 4.
bool ToSortKeyKind(int kind, SortKeyKind& out);

// The keys of all rows, in one buffer.
class SortKeys {
 public:
  void Reserve(std::size_t rows, std::size_t bytesPerRow);
  // The key of the next row is whatever was appended to Buffer() since the last EndKey().
  std::string& Buffer() { return bytes_; }
  void EndKey();
  // Ends a key whose order `rank` gives exactly: keys with a lower rank are lower, equal
  // ranks are equal keys. Sorting then compares ranks only.
  void EndKey(std::uint64_t rank);
  void Add(std::string_view key) {
    bytes_ += key;
    EndKey();
  }

  std::size_t size() const { return ends_.size(); }
  std::string_view operator[](std::size_t i) const {
    const std::size_t begin = i == 0 ? 0 : ends_[i - 1];
    return std::string_view(bytes_).substr(begin, ends_[i] - begin);
  }
  // The first eight bytes of key i as a big-endian number (shorter keys padded with zero
  // bytes), or the rank given: comparing these first settles most comparisons without
  // touching the keys themselves.
  std::uint64_t Prefix(std::size_t i) const { return prefixes_[i]; }
  bool Ranked() const { return ranked_; }

 private:
  std::string bytes_;
  std::vector<std::size_t> ends_;
  std::vector<std::uint64_t> prefixes_;
  bool ranked_ = true;
};

// The row indexes in sorted order: a stable ascending sort of the keys, reversed whole for
// descending.
std::vector<std::size_t> SortedOrder(const SortKeys& keys, bool ascending);

// The rank of an integer: the same order as its key.
inline std::uint64_t IntegerRank(std::int64_t value) {
  return static_cast<std::uint64_t>(value) ^ (std::uint64_t{1} << 63);
}

// Kinds 3 and 4: the magnitude in decimal, zero-filled to 31 digits. A negative value is "-"
// followed by the nines' complement of those digits, so that negative values sort before the
// others and among themselves in numeric order as well.
void AppendIntegerKey(std::int64_t value, std::string& out);

// Kind 1: the longest number at the start of the text (after blanks; a sign, digits, a
// decimal point, an exponent) with 30 decimals, zero-filled to 61 characters; negatives as
// for kind 3. A text that does not start with a number reads as 0, and magnitudes of 1e30 or
// more as the largest key, so every text has a place in the order.
void AppendNumberKey(std::string_view localText, std::string& out);

// Kind 2: year, month, day, hour, minute, second as 14 digits. The text is read as up to six
// groups of digits separated by anything else ("2012-03-04 05:06:07", "2012/3/4",
// "2012年3月4日 5:06"); hour, minute and second may be left out. A two-digit year counts as
// 2000 to 2029 or 1930 to 1999. A text that is not such a date (fewer than three groups, or a
// part out of range) gives fourteen zeros and so sorts before every date.
void AppendDateKey(std::string_view localText, std::string& out);

// Kind 0: collation sort keys for Chinese (pinyin order for Han characters, Latin letters
// before them, letter case ignored). Built once per sort; each key is computed once per row.
class CollationKeyBuilder {
 public:
  CollationKeyBuilder();
  ~CollationKeyBuilder();
  CollationKeyBuilder(const CollationKeyBuilder&) = delete;
  CollationKeyBuilder& operator=(const CollationKeyBuilder&) = delete;

  // False when no collator could be opened; keys then fall back to UTF-8 code point order.
  bool Valid() const;

  void AppendKey(std::u16string_view text, std::string& out) const;
  std::string Key(std::u16string_view text) const;

 private:
  struct Collator;
  std::unique_ptr<Collator> collator_;
};

}  // namespace xyx

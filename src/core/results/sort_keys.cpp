#include "core/results/sort_keys.h"

#include <unicode/ucol.h>
#include <unicode/uscript.h>

#include <algorithm>
#include <charconv>
#include <cmath>

#include "core/text/encoding.h"

namespace xyx {

namespace {

constexpr std::size_t kIntegerDigits = 31;
constexpr std::size_t kNumberWidth = 61;  // 30 digits, the point, 30 decimals
constexpr int kNumberDecimals = 30;

// Turns the digits of a key (from `from` on) into their nines' complement and puts "-" in
// front, so that a larger magnitude gives a smaller key.
void MarkNegative(std::string& out, std::size_t from) {
  for (std::size_t i = from; i < out.size(); ++i) {
    if (out[i] >= '0' && out[i] <= '9') out[i] = static_cast<char>('9' - (out[i] - '0'));
  }
  out.insert(out.begin() + static_cast<std::ptrdiff_t>(from), '-');
}

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

}  // namespace

bool ToSortKeyKind(int kind, SortKeyKind& out) {
  if (kind < 0 || kind > 4) return false;
  out = static_cast<SortKeyKind>(kind);
  return true;
}

void SortKeys::Reserve(std::size_t rows, std::size_t bytesPerRow) {
  ends_.reserve(rows);
  prefixes_.reserve(rows);
  bytes_.reserve(rows * bytesPerRow);
}

void SortKeys::EndKey() {
  const std::size_t begin = ends_.empty() ? 0 : ends_.back();
  std::uint64_t prefix = 0;
  for (std::size_t i = 0; i < 8; ++i) {
    const std::size_t at = begin + i;
    const auto byte = at < bytes_.size() ? static_cast<unsigned char>(bytes_[at]) : 0u;
    prefix = (prefix << 8) | byte;
  }
  ends_.push_back(bytes_.size());
  prefixes_.push_back(prefix);
  ranked_ = false;
}

void SortKeys::EndKey(std::uint64_t rank) {
  ends_.push_back(bytes_.size());
  prefixes_.push_back(rank);
}

std::vector<std::size_t> SortedOrder(const SortKeys& keys, bool ascending) {
  // The prefixes sit beside the row numbers, so most comparisons stay in one cache line.
  struct Entry {
    std::uint64_t prefix;
    std::size_t row;
  };
  std::vector<Entry> entries(keys.size());
  for (std::size_t i = 0; i < keys.size(); ++i) entries[i] = {keys.Prefix(i), i};
  if (keys.Ranked()) {
    std::stable_sort(entries.begin(), entries.end(),
                     [](const Entry& a, const Entry& b) { return a.prefix < b.prefix; });
  } else {
    std::stable_sort(entries.begin(), entries.end(), [&keys](const Entry& a, const Entry& b) {
      if (a.prefix != b.prefix) return a.prefix < b.prefix;
      return keys[a.row] < keys[b.row];
    });
  }
  std::vector<std::size_t> order(entries.size());
  for (std::size_t i = 0; i < entries.size(); ++i) order[i] = entries[i].row;
  if (!ascending) std::reverse(order.begin(), order.end());
  return order;
}

void AppendIntegerKey(std::int64_t value, std::string& out) {
  const std::size_t from = out.size();
  // The magnitude of the most negative value does not fit a signed type.
  const std::uint64_t magnitude = value < 0 ? std::uint64_t{0} - static_cast<std::uint64_t>(value)
                                            : static_cast<std::uint64_t>(value);
  char digits[24];
  const auto end = std::to_chars(digits, digits + sizeof digits, magnitude).ptr;
  const auto length = static_cast<std::size_t>(end - digits);
  out.append(kIntegerDigits - length, '0');
  out.append(digits, length);
  if (value < 0) MarkNegative(out, from);
}

void AppendNumberKey(std::string_view text, std::string& out) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  double value = 0;
  // Only a digit or a point may start the number: "inf" and "nan" are no numbers here.
  if (i < text.size() && (IsDigit(text[i]) || text[i] == '.')) {
    const auto result = std::from_chars(text.data() + i, text.data() + text.size(), value,
                                        std::chars_format::general);
    if (result.ec != std::errc()) value = result.ec == std::errc::result_out_of_range ? 1e300 : 0;
  }
  if (negative) value = -value;

  const std::size_t from = out.size();
  const double magnitude = std::fabs(value);
  if (!(magnitude < 1e30)) {
    out.append(30, '9');
    out += '.';
    out.append(30, '9');
  } else {
    char digits[96];
    const auto result = std::to_chars(digits, digits + sizeof digits, magnitude,
                                      std::chars_format::fixed, kNumberDecimals);
    const auto length = static_cast<std::size_t>(result.ptr - digits);
    if (length < kNumberWidth) out.append(kNumberWidth - length, '0');
    out.append(digits, std::min(length, kNumberWidth));
  }
  if (value < -0.0000001) MarkNegative(out, from);
}

void AppendDateKey(std::string_view text, std::string& out) {
  int parts[6] = {0, 0, 0, 0, 0, 0};
  int digitsOfYear = 0;
  int count = 0;
  std::size_t i = 0;
  while (i < text.size() && count < 6) {
    if (!IsDigit(text[i])) {
      // A double-byte character is skipped whole: its second byte may look like a digit.
      i += CharLength(text, i);
      continue;
    }
    long part = 0;
    int digits = 0;
    while (i < text.size() && IsDigit(text[i])) {
      if (part < 100000) part = part * 10 + (text[i] - '0');
      ++digits;
      ++i;
    }
    if (count == 0) digitsOfYear = digits;
    parts[count++] = static_cast<int>(part);
  }
  int& year = parts[0];
  if (digitsOfYear <= 2) year += year < 30 ? 2000 : 1900;
  const bool valid = count >= 3 && year >= 1 && year <= 9999 && parts[1] >= 1 && parts[1] <= 12 &&
                     parts[2] >= 1 && parts[2] <= 31 && parts[3] <= 23 && parts[4] <= 59 &&
                     parts[5] <= 59;
  if (!valid) {
    out.append(14, '0');
    return;
  }
  char digits[16];
  for (int p = 0; p < 6; ++p) {
    const int width = p == 0 ? 4 : 2;
    int v = parts[p];
    for (int d = width - 1; d >= 0; --d) {
      digits[d] = static_cast<char>('0' + v % 10);
      v /= 10;
    }
    out.append(digits, static_cast<std::size_t>(width));
  }
}

struct CollationKeyBuilder::Collator {
  UCollator* handle = nullptr;
  ~Collator() {
    if (handle != nullptr) ucol_close(handle);
  }
};

CollationKeyBuilder::CollationKeyBuilder() : collator_(std::make_unique<Collator>()) {
  UErrorCode status = U_ZERO_ERROR;
  collator_->handle = ucol_open("zh", &status);
  if (U_FAILURE(status)) {
    if (collator_->handle != nullptr) ucol_close(collator_->handle);
    collator_->handle = nullptr;
    return;
  }
  // Secondary strength: "abc" and "ABC" are equal keys and keep their relative order.
  ucol_setStrength(collator_->handle, UCOL_SECONDARY);
  // Chinese collation puts Han before Latin; names read more naturally with Latin first, as
  // the system's own lists do.
  const int32_t order[] = {USCRIPT_LATIN, USCRIPT_HAN};
  ucol_setReorderCodes(collator_->handle, order, 2, &status);
  status = U_ZERO_ERROR;
}

CollationKeyBuilder::~CollationKeyBuilder() = default;

bool CollationKeyBuilder::Valid() const {
  return collator_->handle != nullptr;
}

void CollationKeyBuilder::AppendKey(std::u16string_view text, std::string& out) const {
  if (!Valid()) {
    out += Utf16ToUtf8(text);
    return;
  }
  const std::size_t from = out.size();
  std::size_t room = text.size() * 4 + 16;
  for (int attempt = 0; attempt < 2; ++attempt) {
    out.resize(from + room);
    const int32_t needed =
        ucol_getSortKey(collator_->handle, text.data(), static_cast<int32_t>(text.size()),
                        reinterpret_cast<uint8_t*>(out.data() + from), static_cast<int32_t>(room));
    if (needed <= 0) break;
    if (static_cast<std::size_t>(needed) <= room) {
      // The key ends in a zero byte and holds none before it; the zero is left out so that
      // plain byte comparison of the keys keeps the collation order.
      out.resize(from + static_cast<std::size_t>(needed) - 1);
      return;
    }
    room = static_cast<std::size_t>(needed);
  }
  out.resize(from);
}

std::string CollationKeyBuilder::Key(std::u16string_view text) const {
  std::string key;
  AppendKey(text, key);
  return key;
}

}  // namespace xyx

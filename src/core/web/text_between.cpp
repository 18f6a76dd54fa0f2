#include "core/web/text_between.h"

#include <optional>

namespace xyx {

namespace {

// A search copy of the source: markers stand in for an empty head or tail.
struct Prepared {
  Text head;
  Text tail;
  Text copy;  // used only when a marker was added
  bool marked = false;
  std::string_view View(std::string_view source) const { return marked ? copy : source; }
};

Prepared Prepare(std::string_view source, Text head, Text tail) {
  Prepared p;
  const bool noHead = head.empty();
  const bool noTail = tail.empty();
  p.head = noHead ? Text(HeadMarker) : std::move(head);
  p.tail = noTail ? Text(TailMarker) : std::move(tail);
  if (noHead || noTail) {
    p.marked = true;
    p.copy.reserve(source.size() + 2 * HeadMarker.size());
    if (noHead) p.copy.append(HeadMarker);
    p.copy.append(source);
    if (noTail) p.copy.append(TailMarker);
  }
  return p;
}

// 0-based index where a forward search may begin for a 1-based start position.
std::optional<std::size_t> ForwardFrom(std::int64_t start, std::size_t size) {
  if (start <= 1) return 0;
  if (static_cast<std::uint64_t>(start - 1) > size) return std::nullopt;
  return static_cast<std::size_t>(start - 1);
}

struct Pair {
  std::size_t h;
  std::size_t t;
};

std::optional<Pair> FindForward(std::string_view text, std::string_view head, std::string_view tail,
                                std::int64_t start) {
  const auto from = ForwardFrom(start, text.size());
  if (!from) return std::nullopt;
  const std::size_t h = FindText(text, head, *from, Case::IgnoreAscii);
  if (h == npos) return std::nullopt;
  const std::size_t t = FindText(text, tail, h + head.size(), Case::IgnoreAscii);
  if (t == npos) return std::nullopt;
  return Pair{h, t};
}

std::optional<Pair> FindBackward(std::string_view text, std::string_view head,
                                 std::string_view tail, std::int64_t start) {
  // A tail that "ends before" 1-based position `start` ends at or before 0-based start - 1.
  std::size_t end = text.size();
  if (start >= 1 && static_cast<std::uint64_t>(start - 1) < text.size()) {
    end = static_cast<std::size_t>(start - 1);
  }
  const std::size_t t = FindLastText(text, tail, end, Case::IgnoreAscii);
  if (t == npos) return std::nullopt;
  const std::size_t h = FindLastText(text, head, t, Case::IgnoreAscii);
  if (h == npos) return std::nullopt;
  return Pair{h, t};
}

std::optional<Pair> FindTailFirst(std::string_view text, std::string_view head,
                                  std::string_view tail, std::int64_t start) {
  const auto from = ForwardFrom(start, text.size());
  if (!from) return std::nullopt;
  const std::size_t t = FindText(text, tail, *from, Case::IgnoreAscii);
  if (t == npos) return std::nullopt;
  const std::size_t h = FindLastText(text, head, t, Case::IgnoreAscii);
  if (h == npos) return std::nullopt;
  return Pair{h, t};
}

Text Between(std::string_view text, const Pair& p, std::size_t headLength, int skipAfterHead,
             int dropBeforeTail) {
  const std::int64_t begin = static_cast<std::int64_t>(p.h + headLength) + skipAfterHead;
  const std::int64_t length = static_cast<std::int64_t>(p.t) - begin - dropBeforeTail;
  if (length <= 0 || begin < 0 || static_cast<std::uint64_t>(begin) >= text.size()) return Text();
  return Text(text.substr(static_cast<std::size_t>(begin), static_cast<std::size_t>(length)));
}

Text WithoutDoubleQuotes(std::string_view s) {
  Text out;
  out.reserve(s.size());
  for (char c : s) {
    if (c != '"') out.push_back(c);
  }
  return out;
}

}  // namespace

Text UnescapeQuotes(std::string_view text) {
  return ReplaceAll(text, "''", "\"");
}

Text TextBetween(std::string_view source, std::string_view head, std::string_view tail,
                 int skipAfterHead, int dropBeforeTail, std::int64_t* startPosition, bool backwards,
                 bool unescape) {
  const Prepared p = unescape ? Prepare(source, UnescapeQuotes(head), UnescapeQuotes(tail))
                              : Prepare(source, Text(head), Text(tail));
  const std::string_view text = p.View(source);
  const std::int64_t start = startPosition ? *startPosition : 0;
  const auto found = backwards ? FindBackward(text, p.head, p.tail, start)
                               : FindForward(text, p.head, p.tail, start);
  if (!found) return Text();
  if (startPosition) {
    *startPosition = backwards ? static_cast<std::int64_t>(found->h) + 1
                               : static_cast<std::int64_t>(found->t + p.tail.size()) + 1;
  }
  return Between(text, *found, p.head.size(), skipAfterHead, dropBeforeTail);
}

Text TextBetweenLenient(std::string_view source, std::string_view head, std::string_view tail,
                        std::int64_t& startPosition, bool tailFirst, int skipAfterHead,
                        int dropBeforeTail, bool keepQuotes) {
  Text h = keepQuotes ? Text(head) : UnescapeQuotes(head);
  Text t = keepQuotes ? Text(tail) : UnescapeQuotes(tail);
  for (int attempt = 0; attempt < 2; ++attempt) {
    if (attempt == 1) {
      Text bareHead = WithoutDoubleQuotes(h);
      Text bareTail = WithoutDoubleQuotes(t);
      // Nothing to strip means the second try would repeat the first.
      if (bareHead == h && bareTail == t) break;
      h = std::move(bareHead);
      t = std::move(bareTail);
    }
    const Prepared p = Prepare(source, h, t);
    const std::string_view text = p.View(source);
    const auto found = tailFirst ? FindTailFirst(text, p.head, p.tail, startPosition)
                                 : FindForward(text, p.head, p.tail, startPosition);
    if (!found) continue;
    startPosition = static_cast<std::int64_t>(found->t + p.tail.size()) + 1;
    return Between(text, *found, p.head.size(), skipAfterHead, dropBeforeTail);
  }
  return Text();
}

bool ContainsAnyOrAll(std::string_view text, std::string_view list, bool any) {
  const std::vector<Text> alternatives = SplitText(list, kAlternativeSeparator);
  if (alternatives.empty()) return !any;
  for (const Text& alternative : alternatives) {
    const bool occurs = FindText(text, alternative, 0, Case::IgnoreAscii) != npos;
    if (any && occurs) return true;
    if (!any && !occurs) return false;
  }
  return !any;
}

}  // namespace xyx

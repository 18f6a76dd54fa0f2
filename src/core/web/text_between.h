#pragma once
// Picking pieces out of markup: the text between a head and a tail, and whether a text holds
// any (or all) of a list of alternatives. Every search ignores ASCII letter case and steps over
// double-byte characters whole. Positions passed in and out count bytes from 1.

#include <cstdint>
#include <string_view>

#include "core/text/local_text.h"

namespace xyx {

// "#垣禾头#" and "#垣禾尾#": an empty head or tail stands for the beginning or end of the text.
inline constexpr std::string_view HeadMarker{"#\xD4\xAB\xBA\xCC\xCD\xB7#", 8};
inline constexpr std::string_view TailMarker{"#\xD4\xAB\xBA\xCC\xCE\xB2#", 8};

// Separates the alternatives of one alternative list.
inline constexpr std::string_view kAlternativeSeparator = "[fg]";

// Constants write a double quote as two apostrophes; this turns each pair into one '"'.
Text UnescapeQuotes(std::string_view text);

// The text between the first `head` at or after *startPosition and the first `tail` after it
// (or, backwards, the last pair before *startPosition). On success *startPosition moves past
// the tail (forwards) or to the head (backwards); otherwise it is left alone. The result drops
// `skipAfterHead` bytes after the head and `dropBeforeTail` bytes before the tail.
Text TextBetween(std::string_view source, std::string_view head, std::string_view tail,
                 int skipAfterHead = 0, int dropBeforeTail = 0,
                 std::int64_t* startPosition = nullptr, bool backwards = false,
                 bool unescape = false);

// Like TextBetween, with quotes unescaped unless `keepQuotes`, an optional tail-first search
// (the innermost pair around the first tail), and a second try with every '"' removed from head
// and tail when the first finds nothing.
Text TextBetweenLenient(std::string_view source, std::string_view head, std::string_view tail,
                        std::int64_t& startPosition, bool tailFirst = false, int skipAfterHead = 0,
                        int dropBeforeTail = 0, bool keepQuotes = false);

// With `any`: whether at least one alternative of `list` occurs in `text`; without: whether
// all of them do. A list without alternatives gives false for any and true for all.
bool ContainsAnyOrAll(std::string_view text, std::string_view list, bool any);

}  // namespace xyx

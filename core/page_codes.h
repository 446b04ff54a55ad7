// The codes that the block's script hands to document.write for a text.
//
// The script turns each code back into the character with that code point,
// so only characters up to U+00FF arrive as themselves. Any other character
// (the euro sign, typographic quotes and dashes, Polish, Cyrillic, emoji) goes
// as an HTML numeric character reference, which the page's parser turns back
// into the right character.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "utf16.h"

namespace common {

// The most page codes one character makes: "&#1114111;".
inline constexpr std::size_t LongestPageCodes = 10;

namespace detail {
template <class Sink>
void EmitReference(char32_t codePoint, Sink&& sink) {
  char digits[8];
  int count = 0;
  do {
    digits[count++] = static_cast<char>('0' + codePoint % 10);
    codePoint /= 10;
  } while (codePoint != 0);
  sink('&');
  sink('#');
  while (count > 0) sink(digits[--count]);
  sink(';');
}
}  // namespace detail

// Calls sink(code) for each page code (0 to 255) of one code point: itself up
// to U+00FF, its reference beyond.
template <class Sink>
inline void ForEachPageCodeOf(char32_t codePoint, Sink&& sink) {
  if (codePoint <= 0xFF) {
    sink(static_cast<int>(codePoint));
  } else {
    detail::EmitReference(codePoint, sink);
  }
}

// How many page codes a code point makes.
inline int PageCodeCount(char32_t codePoint) {
  int count = 0;
  ForEachPageCodeOf(codePoint, [&](int) { ++count; });
  return count;
}

// Calls sink(code) for each page code (0 to 255) of the character at index i.
// A surrogate pair yields one reference at its first half and nothing at its
// second; a lone surrogate yields the reference of U+FFFD.
template <class Sink>
inline void ForEachPageCode(std::u16string_view text, std::size_t i, Sink&& sink) {
  if (const std::optional<char32_t> codePoint = utf16::CodePointAt(text, i)) ForEachPageCodeOf(*codePoint, sink);
}

}  // namespace common

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

// Calls sink(code) for each page code (0 to 255) of the character at index i.
// A surrogate pair yields one reference at its first half and nothing at its
// second; a lone surrogate yields the reference of U+FFFD.
template <class Sink>
inline void ForEachPageCode(std::u16string_view text, std::size_t i, Sink&& sink) {
  const char16_t c = text[i];
  if (c <= 0xFF) {
    sink(static_cast<int>(c));
    return;
  }
  if (utf16::IsHighSurrogate(c) && i + 1 < text.size() && utf16::IsLowSurrogate(text[i + 1])) {
    detail::EmitReference(utf16::CodePoint(c, text[i + 1]), sink);
  } else if (utf16::IsLowSurrogate(c) && i > 0 && utf16::IsHighSurrogate(text[i - 1])) {
    // second half of a pair: its reference went out with the first half
  } else if (utf16::IsSurrogate(c)) {
    detail::EmitReference(0xFFFD, sink);
  } else {
    detail::EmitReference(c, sink);
  }
}

}  // namespace common

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

namespace common {

inline bool IsHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
inline bool IsLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

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
  if (IsHighSurrogate(c) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
    const char32_t pair = 0x10000 + ((char32_t(c) - 0xD800) << 10) + (char32_t(text[i + 1]) - 0xDC00);
    detail::EmitReference(pair, sink);
  } else if (IsLowSurrogate(c) && i > 0 && IsHighSurrogate(text[i - 1])) {
    // second half of a pair: its reference went out with the first half
  } else if (IsHighSurrogate(c) || IsLowSurrogate(c)) {
    detail::EmitReference(0xFFFD, sink);
  } else {
    detail::EmitReference(c, sink);
  }
}

// The whole text as the page receives it, one character per code.
std::u16string PageText(std::u16string_view text);

}  // namespace common

// The surrogate pairs of 16-bit texts.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace utf16 {

inline bool IsHighSurrogate(char32_t c) { return c >= 0xD800 && c <= 0xDBFF; }
inline bool IsLowSurrogate(char32_t c) { return c >= 0xDC00 && c <= 0xDFFF; }
inline bool IsSurrogate(char32_t c) { return c >= 0xD800 && c <= 0xDFFF; }

// The code point of a high and a low surrogate.
inline char32_t CodePoint(char32_t high, char32_t low) { return 0x10000 + ((high - 0xD800) << 10) + (low - 0xDC00); }

// What the unit at index i stands for: the code point of a surrogate pair at
// its first half and nothing at its second, U+FFFD for a lone surrogate.
inline std::optional<char32_t> CodePointAt(std::u16string_view text, std::size_t i) {
  const char16_t c = text[i];
  if (!IsSurrogate(c)) return c;
  if (IsHighSurrogate(c) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) return CodePoint(c, text[i + 1]);
  if (IsLowSurrogate(c) && i > 0 && IsHighSurrogate(text[i - 1])) return std::nullopt;
  return 0xFFFD;
}

// UTF-8 of a 16-bit text; a lone surrogate becomes U+FFFD.
std::string EncodeUtf8(std::u16string_view text);

}  // namespace utf16

// UTF-8, the encoding of files and of the command line; the program's texts
// are UTF-16. Every reader of UTF-8 bytes goes by these rules.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "utf16.h"

namespace utf8 {

// A byte inside a sequence, never at a character's start.
inline bool IsContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// The length of the sequence a lead byte of checked UTF-8 starts: 1 to 4.
inline int SequenceLength(unsigned char lead) { return lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4; }

// The code point of a checked sequence of `length` bytes at `at`.
inline char32_t CodePointOf(const unsigned char* at, int length) {
  if (length == 1) return at[0];
  char32_t codePoint = at[0] & (0x7F >> length);
  for (int k = 1; k < length; ++k) codePoint = (codePoint << 6) | (at[k] & 0x3F);
  return codePoint;
}

// Writes the sequence of a code point (at most U+10FFFF, no surrogate) at
// `out`; returns its length, 1 to 4.
inline int EncodeCodePoint(char32_t codePoint, char* out) {
  if (codePoint < 0x80) {
    out[0] = static_cast<char>(codePoint);
    return 1;
  }
  const int length = codePoint < 0x800 ? 2 : codePoint < 0x10000 ? 3 : 4;
  for (int k = length - 1; k > 0; --k, codePoint >>= 6) out[k] = static_cast<char>(0x80 | (codePoint & 0x3F));
  out[0] = static_cast<char>((0xF00u >> length) | codePoint);
  return length;
}

// The length of the valid sequence that starts at bytes[i], or 0. Strict:
// overlong forms, encoded surrogates, code points above U+10FFFF and
// truncated sequences are not valid.
int ValidSequenceLength(std::string_view bytes, std::size_t i);

// The offset of the first invalid sequence, or nothing when the bytes are
// valid UTF-8. Runs of Western text are checked many bytes at a time, so a
// whole input can be checked before anything is written.
std::optional<std::size_t> FirstInvalid(std::string_view bytes);

struct Error {
  std::size_t byteOffset;  // where the first invalid sequence starts
};

// Strict decoding.
std::variant<std::u16string, Error> Decode(std::string_view bytes);

// The way back.
using utf16::EncodeUtf8;

}  // namespace utf8

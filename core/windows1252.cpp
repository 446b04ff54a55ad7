#include "windows1252.h"

#include <array>

#include "utf16.h"

namespace windows1252 {
namespace {

// Characters of the codes 0x80 to 0x9F; the rest of the page equals Latin-1.
constexpr std::array<char16_t, 32> HighControlsBlock = {
    u'\u20AC', u'\u0081', u'\u201A', u'\u0192', u'\u201E', u'\u2026', u'\u2020', u'\u2021',
    u'\u02C6', u'\u2030', u'\u0160', u'\u2039', u'\u0152', u'\u008D', u'\u017D', u'\u008F',
    u'\u0090', u'\u2018', u'\u2019', u'\u201C', u'\u201D', u'\u2022', u'\u2013', u'\u2014',
    u'\u02DC', u'\u2122', u'\u0161', u'\u203A', u'\u0153', u'\u009D', u'\u017E', u'\u0178'};

}  // namespace

int Code(char16_t c) {
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return c;
  for (std::size_t i = 0; i < HighControlsBlock.size(); ++i) {
    if (HighControlsBlock[i] == c) return static_cast<int>(0x80 + i);
  }
  return -1;
}

char16_t Character(unsigned char code) {
  if (code >= 0x80 && code <= 0x9F) return HighControlsBlock[code - 0x80];
  return code;
}

std::string FromText(std::u16string_view text) {
  std::string bytes;
  bytes.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (utf16::IsHighSurrogate(text[i]) && i + 1 < text.size() && utf16::IsLowSurrogate(text[i + 1])) ++i;
    const int code = Code(text[i]);
    bytes.push_back(code < 0 ? '?' : static_cast<char>(code));
  }
  return bytes;
}

std::u16string ToText(std::string_view bytes) {
  std::u16string text;
  text.reserve(bytes.size());
  for (const char b : bytes) text.push_back(Character(static_cast<unsigned char>(b)));
  return text;
}

}  // namespace windows1252

// The Windows-1252 code page, from a table of our own, so that every build
// converts exactly alike whatever code page the platform is set to.
#pragma once

#include <string>
#include <string_view>

namespace windows1252 {

// The 8-bit code of a character, or -1 when the code page lacks it.
int Code(char16_t c);

// The character that an 8-bit code stands for. The five codes that the code
// page leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) stand for the C1
// characters of the same value, as in Windows' own conversion.
char16_t Character(unsigned char code);

// Text to bytes; a character the code page lacks becomes "?", a surrogate
// pair one "?".
std::string FromText(std::u16string_view text);

// Bytes to text.
std::u16string ToText(std::string_view bytes);

}  // namespace windows1252

#include "utf16.h"

#include "utf8.h"

namespace utf16 {

std::string EncodeUtf8(std::u16string_view text) {
  std::string bytes;
  bytes.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const std::optional<char32_t> found = CodePointAt(text, i);
    if (!found) continue;
    char sequence[4];
    bytes.append(sequence, utf8::EncodeCodePoint(*found, sequence));
  }
  return bytes;
}

}  // namespace utf16

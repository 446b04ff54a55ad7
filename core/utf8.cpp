#include "utf8.h"

#include <algorithm>

#include "utf8_page_codes.h"

#if defined(__SSE2__)
#include <immintrin.h>
#endif

namespace utf8 {

int ValidSequenceLength(std::string_view bytes, std::size_t i) {
  const auto* at = reinterpret_cast<const unsigned char*>(bytes.data()) + i;
  const unsigned char lead = at[0];
  if (lead < 0x80) return 1;
  if (lead < 0xC2 || lead > 0xF4) return 0;
  const int length = SequenceLength(lead);
  if (bytes.size() - i < static_cast<std::size_t>(length)) return 0;
  for (int k = 1; k < length; ++k) {
    if (!IsContinuation(at[k])) return 0;
  }
  static constexpr char32_t Minimum[] = {0, 0, 0x80, 0x800, 0x10000};
  const char32_t codePoint = CodePointOf(at, length);
  if (codePoint < Minimum[length] || codePoint > 0x10FFFF || utf16::IsSurrogate(codePoint)) return 0;
  return length;
}

std::optional<std::size_t> FirstInvalid(std::string_view bytes) { return common::CheckUtf8(bytes).firstInvalid; }

namespace {

// Bytes FirstInvalid found valid into UTF-16, which never has more units
// than the bytes.
std::size_t DecodeChecked(std::string_view bytes, char16_t* out) {
  const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
  const std::size_t size = bytes.size();
  std::size_t i = 0, written = 0;
  while (i < size) {
#if defined(__SSE2__)
    if (i + 16 <= size) {
      // All sixteen go out widened; those past the first non-ASCII byte are
      // overwritten by what follows.
      const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(out + written), _mm_unpacklo_epi8(chunk, _mm_setzero_si128()));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(out + written + 8), _mm_unpackhi_epi8(chunk, _mm_setzero_si128()));
      const int mask = _mm_movemask_epi8(chunk);
      const int ascii = mask == 0 ? 16 : __builtin_ctz(static_cast<unsigned>(mask));
      i += ascii;
      written += ascii;
      if (ascii == 16) continue;
    }
#endif
    const int length = SequenceLength(data[i]);
    const char32_t codePoint = CodePointOf(data + i, length);
    if (codePoint >= 0x10000) {
      out[written++] = static_cast<char16_t>(0xD800 + ((codePoint - 0x10000) >> 10));
      out[written++] = static_cast<char16_t>(0xDC00 + ((codePoint - 0x10000) & 0x3FF));
    } else {
      out[written++] = static_cast<char16_t>(codePoint);
    }
    i += length;
  }
  return written;
}

}  // namespace

std::variant<std::u16string, Error> Decode(std::string_view bytes) {
  if (const auto bad = FirstInvalid(bytes)) return Error{*bad};
  // Room for the sixteen units the vector step stores at once.
  std::u16string text(bytes.size() + 16, u'\0');
  text.resize(DecodeChecked(bytes, text.data()));
  return text;
}

}  // namespace utf8

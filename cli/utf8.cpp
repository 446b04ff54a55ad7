#include "utf8.h"

#include <algorithm>
#include <array>

#include "core/page_codes.h"
#include "core/simd_kernels.h"
#include "core/utf16.h"

#if defined(__SSE2__)
#include <immintrin.h>
#endif

namespace cli {
namespace {

// How many bytes from `at` on are ASCII, looking at 16 at most; 16 means all
// of them. Needs 16 readable bytes.
inline int AsciiPrefix16(const unsigned char* at) {
#if defined(__SSE2__)
  const int mask = _mm_movemask_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(at)));
  return mask == 0 ? 16 : __builtin_ctz(static_cast<unsigned>(mask));
#else
  int count = 0;
  while (count < 16 && at[count] < 0x80) ++count;
  return count;
#endif
}

// The length of the valid sequence that starts at bytes[i], or 0.
int ValidSequenceLength(std::string_view bytes, std::size_t i) {
  const auto byteAt = [&](std::size_t k) { return static_cast<unsigned char>(bytes[k]); };
  const unsigned char lead = byteAt(i);
  if (lead < 0x80) return 1;
  int length = 0;
  char32_t cp = 0, minimum = 0;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2, cp = lead & 0x1F, minimum = 0x80;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3, cp = lead & 0x0F, minimum = 0x800;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4, cp = lead & 0x07, minimum = 0x10000;
  } else {
    return 0;
  }
  if (bytes.size() - i < static_cast<std::size_t>(length)) return 0;
  for (int k = 1; k < length; ++k) {
    const unsigned char next = byteAt(i + k);
    if ((next & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (next & 0x3F);
  }
  if (cp < minimum || cp > 0x10FFFF || utf16::IsSurrogate(cp)) return 0;
  return length;
}

}  // namespace

namespace {

// The length of the sequence that a checked lead byte (not ASCII) starts.
int SequenceLength(unsigned char lead) { return lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4; }

// The code point of the sequence of `length` bytes (2 to 4) at `at`, which
// was checked before.
char32_t CodePointOf(const unsigned char* at, int length) {
  char32_t codePoint = at[0] & (0x7F >> length);
  for (int k = 1; k < length; ++k) codePoint = (codePoint << 6) | (at[k] & 0x3F);
  return codePoint;
}

// "&#" + decimal digits + ";"
int ReferenceLength(char32_t codePoint) {
  int digits = 1;
  for (char32_t rest = codePoint / 10; rest != 0; rest /= 10) ++digits;
  return digits + 3;
}

}  // namespace

Utf8Check CheckUtf8(std::string_view bytes, const common::SimdKernels& kernels) {
  const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
  const std::size_t size = bytes.size();
  const auto latin1Check = kernels.latin1Check;
  Utf8Check check;
  std::size_t i = 0;
  while (i < size) {
    i += latin1Check(data + i, size - i, check.pageCodes);
    if (i == size) break;
    // A character the run left: any other, or one in a tail shorter than its vectors.
    const int length = ValidSequenceLength(bytes, i);
    if (length == 0) {
      check.firstInvalid = i;
      return check;
    }
    check.pageCodes += data[i] <= 0xC3 ? 1 : ReferenceLength(CodePointOf(data + i, length));
    i += length;
  }
  return check;
}

std::optional<std::size_t> FirstInvalidUtf8(std::string_view bytes) { return CheckUtf8(bytes).firstInvalid; }

std::size_t DecodeUtf8Chunk(std::string_view bytes, std::size_t& position, char16_t* out, std::size_t capacity) {
  const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
  const std::size_t size = bytes.size();
  std::size_t i = position, written = 0;
  while (i < size && written < capacity) {
#if defined(__SSE2__)
    if (i + 16 <= size && written + 16 <= capacity) {
      // All sixteen go out widened; those past the first non-ASCII byte are
      // overwritten by what follows.
      const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(out + written), _mm_unpacklo_epi8(chunk, _mm_setzero_si128()));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(out + written + 8), _mm_unpackhi_epi8(chunk, _mm_setzero_si128()));
      const int ascii = AsciiPrefix16(data + i);
      i += ascii;
      written += ascii;
      if (ascii == 16) continue;
    }
#endif
    const unsigned char lead = data[i];
    if (lead < 0x80) {
      out[written++] = lead;
      ++i;
      continue;
    }
    const int length = SequenceLength(lead);
    if (i + length > size) break;  // only for unchecked input
    const char32_t cp = CodePointOf(data + i, length);
    if (cp >= 0x10000) {
      if (capacity - written < 2) break;
      out[written++] = static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10));
      out[written++] = static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF));
    } else {
      out[written++] = static_cast<char16_t>(cp);
    }
    i += length;
  }
  position = i;
  return written;
}

std::size_t PageCodesFromUtf8(std::string_view bytes, std::size_t& position, std::uint8_t* codes, std::size_t wanted,
                              const common::SimdKernels& kernels) {
  const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
  const std::size_t size = bytes.size();
  const auto latin1Codes = kernels.latin1Codes;
  std::size_t i = position, written = 0;
  while (i < size && written < wanted) {
    i += latin1Codes(data + i, size - i, codes, wanted, written);
    if (i == size || written >= wanted) break;
    const unsigned char lead = data[i];
    if (lead < 0x80) {
      codes[written++] = lead;
      ++i;
    } else if (lead <= 0xC3) {  // U+0080 to U+00FF: one code
      codes[written++] = static_cast<std::uint8_t>(((lead & 3) << 6) | (data[i + 1] & 0x3F));
      i += 2;
    } else {
      const int length = SequenceLength(lead);
      common::ForEachPageCodeOf(CodePointOf(data + i, length),
                                [&](int code) { codes[written++] = static_cast<std::uint8_t>(code); });
      i += length;
    }
  }
  position = i;
  return written;
}

std::variant<std::u16string, Utf8Error> DecodeUtf8(std::string_view bytes) {
  if (const auto bad = FirstInvalidUtf8(bytes)) return Utf8Error{*bad};
  std::u16string text(std::max<std::size_t>(bytes.size(), 2), u'\0');  // never more units than bytes
  std::size_t position = 0;
  text.resize(DecodeUtf8Chunk(bytes, position, text.data(), text.size()));
  return text;
}

}  // namespace cli

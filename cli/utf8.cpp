#include "utf8.h"

#include <algorithm>
#include <array>

#include "core/page_codes.h"
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

// The set bits of a 16-bit mask, inline: without -mpopcnt the builtin is a
// library call, which showed up in profiles of long texts.
inline int BitCount16(unsigned x) {
  x = x - ((x >> 1) & 0x5555u);
  x = (x & 0x3333u) + ((x >> 2) & 0x3333u);
  x = (x + (x >> 4)) & 0x0F0Fu;
  return static_cast<int>((x + (x >> 8)) & 0x1Fu);
}

// How many of the 16 bytes at `at` (16 or 15, or 0 for none) are ASCII and
// whole two-byte sequences of U+0080 to U+00FF, the bulk of Western text;
// adds their page codes. A block with any other byte is left to the
// character-by-character check.
inline int Latin1Block(const unsigned char* at, std::uint64_t& pageCodes) {
#if defined(__SSE2__)
  const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
  const unsigned nonAscii = static_cast<unsigned>(_mm_movemask_epi8(bytes));
  if (nonAscii == 0) {
    pageCodes += 16;
    return 16;
  }
  const unsigned leads = static_cast<unsigned>(
      _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(bytes, _mm_set1_epi8(static_cast<char>(0xC2))),
                                     _mm_cmpeq_epi8(bytes, _mm_set1_epi8(static_cast<char>(0xC3))))));
  // 0x80 to 0xBF are the signed bytes below -64.
  const unsigned continuations =
      static_cast<unsigned>(_mm_movemask_epi8(_mm_cmplt_epi8(bytes, _mm_set1_epi8(static_cast<char>(0xC0)))));
  if ((nonAscii & ~(leads | continuations)) != 0) return 0;
  // A lead in the last byte waits for the next block, with its continuation.
  const int taken = (leads & 0x8000u) ? 15 : 16;
  const unsigned wholeLeads = leads & 0x7FFFu;
  if (continuations != ((wholeLeads << 1) & 0xFFFFu)) return 0;
  pageCodes += taken - BitCount16(continuations);
  return taken;
#else
  (void)at;
  (void)pageCodes;
  return 0;
#endif
}

// Steps for processors that have more than SSE2, each taken only where the
// processor says it has what the step needs. Not in the Windows build, whose
// compiler does not keep the stack aligned for 256-bit values.
#if defined(__x86_64__) && !defined(_WIN32)
#define VELUMOR_RUNTIME_SIMD 1
// Checks a run of ASCII and two-byte sequences of U+0080 to U+00FF, 32
// bytes a step, where the processor has AVX2, and adds their page codes;
// stops before the first step with any other byte or a lead at its end, or
// before fewer than 32 bytes are left. Returns the bytes it took.
__attribute__((target("avx2,popcnt"))) std::size_t Latin1CheckRun(const unsigned char* at, std::size_t available,
                                                                  std::uint64_t& pageCodes) {
  std::size_t taken = 0;
  while (taken + 32 <= available) {
    const __m256i bytes = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(at + taken));
    const auto nonAscii = static_cast<std::uint32_t>(_mm256_movemask_epi8(bytes));
    const auto leads = static_cast<std::uint32_t>(
        _mm256_movemask_epi8(_mm256_or_si256(_mm256_cmpeq_epi8(bytes, _mm256_set1_epi8(static_cast<char>(0xC2))),
                                             _mm256_cmpeq_epi8(bytes, _mm256_set1_epi8(static_cast<char>(0xC3))))));
    const auto continuations = static_cast<std::uint32_t>(
        _mm256_movemask_epi8(_mm256_cmpgt_epi8(_mm256_set1_epi8(static_cast<char>(0xC0)), bytes)));
    // In 64 bits, a lead in the last byte leaves a continuation bit (bit 32) that no step has.
    if ((nonAscii & ~(leads | continuations)) != 0 || continuations != (std::uint64_t{leads} << 1)) break;
    pageCodes += 32 - __builtin_popcount(continuations);
    taken += 32;
  }
  return taken;
}

// For each mask of continuation bytes among eight, the positions of the other
// bytes in order: the shuffle that drops the continuations.
constexpr auto KeptPositions = [] {
  std::array<std::array<std::uint8_t, 8>, 256> table{};
  for (unsigned mask = 0; mask < 256; ++mask) {
    int kept = 0;
    for (int j = 0; j < 8; ++j) {
      if (!((mask >> j) & 1)) table[mask][kept++] = static_cast<std::uint8_t>(j);
    }
    while (kept < 8) table[mask][kept++] = 0x80;  // zero
  }
  return table;
}();

// The page codes of a run of ASCII and two-byte sequences of U+0080 to
// U+00FF, sixteen bytes a step: each lead becomes its code and its
// continuation is dropped. Stops before the first step with any other byte
// (or a lead at its end, whose continuation would be in the next step),
// before fewer than 16 bytes are left at `at`, or once `codes` holds
// `wanted` codes; it writes up to 16 bytes past them. Returns the bytes it
// took and adds the codes it wrote to `made`. No branch depends on how the
// text mixes ASCII and letters, so none is mispredicted.
__attribute__((target("ssse3,popcnt"))) std::size_t Latin1Run(const unsigned char* at, std::size_t available,
                                                              std::uint8_t* codes, std::size_t wanted,
                                                              std::size_t& made) {
  std::size_t taken = 0;
  while (taken + 16 <= available && made < wanted) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at + taken));
    const auto nonAscii = static_cast<unsigned>(_mm_movemask_epi8(bytes));
    const __m128i isLead = _mm_or_si128(_mm_cmpeq_epi8(bytes, _mm_set1_epi8(static_cast<char>(0xC2))),
                                        _mm_cmpeq_epi8(bytes, _mm_set1_epi8(static_cast<char>(0xC3))));
    const auto leads = static_cast<unsigned>(_mm_movemask_epi8(isLead));
    const auto continuations =
        static_cast<unsigned>(_mm_movemask_epi8(_mm_cmplt_epi8(bytes, _mm_set1_epi8(static_cast<char>(0xC0)))));
    // A lead in the last byte fails the second test too: its continuation bit would be bit 16.
    if ((nonAscii & ~(leads | continuations)) != 0 || continuations != (leads << 1)) break;
    // (lead & 3) << 6 | (continuation & 0x3F); the shift stays within each byte.
    const __m128i leadCodes = _mm_or_si128(_mm_slli_epi16(_mm_and_si128(bytes, _mm_set1_epi8(3)), 6),
                                           _mm_and_si128(_mm_srli_si128(bytes, 1), _mm_set1_epi8(0x3F)));
    const __m128i merged = _mm_or_si128(_mm_and_si128(isLead, leadCodes), _mm_andnot_si128(isLead, bytes));
    const auto shuffle = [](unsigned mask, int offset) {
      const __m128i positions = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(KeptPositions[mask].data()));
      return _mm_or_si128(positions, _mm_set1_epi8(static_cast<char>(offset)));  // 0x80 stays zero
    };
    const unsigned low = continuations & 0xFF, high = continuations >> 8;
    std::uint8_t* out = codes + made;
    _mm_storel_epi64(reinterpret_cast<__m128i*>(out), _mm_shuffle_epi8(merged, shuffle(low, 0)));
    _mm_storel_epi64(reinterpret_cast<__m128i*>(out + 8 - __builtin_popcount(low)),
                     _mm_shuffle_epi8(merged, shuffle(high, 8)));
    made += static_cast<std::size_t>(16 - __builtin_popcount(continuations));
    taken += 16;
  }
  return taken;
}
#endif

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

Utf8Check CheckUtf8(std::string_view bytes) {
  const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
  const std::size_t size = bytes.size();
  Utf8Check check;
#if defined(VELUMOR_RUNTIME_SIMD)
  static const bool wide = __builtin_cpu_supports("avx2") && __builtin_cpu_supports("popcnt");
#endif
  std::size_t i = 0;
  while (i < size) {
#if defined(VELUMOR_RUNTIME_SIMD)
    if (wide) {
      if (const std::size_t taken = Latin1CheckRun(data + i, size - i, check.pageCodes)) {
        i += taken;
        continue;
      }
    }
#endif
    if (i + 16 <= size) {
      if (const int taken = Latin1Block(data + i, check.pageCodes)) {
        i += taken;
        continue;
      }
      // Skips the ASCII before the next other byte in one step.
      const int ascii = AsciiPrefix16(data + i);
      i += ascii;
      check.pageCodes += ascii;
      if (ascii == 16) continue;
    } else if (data[i] < 0x80) {
      ++i;
      ++check.pageCodes;
      continue;
    }
    // Two-byte sequences (Latin-1, most European letters) are the common case.
    if (data[i] >= 0xC2 && data[i] <= 0xDF && i + 1 < size && (data[i + 1] & 0xC0) == 0x80) {
      check.pageCodes += data[i] <= 0xC3 ? 1 : ReferenceLength(((data[i] & 0x1F) << 6) | (data[i + 1] & 0x3F));
      i += 2;
      continue;
    }
    const int length = ValidSequenceLength(bytes, i);
    if (length == 0) {
      check.firstInvalid = i;
      return check;
    }
    check.pageCodes += ReferenceLength(CodePointOf(data + i, length));
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

std::size_t PageCodesFromUtf8(std::string_view bytes, std::size_t& position, std::uint8_t* codes, std::size_t wanted) {
  const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
  const std::size_t size = bytes.size();
  std::size_t i = position, written = 0;
#if defined(VELUMOR_RUNTIME_SIMD)
  static const bool shuffles = __builtin_cpu_supports("ssse3") && __builtin_cpu_supports("popcnt");
#endif
  while (i < size && written < wanted) {
#if defined(VELUMOR_RUNTIME_SIMD)
    if (shuffles) {
      if (const std::size_t taken = Latin1Run(data + i, size - i, codes, wanted, written)) {
        i += taken;
        continue;
      }
    }
#endif
#if defined(__SSE2__)
    if (i + 16 <= size) {
      // ASCII bytes are their own page codes. All sixteen go out; those past
      // the first other byte are overwritten by what follows.
      _mm_storeu_si128(reinterpret_cast<__m128i*>(codes + written),
                       _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i)));
      const int ascii = AsciiPrefix16(data + i);
      i += ascii;
      written += ascii;
      // Back to the loop's test: the codes asked for may be complete now,
      // and a reference made past them would run beyond the buffer.
      if (ascii > 0) continue;
    }
#endif
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

// Runs of ASCII and Latin-1 letters in UTF-8, sixteen bytes a step: the
// bulk of Western text. Included by the sources that compile it for their
// instruction set (SSE2, or AVX2 as their narrow step); internal linkage
// keeps each compilation to its own path.
#pragma once

#include <immintrin.h>

#include <cstddef>
#include <cstdint>

namespace common {
namespace {

// How many bytes from `at` on are ASCII, looking at 16; 16 means all of them.
inline int AsciiPrefix16(const unsigned char* at) {
  const int mask = _mm_movemask_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(at)));
  return mask == 0 ? 16 : __builtin_ctz(static_cast<unsigned>(mask));
}

// The set bits of a 16-bit mask, inline: without -mpopcnt the builtin is a
// library call, which showed up in profiles of long texts.
inline int BitCount16(unsigned x) {
  x = x - ((x >> 1) & 0x5555u);
  x = (x & 0x3333u) + ((x >> 2) & 0x3333u);
  x = (x + (x >> 4)) & 0x0F0Fu;
  return static_cast<int>((x + (x >> 8)) & 0x1Fu);
}

inline bool IsLatin1Pair(const unsigned char* at, std::size_t available) {
  return available >= 2 && (at[0] == 0xC2 || at[0] == 0xC3) && (at[1] & 0xC0) == 0x80;
}

// How many of the 16 bytes at `at` (16 or 15, or 0 for none) are ASCII and
// whole two-byte sequences of U+0080 to U+00FF; adds their page codes.
inline int Latin1Block(const unsigned char* at, std::uint64_t& pageCodes) {
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
}

// The check of a run, block by block; a block with another byte gives up
// its ASCII start and ends the run there.
inline std::size_t Latin1CheckNarrow(const unsigned char* at, std::size_t available, std::uint64_t& pageCodes) {
  std::size_t taken = 0;
  while (taken + 16 <= available) {
    if (const int block = Latin1Block(at + taken, pageCodes)) {
      taken += block;
      continue;
    }
    const int ascii = AsciiPrefix16(at + taken);
    taken += ascii;
    pageCodes += ascii;
    if (ascii == 16) continue;
    if (!IsLatin1Pair(at + taken, available - taken)) break;
    taken += 2;
    ++pageCodes;
  }
  return taken;
}

// The page codes of a run: ASCII bytes are their own codes, so sixteen go
// out at once and those past the first other byte are overwritten later;
// a Latin-1 letter between them goes alone.
inline std::size_t Latin1CodesNarrow(const unsigned char* at, std::size_t available, std::uint8_t* codes,
                                     std::size_t wanted, std::size_t& made) {
  std::size_t taken = 0;
  while (taken + 16 <= available && made < wanted) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(codes + made),
                     _mm_loadu_si128(reinterpret_cast<const __m128i*>(at + taken)));
    const int ascii = AsciiPrefix16(at + taken);
    taken += ascii;
    made += ascii;
    if (ascii == 16 || made >= wanted) continue;
    if (!IsLatin1Pair(at + taken, available - taken)) break;
    codes[made++] = static_cast<std::uint8_t>(((at[taken] & 3) << 6) | (at[taken + 1] & 0x3F));
    taken += 2;
  }
  return taken;
}

}  // namespace
}  // namespace common

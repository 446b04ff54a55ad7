#include "carrier_blocks.h"

#include "common.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace common {
namespace {

std::size_t CopyScalar(const char16_t* text, std::size_t count, char16_t* codes) {
  std::size_t i = 0;
  for (; i < count && text[i] <= 0xFF; ++i) codes[i] = text[i];
  return i;
}

bool SafeScalar(const char* carriers, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) {
    const auto c = static_cast<unsigned char>(carriers[i]);
    if (c < 60 || c > 126 || c == 92) return false;
  }
  return true;
}

std::size_t DecodedScalar(const char* carriers, const char16_t* text, std::size_t count) {
  std::size_t i = 0;
  for (; i < count; ++i) {
    const int code = ((carriers[2 * i] & 15) << 4) | (carriers[2 * i + 1] & 15);
    if (code != text[i]) break;
  }
  return i;
}

}  // namespace

#if defined(__SSE2__)
namespace {

struct Lanes {
  __m128i s0, s1, s2, s3;
};

inline __m128i Rotl(__m128i x, int k) { return _mm_or_si128(_mm_slli_epi32(x, k), _mm_srli_epi32(x, 32 - k)); }

// One xoshiro128** step of all four lanes: PseudoRandom::Advance side by side.
inline __m128i Step(Lanes& s) {
  const __m128i times5 = _mm_add_epi32(_mm_slli_epi32(s.s1, 2), s.s1);
  const __m128i rotated = Rotl(times5, 7);
  const __m128i result = _mm_add_epi32(_mm_slli_epi32(rotated, 3), rotated);
  const __m128i t = _mm_slli_epi32(s.s1, 9);
  s.s2 = _mm_xor_si128(s.s2, s.s0);
  s.s3 = _mm_xor_si128(s.s3, s.s1);
  s.s1 = _mm_xor_si128(s.s1, s.s2);
  s.s0 = _mm_xor_si128(s.s0, s.s3);
  s.s2 = _mm_xor_si128(s.s2, t);
  s.s3 = Rotl(s.s3, 11);
  return result;
}

// The column (0 to 3) of four draws: unsigned comparisons done as signed
// ones on values with the sign bit flipped.
struct ColumnEdges {
  __m128i signBit, below1, below2, below3;
};

inline __m128i Columns(__m128i draws, const ColumnEdges& e) {
  const __m128i x = _mm_xor_si128(draws, e.signBit);
  const __m128i minusColumn = _mm_add_epi32(_mm_add_epi32(_mm_cmpgt_epi32(x, e.below1), _mm_cmpgt_epi32(x, e.below2)),
                                            _mm_cmpgt_epi32(x, e.below3));
  return _mm_sub_epi32(_mm_setzero_si128(), minusColumn);
}

// Bytes high nibble, low nibble for eight codes.
inline __m128i NibblePairs(__m128i codes) {
  const __m128i low = _mm_slli_epi16(_mm_and_si128(codes, _mm_set1_epi16(15)), 8);
  return _mm_or_si128(_mm_srli_epi16(codes, 4), low);
}

// (64 + 16k) | n, with backslash (92) and DEL (127) moved down to "<" and "?".
inline __m128i Carriers(__m128i columns, __m128i nibbles) {
  __m128i code = _mm_add_epi8(_mm_add_epi8(_mm_set1_epi8(64), _mm_slli_epi16(columns, 4)), nibbles);
  code = _mm_sub_epi8(code, _mm_and_si128(_mm_cmpeq_epi8(code, _mm_set1_epi8(92)), _mm_set1_epi8(32)));
  code = _mm_sub_epi8(code, _mm_and_si128(_mm_cmpeq_epi8(code, _mm_set1_epi8(127)), _mm_set1_epi8(64)));
  return code;
}

__m128i Load(const PseudoRandom::Step& words) {
  return _mm_loadu_si128(reinterpret_cast<const __m128i*>(words.data()));
}
void Store(PseudoRandom::Step& words, __m128i v) { _mm_storeu_si128(reinterpret_cast<__m128i*>(words.data()), v); }

}  // namespace

void EncodeCodeBlocks(const char16_t* codes, std::size_t count, char* out, PseudoRandom& random) {
  auto& state = random.State();
  Lanes s{Load(state[0]), Load(state[1]), Load(state[2]), Load(state[3])};
  const ColumnThresholds& t = CarrierColumnThresholds();
  const auto below = [](std::uint32_t start) { return _mm_set1_epi32(static_cast<int>((start - 1) ^ 0x80000000u)); };
  const ColumnEdges edges{_mm_set1_epi32(static_cast<int>(0x80000000u)), below(t.start1), below(t.start2),
                          below(t.start3)};
  for (std::size_t done = 0; done < count; done += 16) {
    __m128i columns[8];
    for (__m128i& c : columns) c = Columns(Step(s), edges);
    const __m128i first =
        _mm_packus_epi16(_mm_packs_epi32(columns[0], columns[1]), _mm_packs_epi32(columns[2], columns[3]));
    const __m128i second =
        _mm_packus_epi16(_mm_packs_epi32(columns[4], columns[5]), _mm_packs_epi32(columns[6], columns[7]));
    const __m128i codes0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(codes + done));
    const __m128i codes1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(codes + done + 8));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 2 * done), Carriers(first, NibblePairs(codes0)));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 2 * done + 16), Carriers(second, NibblePairs(codes1)));
  }
  Store(state[0], s.s0);
  Store(state[1], s.s1);
  Store(state[2], s.s2);
  Store(state[3], s.s3);
}

std::size_t CopyLatin1Run(const char16_t* text, std::size_t count, char16_t* codes) {
  const __m128i high = _mm_set1_epi16(static_cast<short>(0xFF00));
  std::size_t i = 0;
  for (; i + 8 <= count; i += 8) {
    const __m128i chars = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + i));
    if (_mm_movemask_epi8(_mm_cmpeq_epi16(_mm_and_si128(chars, high), _mm_setzero_si128())) != 0xFFFF) break;
    _mm_storeu_si128(reinterpret_cast<__m128i*>(codes + i), chars);
  }
  return i + CopyScalar(text + i, count - i, codes + i);
}

bool CarriersAreSafe(const char* carriers, std::size_t count) {
  std::size_t i = 0;
  for (; i + 16 <= count; i += 16) {
    const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(carriers + i));
    // 60 to 126 is 0 to 66 after taking 60 off (anything below wraps high).
    const __m128i shifted = _mm_sub_epi8(c, _mm_set1_epi8(60));
    const __m128i inRange = _mm_cmpeq_epi8(_mm_max_epu8(shifted, _mm_set1_epi8(66)), _mm_set1_epi8(66));
    const __m128i backslash = _mm_cmpeq_epi8(c, _mm_set1_epi8(92));
    if (_mm_movemask_epi8(_mm_andnot_si128(backslash, inRange)) != 0xFFFF) return false;
  }
  return SafeScalar(carriers + i, count - i);
}

std::size_t DecodedPrefixLength(const char* carriers, const char16_t* text, std::size_t count) {
  std::size_t i = 0;
  for (; i + 8 <= count; i += 8) {
    // Each 16-bit lane holds a pair: first carrier low, second high.
    const __m128i pairs = _mm_loadu_si128(reinterpret_cast<const __m128i*>(carriers + 2 * i));
    const __m128i high = _mm_slli_epi16(_mm_and_si128(pairs, _mm_set1_epi16(15)), 4);
    const __m128i low = _mm_and_si128(_mm_srli_epi16(pairs, 8), _mm_set1_epi16(15));
    const __m128i codes = _mm_or_si128(high, low);
    const __m128i chars = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + i));
    if (_mm_movemask_epi8(_mm_cmpeq_epi16(codes, chars)) != 0xFFFF) break;
  }
  return i + DecodedScalar(carriers + 2 * i, text + i, count - i);
}

#else  // without SSE2 the same draws, one at a time

void EncodeCodeBlocks(const char16_t* codes, std::size_t count, char* out, PseudoRandom& random) {
  for (std::size_t i = 0; i < count; ++i) {
    out[2 * i] = static_cast<char>(NibbleToChar(codes[i] >> 4, random));
    out[2 * i + 1] = static_cast<char>(NibbleToChar(codes[i] & 15, random));
  }
}

std::size_t CopyLatin1Run(const char16_t* text, std::size_t count, char16_t* codes) {
  return CopyScalar(text, count, codes);
}

bool CarriersAreSafe(const char* carriers, std::size_t count) { return SafeScalar(carriers, count); }

std::size_t DecodedPrefixLength(const char* carriers, const char16_t* text, std::size_t count) {
  return DecodedScalar(carriers, text, count);
}

#endif

}  // namespace common

#include "carrier_blocks.h"

#include "common.h"

#if defined(__SSE2__)
#include "carrier_kernel.h"
#endif

namespace common {
namespace {

std::size_t CopyScalar(const char16_t* text, std::size_t count, std::uint8_t* codes) {
  std::size_t i = 0;
  for (; i < count && text[i] <= 0xFF; ++i) codes[i] = static_cast<std::uint8_t>(text[i]);
  return i;
}

bool CarryScalar(const char* carriers, const std::uint8_t* codes, std::size_t count) {
  for (std::size_t i = 0; i < 2 * count; ++i) {
    const auto c = static_cast<unsigned char>(carriers[i]);
    if (c < 60 || c > 126 || c == 92) return false;
  }
  for (std::size_t i = 0; i < count; ++i) {
    if ((((carriers[2 * i] & 15) << 4) | (carriers[2 * i + 1] & 15)) != codes[i]) return false;
  }
  return true;
}

}  // namespace

#if defined(__SSE2__)
namespace {

__m128i Load(const PseudoRandom::Step& words) {
  return _mm_loadu_si128(reinterpret_cast<const __m128i*>(words.data()));
}
void Store(PseudoRandom::Step& words, __m128i v) { _mm_storeu_si128(reinterpret_cast<__m128i*>(words.data()), v); }

}  // namespace

void EncodeCodeBlocks(const std::uint8_t* codes, std::size_t count, char* out, PseudoRandom& random) {
  auto& state = random.State();
  Lanes<Vector128> s{Load(state[0]), Load(state[1]), Load(state[2]), Load(state[3])};
  EncodeRounds(
      s, count / 16,
      [&](std::size_t round) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(codes + 16 * round)); },
      [&](std::size_t round, __m128i first, __m128i second) {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 32 * round), first);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 32 * round + 16), second);
      });
  Store(state[0], s.s0);
  Store(state[1], s.s1);
  Store(state[2], s.s2);
  Store(state[3], s.s3);
}

std::size_t CopyLatin1Run(const char16_t* text, std::size_t count, std::uint8_t* codes) {
  const __m128i high = _mm_set1_epi16(static_cast<short>(0xFF00));
  std::size_t i = 0;
  for (; i + 8 <= count; i += 8) {
    const __m128i chars = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + i));
    if (_mm_movemask_epi8(_mm_cmpeq_epi16(_mm_and_si128(chars, high), _mm_setzero_si128())) != 0xFFFF) break;
    _mm_storel_epi64(reinterpret_cast<__m128i*>(codes + i), _mm_packus_epi16(chars, chars));
  }
  return i + CopyScalar(text + i, count - i, codes + i);
}

static bool CarriersCarryNarrow(const char* carriers, const std::uint8_t* codes, std::size_t count) {
  // Sixteen codes a round; a lane of `right` is cleared where a carrier is out
  // of the set or a pair decodes to another code, and looked at once at the end.
  const auto safe = [](__m128i c) {
    // 60 to 126 is 0 to 66 after taking 60 off (anything below wraps high).
    const __m128i offset = _mm_sub_epi8(c, _mm_set1_epi8(60));
    const __m128i inRange = _mm_cmpeq_epi8(_mm_max_epu8(offset, _mm_set1_epi8(66)), _mm_set1_epi8(66));
    return _mm_andnot_si128(_mm_cmpeq_epi8(c, _mm_set1_epi8(92)), inRange);
  };
  // Each 16-bit lane holds a pair, first carrier low: its code is (low & 15) << 4 | (high & 15).
  const auto decode = [](__m128i pairs) {
    return _mm_or_si128(_mm_slli_epi16(_mm_and_si128(pairs, _mm_set1_epi16(15)), 4),
                        _mm_and_si128(_mm_srli_epi16(pairs, 8), _mm_set1_epi16(15)));
  };
  __m128i right = _mm_set1_epi8(-1);
  std::size_t i = 0;
  for (; i + 16 <= count; i += 16) {
    const __m128i first = _mm_loadu_si128(reinterpret_cast<const __m128i*>(carriers + 2 * i));
    const __m128i second = _mm_loadu_si128(reinterpret_cast<const __m128i*>(carriers + 2 * i + 16));
    const __m128i decoded = _mm_packus_epi16(decode(first), decode(second));
    const __m128i expected = _mm_loadu_si128(reinterpret_cast<const __m128i*>(codes + i));
    right = _mm_and_si128(right, _mm_and_si128(safe(first), safe(second)));
    right = _mm_and_si128(right, _mm_cmpeq_epi8(decoded, expected));
  }
  return _mm_movemask_epi8(right) == 0xFFFF && CarryScalar(carriers + 2 * i, codes + i, count - i);
}

#else  // without SSE2 the same draws, one at a time

void EncodeCodeBlocks(const std::uint8_t* codes, std::size_t count, char* out, PseudoRandom& random) {
  for (std::size_t i = 0; i < count; ++i) {
    out[2 * i] = static_cast<char>(NibbleToChar(codes[i] >> 4, random));
    out[2 * i + 1] = static_cast<char>(NibbleToChar(codes[i] & 15, random));
  }
}

std::size_t CopyLatin1Run(const char16_t* text, std::size_t count, std::uint8_t* codes) {
  return CopyScalar(text, count, codes);
}

static bool CarriersCarryNarrow(const char* carriers, const std::uint8_t* codes, std::size_t count) {
  return CarryScalar(carriers, codes, count);
}

#endif

#if defined(VELUMOR_SIDE_BY_SIDE)
// In carrier_blocks_avx2.cpp and carrier_blocks_avx512.cpp, each compiled
// for its instruction set and called only where the processor has it.
void EncodeCodeBlocksAvx2(const Stretch* stretches, std::size_t count);
void EncodeCodeBlocksAvx512(const Stretch* stretches, std::size_t count);
bool CarriersCarryAvx2(const char* carriers, const std::uint8_t* codes, std::size_t count);

int StretchesSideBySide() {
  static const int stretches = [] {
    if (__builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") && __builtin_cpu_supports("avx512dq")) {
      return 4;
    }
    return __builtin_cpu_supports("avx2") ? 2 : 1;
  }();
  return stretches;
}
#else
int StretchesSideBySide() { return 1; }
#endif

bool CarriersCarry(const char* carriers, const std::uint8_t* codes, std::size_t count) {
#if defined(VELUMOR_SIDE_BY_SIDE)
  if (StretchesSideBySide() >= 2) {
    const std::size_t wide = count / 16 * 16;
    return CarriersCarryAvx2(carriers, codes, wide) &&
           CarriersCarryNarrow(carriers + 2 * wide, codes + wide, count - wide);
  }
#endif
  return CarriersCarryNarrow(carriers, codes, count);
}

void EncodeCodeBlocksSideBySide(const Stretch* stretches, int stretchCount, std::size_t count) {
#if defined(VELUMOR_SIDE_BY_SIDE)
  if (stretchCount == 4 && StretchesSideBySide() >= 4) return EncodeCodeBlocksAvx512(stretches, count);
  if (stretchCount == 2 && StretchesSideBySide() >= 2) return EncodeCodeBlocksAvx2(stretches, count);
#endif
  for (int k = 0; k < stretchCount; ++k) {
    EncodeCodeBlocks(stretches[k].codes, count, stretches[k].out, *stretches[k].random);
  }
}

}  // namespace common

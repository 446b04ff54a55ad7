// The kernels for SSE2: one generator's four lanes in a 128-bit register,
// sixteen codes a round.
#include "carrier_kernel.h"
#include "kernel_sets.h"
#include "latin1_kernel.h"

namespace common {
namespace {

__m128i Load(const void* at) { return _mm_loadu_si128(static_cast<const __m128i*>(at)); }
void Store(void* at, __m128i v) { _mm_storeu_si128(static_cast<__m128i*>(at), v); }

template <class NextDraws>
void EncodeStretch(const std::uint8_t* codes, char* out, std::size_t count, const NextDraws& nextDraws) {
  EncodeRounds<Vector128>(
      count / 16, nextDraws, [&](std::size_t round) { return Load(codes + 16 * round); },
      [&](std::size_t round, __m128i first, __m128i second) {
        Store(out + 32 * round, first);
        Store(out + 32 * round + 16, second);
      });
}

void EncodeSideBySide(const Stretch* stretches, std::size_t count) { EncodeStretch128(stretches[0], count); }

void EncodeDrawn(const DrawnStretch* stretches, std::size_t count) {
  const std::uint32_t* draws = stretches[0].draws;
  EncodeStretch(stretches[0].codes, stretches[0].out, count, [&] {
    const __m128i step = Load(draws);
    draws += 4;
    return step;
  });
}

bool Carry(const char* carriers, const std::uint8_t* codes, std::size_t count) {
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
    const __m128i first = Load(carriers + 2 * i);
    const __m128i second = Load(carriers + 2 * i + 16);
    const __m128i decoded = _mm_packus_epi16(decode(first), decode(second));
    right = _mm_and_si128(right, _mm_and_si128(safe(first), safe(second)));
    right = _mm_and_si128(right, _mm_cmpeq_epi8(decoded, Load(codes + i)));
  }
  return _mm_movemask_epi8(right) == 0xFFFF && ScalarKernels.carriersCarry(carriers + 2 * i, codes + i, count - i);
}

}  // namespace

const SimdKernels Sse2Kernels{SimdPath::Sse2,   "sse2",      1,     EncodeStretch128,
                              EncodeSideBySide, EncodeDrawn, Carry, Latin1CheckNarrow,
                              Latin1CodesNarrow};

}  // namespace common

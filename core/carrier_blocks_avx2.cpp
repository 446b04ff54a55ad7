// The encoder's fast path for two generators at once: each 128-bit half of
// the 256-bit registers runs what the SSE2 path runs for one generator.
#include "carrier_blocks.h"
#include "carrier_kernel.h"

namespace common {
namespace {

__m256i Load(const PseudoRandom::Step& words0, const PseudoRandom::Step& words1) {
  return _mm256_loadu2_m128i(reinterpret_cast<const __m128i*>(words1.data()),
                             reinterpret_cast<const __m128i*>(words0.data()));
}
void Store(PseudoRandom::Step& words0, PseudoRandom::Step& words1, __m256i v) {
  _mm256_storeu2_m128i(reinterpret_cast<__m128i*>(words1.data()), reinterpret_cast<__m128i*>(words0.data()), v);
}

}  // namespace

void EncodeCodeBlocksAvx2(const Stretch* stretches, std::size_t count) {
  const Stretch& a = stretches[0];
  const Stretch& b = stretches[1];
  auto& stateA = a.random->State();
  auto& stateB = b.random->State();
  Lanes<Vector256> s{Load(stateA[0], stateB[0]), Load(stateA[1], stateB[1]), Load(stateA[2], stateB[2]),
                     Load(stateA[3], stateB[3])};
  EncodeRounds(
      s, count / 16,
      [&](std::size_t round) {
        return _mm256_loadu2_m128i(reinterpret_cast<const __m128i*>(b.codes + 16 * round),
                                   reinterpret_cast<const __m128i*>(a.codes + 16 * round));
      },
      [&](std::size_t round, __m256i first, __m256i second) {
        _mm256_storeu2_m128i(reinterpret_cast<__m128i*>(b.out + 32 * round),
                             reinterpret_cast<__m128i*>(a.out + 32 * round), first);
        _mm256_storeu2_m128i(reinterpret_cast<__m128i*>(b.out + 32 * round + 16),
                             reinterpret_cast<__m128i*>(a.out + 32 * round + 16), second);
      });
  Store(stateA[0], stateB[0], s.s0);
  Store(stateA[1], stateB[1], s.s1);
  Store(stateA[2], stateB[2], s.s2);
  Store(stateA[3], stateB[3], s.s3);
}

bool CarriersCarryAvx2(const char* carriers, const std::uint8_t* codes, std::size_t count) {
  // As the SSE2 path, sixteen codes a round (count is a multiple of 16) from
  // one 256-bit load of their carriers, compared in 16 bits, so that no lane
  // crossing is needed.
  __m256i right = _mm256_set1_epi8(-1);
  for (std::size_t i = 0; i < count; i += 16) {
    const __m256i c = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(carriers + 2 * i));
    const __m256i offset = _mm256_sub_epi8(c, _mm256_set1_epi8(60));
    const __m256i inRange = _mm256_cmpeq_epi8(_mm256_max_epu8(offset, _mm256_set1_epi8(66)), _mm256_set1_epi8(66));
    const __m256i safe = _mm256_andnot_si256(_mm256_cmpeq_epi8(c, _mm256_set1_epi8(92)), inRange);
    const __m256i decoded = _mm256_or_si256(_mm256_slli_epi16(_mm256_and_si256(c, _mm256_set1_epi16(15)), 4),
                                            _mm256_and_si256(_mm256_srli_epi16(c, 8), _mm256_set1_epi16(15)));
    const __m256i expected = _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(codes + i)));
    right = _mm256_and_si256(right, _mm256_and_si256(safe, _mm256_cmpeq_epi16(decoded, expected)));
  }
  return _mm256_movemask_epi8(right) == -1;
}

}  // namespace common

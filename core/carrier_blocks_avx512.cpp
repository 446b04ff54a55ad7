// The encoder's fast path for four generators at once: each 128-bit quarter
// of the 512-bit registers runs what the SSE2 path runs for one generator.
#include "carrier_blocks.h"
#include "carrier_kernel.h"

namespace common {
namespace {

// The four stretches' 16 bytes at `offset` of each, one per quarter.
template <class Bytes>
__m512i Gather(const Stretch* stretches, Bytes bytesOf, std::size_t offset) {
  __m512i v = _mm512_castsi128_si512(_mm_loadu_si128(reinterpret_cast<const __m128i*>(bytesOf(stretches[0]) + offset)));
  v = _mm512_inserti32x4(v, _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytesOf(stretches[1]) + offset)), 1);
  v = _mm512_inserti32x4(v, _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytesOf(stretches[2]) + offset)), 2);
  return _mm512_inserti32x4(v, _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytesOf(stretches[3]) + offset)), 3);
}

template <class Bytes>
void Scatter(const Stretch* stretches, Bytes bytesOf, std::size_t offset, __m512i v) {
  _mm_storeu_si128(reinterpret_cast<__m128i*>(bytesOf(stretches[0]) + offset), _mm512_castsi512_si128(v));
  _mm_storeu_si128(reinterpret_cast<__m128i*>(bytesOf(stretches[1]) + offset), _mm512_extracti32x4_epi32(v, 1));
  _mm_storeu_si128(reinterpret_cast<__m128i*>(bytesOf(stretches[2]) + offset), _mm512_extracti32x4_epi32(v, 2));
  _mm_storeu_si128(reinterpret_cast<__m128i*>(bytesOf(stretches[3]) + offset), _mm512_extracti32x4_epi32(v, 3));
}

}  // namespace

void EncodeCodeBlocksAvx512(const Stretch* stretches, std::size_t count) {
  const auto stateWord = [](int word) {
    return [word](const Stretch& stretch) { return reinterpret_cast<char*>(stretch.random->State()[word].data()); };
  };
  const auto codesOf = [](const Stretch& stretch) { return stretch.codes; };
  const auto outOf = [](const Stretch& stretch) { return stretch.out; };
  Lanes<Vector512> s{Gather(stretches, stateWord(0), 0), Gather(stretches, stateWord(1), 0),
                     Gather(stretches, stateWord(2), 0), Gather(stretches, stateWord(3), 0)};
  EncodeRounds(
      s, count / 16, [&](std::size_t round) { return Gather(stretches, codesOf, 16 * round); },
      [&](std::size_t round, __m512i first, __m512i second) {
        Scatter(stretches, outOf, 32 * round, first);
        Scatter(stretches, outOf, 32 * round + 16, second);
      });
  Scatter(stretches, stateWord(0), 0, s.s0);
  Scatter(stretches, stateWord(1), 0, s.s1);
  Scatter(stretches, stateWord(2), 0, s.s2);
  Scatter(stretches, stateWord(3), 0, s.s3);
}

}  // namespace common

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

}  // namespace common

// The encoder's fast path for two generators at once: each 128-bit half of
// the 256-bit registers runs what the SSE2 path runs for one generator.
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

void EncodeCodeBlocksAvx2(const std::uint8_t* codes0, const std::uint8_t* codes1, std::size_t count, char* out0,
                          char* out1, PseudoRandom& random0, PseudoRandom& random1) {
  auto& a = random0.State();
  auto& b = random1.State();
  Lanes<Vector256> s{Load(a[0], b[0]), Load(a[1], b[1]), Load(a[2], b[2]), Load(a[3], b[3])};
  EncodeRounds(
      s, count / 16,
      [&](std::size_t round) {
        return _mm256_loadu2_m128i(reinterpret_cast<const __m128i*>(codes1 + 16 * round),
                                   reinterpret_cast<const __m128i*>(codes0 + 16 * round));
      },
      [&](std::size_t round, __m256i first, __m256i second) {
        _mm256_storeu2_m128i(reinterpret_cast<__m128i*>(out1 + 32 * round),
                             reinterpret_cast<__m128i*>(out0 + 32 * round), first);
        _mm256_storeu2_m128i(reinterpret_cast<__m128i*>(out1 + 32 * round + 16),
                             reinterpret_cast<__m128i*>(out0 + 32 * round + 16), second);
      });
  Store(a[0], b[0], s.s0);
  Store(a[1], b[1], s.s1);
  Store(a[2], b[2], s.s2);
  Store(a[3], b[3], s.s3);
}

}  // namespace common

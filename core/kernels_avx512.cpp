// The kernels for AVX-512: four generators side by side, one in each
// 128-bit quarter of the 512-bit registers. The self-check and the UTF-8
// runs are the AVX2 ones, which every such processor has.
#include "carrier_kernel.h"
#include "kernel_sets.h"

namespace common {
namespace {

// The four stretches' 16 bytes at `offset` of each, one per quarter.
template <class Bytes>
__m512i Gather(const Bytes& bytesOf, std::size_t offset) {
  const auto quarter = [&](int k) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytesOf(k) + offset)); };
  __m512i v = _mm512_castsi128_si512(quarter(0));
  v = _mm512_inserti32x4(v, quarter(1), 1);
  v = _mm512_inserti32x4(v, quarter(2), 2);
  return _mm512_inserti32x4(v, quarter(3), 3);
}

template <class Bytes>
void Scatter(const Bytes& bytesOf, std::size_t offset, __m512i v) {
  _mm_storeu_si128(reinterpret_cast<__m128i*>(bytesOf(0) + offset), _mm512_castsi512_si128(v));
  _mm_storeu_si128(reinterpret_cast<__m128i*>(bytesOf(1) + offset), _mm512_extracti32x4_epi32(v, 1));
  _mm_storeu_si128(reinterpret_cast<__m128i*>(bytesOf(2) + offset), _mm512_extracti32x4_epi32(v, 2));
  _mm_storeu_si128(reinterpret_cast<__m128i*>(bytesOf(3) + offset), _mm512_extracti32x4_epi32(v, 3));
}

template <class Stretches, class NextDraws>
void EncodeFour(const Stretches* stretches, std::size_t count, const NextDraws& nextDraws) {
  const auto codesOf = [&](int k) { return stretches[k].codes; };
  const auto outOf = [&](int k) { return stretches[k].out; };
  EncodeRounds<Vector512>(
      count / 16, nextDraws, [&](std::size_t round) { return Gather(codesOf, 16 * round); },
      [&](std::size_t round, __m512i first, __m512i second) {
        Scatter(outOf, 32 * round, first);
        Scatter(outOf, 32 * round + 16, second);
      });
}

void EncodeSideBySide(const Stretch* stretches, std::size_t count) {
  const auto stateWord = [&](int word) {
    return [&, word](int k) { return reinterpret_cast<char*>(stretches[k].random->State()[word].data()); };
  };
  Lanes<Vector512> s{Gather(stateWord(0), 0), Gather(stateWord(1), 0), Gather(stateWord(2), 0),
                     Gather(stateWord(3), 0)};
  EncodeFour(stretches, count, [&] { return Step(s); });
  Scatter(stateWord(0), 0, s.s0);
  Scatter(stateWord(1), 0, s.s1);
  Scatter(stateWord(2), 0, s.s2);
  Scatter(stateWord(3), 0, s.s3);
}

void EncodeDrawn(const DrawnStretch* stretches, std::size_t count) {
  std::size_t step = 0;
  EncodeFour(stretches, count, [&] {
    const __m512i draws = Gather([&](int k) { return reinterpret_cast<const char*>(stretches[k].draws); }, 16 * step);
    ++step;
    return draws;
  });
}

}  // namespace

const SimdKernels Avx512Kernels{SimdPath::Avx512,    "avx512",          4,
                                EncodeStretch128,    EncodeSideBySide,  EncodeDrawn,
                                avx2::CarriersCarry, avx2::Latin1Check, avx2::Latin1Codes};

}  // namespace common

// The carrier encoder's inner loop, written once for 128-bit vectors (one
// generator), 256-bit vectors (two side by side, AVX2) and 512-bit vectors
// (four, AVX-512). Included by the sources that compile it for their
// instruction set; everything here has internal linkage, so the linker can
// never swap an AVX2-compiled helper into the SSE2 path.
#pragma once

#include <immintrin.h>

#include <cstddef>
#include <cstdint>

#include "carrier_blocks.h"
#include "random.h"

namespace common {
namespace {

// The vector types without the aliasing attribute of __m128i and __m256i,
// which a template argument would drop; they convert to and from those freely.
using Vector128 = __v2di;
#if defined(__AVX2__)
using Vector256 = __v4di;
#endif
#if defined(__AVX512BW__)
using Vector512 = __v8di;
#endif

inline __m128i Add32(__m128i a, __m128i b) { return _mm_add_epi32(a, b); }
inline __m128i Sub32(__m128i a, __m128i b) { return _mm_sub_epi32(a, b); }
inline __m128i Xor(__m128i a, __m128i b) { return _mm_xor_si128(a, b); }
inline __m128i Or(__m128i a, __m128i b) { return _mm_or_si128(a, b); }
inline __m128i And(__m128i a, __m128i b) { return _mm_and_si128(a, b); }
inline __m128i ShiftLeft32(__m128i a, int k) { return _mm_slli_epi32(a, k); }
inline __m128i ShiftRight32(__m128i a, int k) { return _mm_srli_epi32(a, k); }
inline __m128i ShiftLeft16(__m128i a, int k) { return _mm_slli_epi16(a, k); }
inline __m128i ShiftRight16(__m128i a, int k) { return _mm_srli_epi16(a, k); }
inline __m128i Greater32(__m128i a, __m128i b) { return _mm_cmpgt_epi32(a, b); }
inline __m128i Add8(__m128i a, __m128i b) { return _mm_add_epi8(a, b); }
inline __m128i Sub8(__m128i a, __m128i b) { return _mm_sub_epi8(a, b); }
inline __m128i Equal8(__m128i a, __m128i b) { return _mm_cmpeq_epi8(a, b); }
inline __m128i PackTo16(__m128i a, __m128i b) { return _mm_packs_epi32(a, b); }
inline __m128i PackTo8(__m128i a, __m128i b) { return _mm_packus_epi16(a, b); }
inline __m128i InterleaveLow8(__m128i a, __m128i b) { return _mm_unpacklo_epi8(a, b); }
inline __m128i InterleaveHigh8(__m128i a, __m128i b) { return _mm_unpackhi_epi8(a, b); }
template <class V>
V Splat32(std::uint32_t x);
template <>
inline Vector128 Splat32<Vector128>(std::uint32_t x) {
  return _mm_set1_epi32(static_cast<int>(x));
}
template <class V>
V Splat8(std::uint8_t x);
template <>
inline Vector128 Splat8<Vector128>(std::uint8_t x) {
  return _mm_set1_epi8(static_cast<char>(x));
}

#if defined(__AVX2__)
// Each 128-bit half is one generator's register: every operation below works
// within the halves, so each half computes what the SSE2 path computes.
inline __m256i Add32(__m256i a, __m256i b) { return _mm256_add_epi32(a, b); }
inline __m256i Sub32(__m256i a, __m256i b) { return _mm256_sub_epi32(a, b); }
inline __m256i Xor(__m256i a, __m256i b) { return _mm256_xor_si256(a, b); }
inline __m256i Or(__m256i a, __m256i b) { return _mm256_or_si256(a, b); }
inline __m256i And(__m256i a, __m256i b) { return _mm256_and_si256(a, b); }
inline __m256i ShiftLeft32(__m256i a, int k) { return _mm256_slli_epi32(a, k); }
inline __m256i ShiftRight32(__m256i a, int k) { return _mm256_srli_epi32(a, k); }
inline __m256i ShiftLeft16(__m256i a, int k) { return _mm256_slli_epi16(a, k); }
inline __m256i ShiftRight16(__m256i a, int k) { return _mm256_srli_epi16(a, k); }
inline __m256i Greater32(__m256i a, __m256i b) { return _mm256_cmpgt_epi32(a, b); }
inline __m256i Add8(__m256i a, __m256i b) { return _mm256_add_epi8(a, b); }
inline __m256i Sub8(__m256i a, __m256i b) { return _mm256_sub_epi8(a, b); }
inline __m256i Equal8(__m256i a, __m256i b) { return _mm256_cmpeq_epi8(a, b); }
inline __m256i PackTo16(__m256i a, __m256i b) { return _mm256_packs_epi32(a, b); }
inline __m256i PackTo8(__m256i a, __m256i b) { return _mm256_packus_epi16(a, b); }
inline __m256i InterleaveLow8(__m256i a, __m256i b) { return _mm256_unpacklo_epi8(a, b); }
inline __m256i InterleaveHigh8(__m256i a, __m256i b) { return _mm256_unpackhi_epi8(a, b); }
template <>
inline Vector256 Splat32<Vector256>(std::uint32_t x) {
  return _mm256_set1_epi32(static_cast<int>(x));
}
template <>
inline Vector256 Splat8<Vector256>(std::uint8_t x) {
  return _mm256_set1_epi8(static_cast<char>(x));
}
#endif

#if defined(__AVX512BW__) && defined(__AVX512DQ__)
// Four generators, one in each 128-bit quarter. Comparisons give masks here;
// turned back into vectors they match the narrower paths lane for lane.
inline __m512i Add32(__m512i a, __m512i b) { return _mm512_add_epi32(a, b); }
inline __m512i Sub32(__m512i a, __m512i b) { return _mm512_sub_epi32(a, b); }
inline __m512i Xor(__m512i a, __m512i b) { return _mm512_xor_si512(a, b); }
inline __m512i Or(__m512i a, __m512i b) { return _mm512_or_si512(a, b); }
inline __m512i And(__m512i a, __m512i b) { return _mm512_and_si512(a, b); }
inline __m512i ShiftLeft32(__m512i a, int k) { return _mm512_slli_epi32(a, static_cast<unsigned>(k)); }
inline __m512i ShiftRight32(__m512i a, int k) { return _mm512_srli_epi32(a, static_cast<unsigned>(k)); }
inline __m512i ShiftLeft16(__m512i a, int k) { return _mm512_slli_epi16(a, static_cast<unsigned>(k)); }
inline __m512i ShiftRight16(__m512i a, int k) { return _mm512_srli_epi16(a, static_cast<unsigned>(k)); }
inline __m512i Greater32(__m512i a, __m512i b) { return _mm512_movm_epi32(_mm512_cmpgt_epi32_mask(a, b)); }
inline __m512i Add8(__m512i a, __m512i b) { return _mm512_add_epi8(a, b); }
inline __m512i Sub8(__m512i a, __m512i b) { return _mm512_sub_epi8(a, b); }
inline __m512i Equal8(__m512i a, __m512i b) { return _mm512_movm_epi8(_mm512_cmpeq_epi8_mask(a, b)); }
inline __m512i PackTo16(__m512i a, __m512i b) { return _mm512_packs_epi32(a, b); }
inline __m512i PackTo8(__m512i a, __m512i b) { return _mm512_packus_epi16(a, b); }
inline __m512i InterleaveLow8(__m512i a, __m512i b) { return _mm512_unpacklo_epi8(a, b); }
inline __m512i InterleaveHigh8(__m512i a, __m512i b) { return _mm512_unpackhi_epi8(a, b); }
template <>
inline Vector512 Splat32<Vector512>(std::uint32_t x) {
  return _mm512_set1_epi32(static_cast<int>(x));
}
template <>
inline Vector512 Splat8<Vector512>(std::uint8_t x) {
  return _mm512_set1_epi8(static_cast<char>(x));
}
#endif

template <class V>
struct Lanes {
  V s0, s1, s2, s3;
};

template <class V>
inline V Rotl(V x, int k) {
  return Or(ShiftLeft32(x, k), ShiftRight32(x, 32 - k));
}

// One xoshiro128** step of all four lanes: PseudoRandom::Advance side by side.
template <class V>
inline V Step(Lanes<V>& s) {
  const V times5 = Add32(ShiftLeft32(s.s1, 2), s.s1);
  const V rotated = Rotl(times5, 7);
  const V result = Add32(ShiftLeft32(rotated, 3), rotated);
  const V t = ShiftLeft32(s.s1, 9);
  s.s2 = Xor(s.s2, s.s0);
  s.s3 = Xor(s.s3, s.s1);
  s.s1 = Xor(s.s1, s.s2);
  s.s0 = Xor(s.s0, s.s3);
  s.s2 = Xor(s.s2, t);
  s.s3 = Rotl(s.s3, 11);
  return result;
}

// The column (0 to 3) of each draw: unsigned comparisons done as signed ones
// on values with the sign bit flipped.
template <class V>
struct ColumnEdges {
  V signBit, below1, below2, below3;
};

template <class V>
ColumnEdges<V> MakeColumnEdges() {
  const ColumnThresholds& t = CarrierColumnThresholds();
  const auto below = [](std::uint32_t start) { return Splat32<V>((start - 1) ^ 0x80000000u); };
  return {Splat32<V>(0x80000000u), below(t.start1), below(t.start2), below(t.start3)};
}

template <class V>
inline V Columns(V draws, const ColumnEdges<V>& e) {
  const V x = Xor(draws, e.signBit);
  const V minusColumn = Add32(Add32(Greater32(x, e.below1), Greater32(x, e.below2)), Greater32(x, e.below3));
  return Sub32(Splat32<V>(0), minusColumn);
}

#if defined(__AVX512BW__) && defined(__AVX512DQ__)
// AVX-512 rotates in one instruction and counts the columns in its masks.
template <>
inline Vector512 Rotl<Vector512>(Vector512 x, int k) {
  return _mm512_rolv_epi32(x, _mm512_set1_epi32(k));
}

template <>
inline Vector512 Columns<Vector512>(Vector512 draws, const ColumnEdges<Vector512>& e) {
  const __m512i x = _mm512_xor_si512(draws, e.signBit), one = _mm512_set1_epi32(1);
  __m512i column = _mm512_maskz_mov_epi32(_mm512_cmpgt_epi32_mask(x, e.below1), one);
  column = _mm512_mask_add_epi32(column, _mm512_cmpgt_epi32_mask(x, e.below2), column, one);
  return _mm512_mask_add_epi32(column, _mm512_cmpgt_epi32_mask(x, e.below3), column, one);
}
#endif

// (64 + 16k) | n, with backslash (92) and DEL (127) moved down to "<" and "?".
template <class V>
inline V Carriers(V columns, V nibbles) {
  V code = Add8(Add8(Splat8<V>(64), ShiftLeft16(columns, 4)), nibbles);
  code = Sub8(code, And(Equal8(code, Splat8<V>(92)), Splat8<V>(32)));
  code = Sub8(code, And(Equal8(code, Splat8<V>(127)), Splat8<V>(64)));
  return code;
}

// Encodes sixteen page codes per generator and round: `nextDraws` gives the
// draws of one generator step (four per generator), `load` the codes of a
// round, `store` takes the carriers of its first and second eight codes.
template <class V, class NextDraws, class Load, class Store>
void EncodeRounds(std::size_t rounds, const NextDraws& nextDraws, const Load& load, const Store& store) {
  const ColumnEdges<V> edges = MakeColumnEdges<V>();
  for (std::size_t round = 0; round < rounds; ++round) {
    V columns[8];
    for (V& c : columns) c = Columns(V(nextDraws()), edges);
    const V first = PackTo8(PackTo16(columns[0], columns[1]), PackTo16(columns[2], columns[3]));
    const V second = PackTo8(PackTo16(columns[4], columns[5]), PackTo16(columns[6], columns[7]));
    const V codes = load(round);
    const V high = And(ShiftRight16(codes, 4), Splat8<V>(15)), low = And(codes, Splat8<V>(15));
    store(round, Carriers(first, InterleaveLow8(high, low)), Carriers(second, InterleaveHigh8(high, low)));
  }
}

// One generator's stretch, its four lanes in a 128-bit register.
inline void EncodeStretch128(const Stretch& stretch, std::size_t count) {
  const auto load = [](const void* at) { return _mm_loadu_si128(static_cast<const __m128i*>(at)); };
  const auto store = [](void* at, __m128i v) { _mm_storeu_si128(static_cast<__m128i*>(at), v); };
  auto& state = stretch.random->State();
  Lanes<Vector128> s{load(state[0].data()), load(state[1].data()), load(state[2].data()), load(state[3].data())};
  EncodeRounds<Vector128>(
      count / 16, [&] { return Step(s); }, [&](std::size_t round) { return load(stretch.codes + 16 * round); },
      [&](std::size_t round, __m128i first, __m128i second) {
        store(stretch.out + 32 * round, first);
        store(stretch.out + 32 * round + 16, second);
      });
  store(state[0].data(), s.s0);
  store(state[1].data(), s.s1);
  store(state[2].data(), s.s2);
  store(state[3].data(), s.s3);
}

}  // namespace
}  // namespace common

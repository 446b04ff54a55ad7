// The kernels for AVX2: two generators side by side, each 128-bit half of
// the 256-bit registers running what the SSE2 path runs for one; the UTF-8
// runs 32 bytes a step.
#include <array>

#include "carrier_kernel.h"
#include "kernel_sets.h"
#include "latin1_kernel.h"

namespace common {
namespace {

__m128i Load(const void* at) { return _mm_loadu_si128(static_cast<const __m128i*>(at)); }
__m256i Load(const void* low, const void* high) {
  return _mm256_loadu2_m128i(static_cast<const __m128i*>(high), static_cast<const __m128i*>(low));
}
void Store(void* low, void* high, __m256i v) {
  _mm256_storeu2_m128i(static_cast<__m128i*>(high), static_cast<__m128i*>(low), v);
}

template <class Stretches, class NextDraws>
void EncodePair(const Stretches& a, const Stretches& b, std::size_t count, const NextDraws& nextDraws) {
  EncodeRounds<Vector256>(
      count / 16, nextDraws, [&](std::size_t round) { return Load(a.codes + 16 * round, b.codes + 16 * round); },
      [&](std::size_t round, __m256i first, __m256i second) {
        Store(a.out + 32 * round, b.out + 32 * round, first);
        Store(a.out + 32 * round + 16, b.out + 32 * round + 16, second);
      });
}

void EncodeSideBySide(const Stretch* stretches, std::size_t count) {
  auto& stateA = stretches[0].random->State();
  auto& stateB = stretches[1].random->State();
  Lanes<Vector256> s{Load(stateA[0].data(), stateB[0].data()), Load(stateA[1].data(), stateB[1].data()),
                     Load(stateA[2].data(), stateB[2].data()), Load(stateA[3].data(), stateB[3].data())};
  EncodePair(stretches[0], stretches[1], count, [&] { return Step(s); });
  Store(stateA[0].data(), stateB[0].data(), s.s0);
  Store(stateA[1].data(), stateB[1].data(), s.s1);
  Store(stateA[2].data(), stateB[2].data(), s.s2);
  Store(stateA[3].data(), stateB[3].data(), s.s3);
}

void EncodeDrawn(const DrawnStretch* stretches, std::size_t count) {
  std::size_t step = 0;
  EncodePair(stretches[0], stretches[1], count, [&] {
    const __m256i draws = Load(stretches[0].draws + 4 * step, stretches[1].draws + 4 * step);
    ++step;
    return draws;
  });
}

// For each mask of continuation bytes among eight, the positions of the other
// bytes in order: the shuffle that drops the continuations.
constexpr auto KeptPositions = [] {
  std::array<std::array<std::uint8_t, 8>, 256> table{};
  for (unsigned mask = 0; mask < 256; ++mask) {
    int kept = 0;
    for (int j = 0; j < 8; ++j) {
      if (!((mask >> j) & 1)) table[mask][kept++] = static_cast<std::uint8_t>(j);
    }
    while (kept < 8) table[mask][kept++] = 0x80;  // zero
  }
  return table;
}();

// The page codes of a run sixteen bytes a step, letters included: each lead
// becomes its code and its continuation is dropped. Stops before the first
// step with any other byte (or a lead at its end), before fewer than 16
// bytes are left, or once `made` reaches `wanted`. No branch depends on how
// the text mixes ASCII and letters, so none is mispredicted.
std::size_t Latin1Shuffled(const unsigned char* at, std::size_t available, std::uint8_t* codes, std::size_t wanted,
                           std::size_t& made) {
  std::size_t taken = 0;
  while (taken + 16 <= available && made < wanted) {
    const __m128i bytes = Load(at + taken);
    const auto nonAscii = static_cast<unsigned>(_mm_movemask_epi8(bytes));
    const __m128i isLead = _mm_or_si128(_mm_cmpeq_epi8(bytes, _mm_set1_epi8(static_cast<char>(0xC2))),
                                        _mm_cmpeq_epi8(bytes, _mm_set1_epi8(static_cast<char>(0xC3))));
    const auto leads = static_cast<unsigned>(_mm_movemask_epi8(isLead));
    const auto continuations =
        static_cast<unsigned>(_mm_movemask_epi8(_mm_cmplt_epi8(bytes, _mm_set1_epi8(static_cast<char>(0xC0)))));
    // A lead in the last byte fails the second test too: its continuation bit would be bit 16.
    if ((nonAscii & ~(leads | continuations)) != 0 || continuations != (leads << 1)) break;
    // (lead & 3) << 6 | (continuation & 0x3F); the shift stays within each byte.
    const __m128i leadCodes = _mm_or_si128(_mm_slli_epi16(_mm_and_si128(bytes, _mm_set1_epi8(3)), 6),
                                           _mm_and_si128(_mm_srli_si128(bytes, 1), _mm_set1_epi8(0x3F)));
    const __m128i merged = _mm_or_si128(_mm_and_si128(isLead, leadCodes), _mm_andnot_si128(isLead, bytes));
    const auto shuffle = [](unsigned mask, int offset) {
      const __m128i positions = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(KeptPositions[mask].data()));
      return _mm_or_si128(positions, _mm_set1_epi8(static_cast<char>(offset)));  // 0x80 stays zero
    };
    const unsigned low = continuations & 0xFF, high = continuations >> 8;
    std::uint8_t* out = codes + made;
    _mm_storel_epi64(reinterpret_cast<__m128i*>(out), _mm_shuffle_epi8(merged, shuffle(low, 0)));
    _mm_storel_epi64(reinterpret_cast<__m128i*>(out + 8 - __builtin_popcount(low)),
                     _mm_shuffle_epi8(merged, shuffle(high, 8)));
    made += static_cast<std::size_t>(16 - __builtin_popcount(continuations));
    taken += 16;
  }
  return taken;
}

}  // namespace

namespace avx2 {

bool CarriersCarry(const char* carriers, const std::uint8_t* codes, std::size_t count) {
  // Sixteen codes a round from one 256-bit load of their carriers, compared
  // in 16 bits, so that no lane crossing is needed.
  __m256i right = _mm256_set1_epi8(-1);
  std::size_t i = 0;
  for (; i + 16 <= count; i += 16) {
    const __m256i c = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(carriers + 2 * i));
    const __m256i offset = _mm256_sub_epi8(c, _mm256_set1_epi8(60));
    const __m256i inRange = _mm256_cmpeq_epi8(_mm256_max_epu8(offset, _mm256_set1_epi8(66)), _mm256_set1_epi8(66));
    const __m256i safe = _mm256_andnot_si256(_mm256_cmpeq_epi8(c, _mm256_set1_epi8(92)), inRange);
    const __m256i decoded = _mm256_or_si256(_mm256_slli_epi16(_mm256_and_si256(c, _mm256_set1_epi16(15)), 4),
                                            _mm256_and_si256(_mm256_srli_epi16(c, 8), _mm256_set1_epi16(15)));
    const __m256i expected = _mm256_cvtepu8_epi16(Load(codes + i));
    right = _mm256_and_si256(right, _mm256_and_si256(safe, _mm256_cmpeq_epi16(decoded, expected)));
  }
  return _mm256_movemask_epi8(right) == -1 && ScalarKernels.carriersCarry(carriers + 2 * i, codes + i, count - i);
}

std::size_t Latin1Check(const unsigned char* at, std::size_t available, std::uint64_t& pageCodes) {
  std::size_t taken = 0;
  while (taken + 32 <= available) {
    const __m256i bytes = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(at + taken));
    const auto nonAscii = static_cast<std::uint32_t>(_mm256_movemask_epi8(bytes));
    const auto leads = static_cast<std::uint32_t>(
        _mm256_movemask_epi8(_mm256_or_si256(_mm256_cmpeq_epi8(bytes, _mm256_set1_epi8(static_cast<char>(0xC2))),
                                             _mm256_cmpeq_epi8(bytes, _mm256_set1_epi8(static_cast<char>(0xC3))))));
    const auto continuations = static_cast<std::uint32_t>(
        _mm256_movemask_epi8(_mm256_cmpgt_epi8(_mm256_set1_epi8(static_cast<char>(0xC0)), bytes)));
    // In 64 bits, a lead in the last byte leaves a continuation bit (bit 32) that no step has.
    if ((nonAscii & ~(leads | continuations)) != 0 || continuations != (std::uint64_t{leads} << 1)) break;
    pageCodes += 32 - __builtin_popcount(continuations);
    taken += 32;
  }
  return taken + Latin1CheckNarrow(at + taken, available - taken, pageCodes);
}

std::size_t Latin1Codes(const unsigned char* at, std::size_t available, std::uint8_t* codes, std::size_t wanted,
                        std::size_t& made) {
  std::size_t taken = 0;
  for (;;) {
    const std::size_t shuffled = Latin1Shuffled(at + taken, available - taken, codes, wanted, made);
    const std::size_t narrow =
        Latin1CodesNarrow(at + taken + shuffled, available - taken - shuffled, codes, wanted, made);
    taken += shuffled + narrow;
    if (narrow == 0) return taken;
  }
}

}  // namespace avx2

const SimdKernels Avx2Kernels{
    SimdPath::Avx2,    "avx2",           2, EncodeStretch128, EncodeSideBySide, EncodeDrawn, avx2::CarriersCarry,
    avx2::Latin1Check, avx2::Latin1Codes};

}  // namespace common

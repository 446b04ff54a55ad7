// The encoder's pseudo-random generator. Anything with `double Next()` that
// yields uniform draws in [0, 1) serves the encoder; tests feed fixed draws.
#pragma once

#include <cstdint>

namespace common {

// wyrand: one 64-bit multiply per draw, good statistical quality, and fast
// enough that drawing is not what limits the encoder.
class PseudoRandom {
 public:
  explicit PseudoRandom(std::uint64_t seed) : state_(seed) {}

  double Next() {
    state_ += 0xA0761D6478BD642Full;
    const std::uint64_t bits = FoldedProduct(state_, state_ ^ 0xE7037ED1A0B428DBull);
    // 53 random bits, exact in a double; signed, as that converts in one step
    return static_cast<double>(static_cast<std::int64_t>(bits >> 11)) * 0x1.0p-53;
  }

 private:
  // High and low halves of the 128-bit product, XORed together.
  static std::uint64_t FoldedProduct(std::uint64_t a, std::uint64_t b) {
#ifdef __SIZEOF_INT128__
    const unsigned __int128 p = static_cast<unsigned __int128>(a) * b;
    return static_cast<std::uint64_t>(p >> 64) ^ static_cast<std::uint64_t>(p);
#else
    const std::uint64_t aLo = a & 0xFFFFFFFFu, aHi = a >> 32, bLo = b & 0xFFFFFFFFu, bHi = b >> 32;
    const std::uint64_t ll = aLo * bLo, lh = aLo * bHi, hl = aHi * bLo, hh = aHi * bHi;
    const std::uint64_t mid = (ll >> 32) + (lh & 0xFFFFFFFFu) + (hl & 0xFFFFFFFFu);
    const std::uint64_t hi = hh + (lh >> 32) + (hl >> 32) + (mid >> 32);
    const std::uint64_t lo = (mid << 32) | (ll & 0xFFFFFFFFu);
    return hi ^ lo;
#endif
  }

  std::uint64_t state_;
};

// The seed of a run: the seconds since midnight, local time.
std::uint32_t SecondsSinceMidnight();

}  // namespace common

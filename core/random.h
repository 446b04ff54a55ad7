// The encoder's pseudo-random generator. Anything with `double Next()` that
// yields uniform draws in [0, 1) serves the encoder; tests feed fixed draws.
#pragma once

#include <array>
#include <cstdint>

namespace common {

// xoshiro128** in four interleaved lanes: draw j comes from lane j % 4 of
// step j / 4. Shifts, adds and XORs only, so the encoder's fast path can run
// the four lanes side by side in one SIMD register and still hand out
// exactly the draws that Next() gives one at a time.
class PseudoRandom {
 public:
  static constexpr int Lanes = 4;
  using Step = std::array<std::uint32_t, Lanes>;

  explicit PseudoRandom(std::uint64_t seed);

  // A draw with 32 random bits: x / 2^32.
  double Next() {
    if (buffered_ == 0) {
      buffer_ = Advance();
      buffered_ = Lanes;
    }
    return static_cast<double>(buffer_[Lanes - buffered_--]) * 0x1.0p-32;
  }

  // True between steps, when the next draw is lane 0 of a fresh step.
  bool AtStepBoundary() const { return buffered_ == 0; }

  // The lane states, for the SIMD path, which takes over whole steps.
  std::array<Step, 4>& State() { return state_; }

  // One step of all lanes: the four outputs.
  Step Advance() {
    Step out;
    for (int lane = 0; lane < Lanes; ++lane) {
      auto& s0 = state_[0][lane];
      auto& s1 = state_[1][lane];
      auto& s2 = state_[2][lane];
      auto& s3 = state_[3][lane];
      out[lane] = Rotl(s1 * 5, 7) * 9;
      const std::uint32_t t = s1 << 9;
      s2 ^= s0;
      s3 ^= s1;
      s1 ^= s2;
      s0 ^= s3;
      s2 ^= t;
      s3 = Rotl(s3, 11);
    }
    return out;
  }

 private:
  static std::uint32_t Rotl(std::uint32_t x, int k) { return (x << k) | (x >> (32 - k)); }

  std::array<Step, 4> state_;  // state_[word][lane]
  Step buffer_{};
  int buffered_ = 0;
};

// Where the draws x / 2^32 cross into the carrier columns 1, 2 and 3 of
// int(r * 3.9): the smallest x of each column, found with the same double
// arithmetic, so a comparison gives exactly the column the product gives.
struct ColumnThresholds {
  std::uint32_t start1, start2, start3;
};
const ColumnThresholds& CarrierColumnThresholds();

// The seed of a run: the time since midnight, local time, in nanoseconds, at
// the clock's full resolution, so two runs in the same second differ.
std::uint64_t TimeOfDaySeed();

}  // namespace common

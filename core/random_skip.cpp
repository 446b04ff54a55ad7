#include "random_skip.h"

#include <array>
#include <bit>
#include <stdexcept>
#include <vector>

namespace common {
namespace {

// A lane's state, 128 bits: bit k is bit k % 32 of word k / 32.
using Bits = std::array<std::uint32_t, 4>;

// The generator's step is linear over GF(2): a 128 x 128 bit matrix. It is
// kept as the images of the 16 patterns of each of the state's 32 nibbles,
// so a product with a state is 32 lookups.
struct StepMatrix {
  std::array<std::array<Bits, 16>, 32> images{};

  // From the images of the single bits.
  static StepMatrix FromColumns(const std::array<Bits, 128>& columns) {
    StepMatrix matrix;
    for (int nibble = 0; nibble < 32; ++nibble) {
      for (unsigned pattern = 1; pattern < 16; ++pattern) {
        const unsigned lowest = pattern & (0u - pattern);
        const Bits& rest = matrix.images[nibble][pattern ^ lowest];
        const Bits& column = columns[4 * nibble + std::countr_zero(lowest)];
        for (int w = 0; w < 4; ++w) matrix.images[nibble][pattern][w] = rest[w] ^ column[w];
      }
    }
    return matrix;
  }

  Bits Apply(const Bits& state) const {
    Bits out{};
    for (int nibble = 0; nibble < 32; ++nibble) {
      const Bits& image = images[nibble][(state[nibble / 8] >> (4 * (nibble % 8))) & 15u];
      for (int w = 0; w < 4; ++w) out[w] ^= image[w];
    }
    return out;
  }
  StepMatrix Squared() const {
    std::array<Bits, 128> columns;
    for (int k = 0; k < 128; ++k) columns[k] = Apply(images[k / 4][1u << (k % 4)]);
    return FromColumns(columns);
  }
};

// The step of one lane, taken from the generator itself on unit states.
StepMatrix OneStep() {
  std::array<Bits, 128> columns;
  PseudoRandom probe(0);
  for (int k = 0; k < 128; ++k) {
    for (int w = 0; w < 4; ++w) probe.State()[w][0] = (w == k / 32) ? (1u << (k % 32)) : 0u;
    probe.Advance();
    for (int w = 0; w < 4; ++w) columns[k][w] = probe.State()[w][0];
  }
  return StepMatrix::FromColumns(columns);
}

}  // namespace

struct DrawSkipper::Powers {
  std::vector<StepMatrix> ofTwo;  // the step to the power 2^i
};

DrawSkipper::DrawSkipper(std::uint64_t longestSkip) : powers_(std::make_unique<Powers>()) {
  powers_->ofTwo.push_back(OneStep());
  for (std::uint64_t steps = longestSkip / PseudoRandom::Lanes; steps > 1; steps >>= 1) {
    powers_->ofTwo.push_back(powers_->ofTwo.back().Squared());
  }
}

DrawSkipper::~DrawSkipper() = default;

void DrawSkipper::Skip(PseudoRandom& random, std::uint64_t draws) const {
  // Draws left over from the current step go one by one; whole steps of four
  // draws go at once; the rest one by one again.
  while (draws > 0 && !random.AtStepBoundary()) {
    random.Next();
    --draws;
  }
  const std::uint64_t steps = draws / PseudoRandom::Lanes;
  for (std::size_t bit = 0; bit < 64; ++bit) {
    if (!((steps >> bit) & 1)) continue;
    if (bit >= powers_->ofTwo.size()) throw std::length_error("skip beyond the prepared powers");
    for (int lane = 0; lane < PseudoRandom::Lanes; ++lane) {
      Bits state;
      for (int w = 0; w < 4; ++w) state[w] = random.State()[w][lane];
      state = powers_->ofTwo[bit].Apply(state);
      for (int w = 0; w < 4; ++w) random.State()[w][lane] = state[w];
    }
  }
  for (std::uint64_t rest = draws % PseudoRandom::Lanes; rest > 0; --rest) random.Next();
}

}  // namespace common

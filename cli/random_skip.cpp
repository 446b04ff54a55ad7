#include "random_skip.h"

#include <array>
#include <stdexcept>
#include <vector>

namespace cli {
namespace {

// A lane's state, 128 bits: bit k is bit k % 32 of word k / 32.
using Bits = std::array<std::uint32_t, 4>;

// The generator's step is linear over GF(2): a 128 x 128 bit matrix, kept as
// its columns, the images of the single bits.
struct StepMatrix {
  std::array<Bits, 128> columns;

  Bits Apply(const Bits& state) const {
    Bits out{};
    for (int k = 0; k < 128; ++k) {
      // Without a branch: the state's bits are random, so a branch would
      // be mispredicted half the time.
      const std::uint32_t take = 0u - ((state[k / 32] >> (k % 32)) & 1u);
      for (int w = 0; w < 4; ++w) out[w] ^= columns[k][w] & take;
    }
    return out;
  }
  StepMatrix Squared() const {
    StepMatrix square;
    for (int k = 0; k < 128; ++k) square.columns[k] = Apply(columns[k]);
    return square;
  }
};

// The step of one lane, taken from the generator itself on unit states.
StepMatrix OneStep() {
  StepMatrix step;
  common::PseudoRandom probe(0);
  for (int k = 0; k < 128; ++k) {
    for (int w = 0; w < 4; ++w) probe.State()[w][0] = (w == k / 32) ? (1u << (k % 32)) : 0u;
    probe.Advance();
    for (int w = 0; w < 4; ++w) step.columns[k][w] = probe.State()[w][0];
  }
  return step;
}

}  // namespace

struct DrawSkipper::Powers {
  std::vector<StepMatrix> ofTwo;  // the step to the power 2^i
};

DrawSkipper::DrawSkipper(std::uint64_t longestSkip) : powers_(std::make_unique<Powers>()) {
  powers_->ofTwo.push_back(OneStep());
  for (std::uint64_t steps = longestSkip / common::PseudoRandom::Lanes; steps > 1; steps >>= 1) {
    powers_->ofTwo.push_back(powers_->ofTwo.back().Squared());
  }
}

DrawSkipper::~DrawSkipper() = default;

void DrawSkipper::Skip(common::PseudoRandom& random, std::uint64_t draws) const {
  // Draws left over from the current step go one by one; whole steps of four
  // draws go at once; the rest one by one again.
  while (draws > 0 && !random.AtStepBoundary()) {
    random.Next();
    --draws;
  }
  const std::uint64_t steps = draws / common::PseudoRandom::Lanes;
  for (std::size_t bit = 0; bit < 64; ++bit) {
    if (!((steps >> bit) & 1)) continue;
    if (bit >= powers_->ofTwo.size()) throw std::length_error("skip beyond the prepared powers");
    for (int lane = 0; lane < common::PseudoRandom::Lanes; ++lane) {
      Bits state;
      for (int w = 0; w < 4; ++w) state[w] = random.State()[w][lane];
      state = powers_->ofTwo[bit].Apply(state);
      for (int w = 0; w < 4; ++w) random.State()[w][lane] = state[w];
    }
  }
  for (std::uint64_t rest = draws % common::PseudoRandom::Lanes; rest > 0; --rest) random.Next();
}

}  // namespace cli

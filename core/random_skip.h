// Moving the encoder's generator far ahead without drawing: lets pieces of
// a long text be encoded side by side and still get exactly the carriers
// that one pass from the start would give.
#pragma once

#include <cstdint>
#include <memory>

#include "random.h"

namespace common {

// Keeps the generator's step raised to the powers of two, so each skip
// costs a few dozen matrix products, made once per run.
class DrawSkipper {
 public:
  // Ready for skips of up to `longestSkip` draws.
  explicit DrawSkipper(std::uint64_t longestSkip);
  ~DrawSkipper();
  // Leaves `random` where it would stand after `draws` calls of Next().
  void Skip(PseudoRandom& random, std::uint64_t draws) const;

  struct Powers;

 private:
  std::unique_ptr<Powers> powers_;
};

}  // namespace common

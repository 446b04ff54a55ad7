#include "carrier_encoder.h"

#include <algorithm>

#include "carrier_blocks.h"

namespace common {

void EncodeCarriers(const std::uint8_t* codes, std::size_t count, char* out, PseudoRandom& random,
                    const SideBySide* sideBySide) {
  // The vector kernels start at a step of the generator: two draws a code,
  // four a step, so one code at most goes alone before them.
  std::size_t done = 0;
  for (; done < count && !random.AtStepBoundary(); ++done)
    EncodeCarriersOneByOne(codes + done, 1, out + 2 * done, random);
  if (sideBySide != nullptr && sideBySide->stretches > 1) {
    // A piece shorter than that many parts (a segment's last) is shared out
    // in smaller parts, at the cost of a longer skip.
    const int stretches = sideBySide->stretches;
    const std::size_t each = std::min(sideBySide->part, (count - done) / (16 * stretches) * 16);
    if (each > 0) {
      PseudoRandom randoms[MostStretches] = {random, random, random, random};
      Stretch parts[MostStretches];
      for (int k = 0; k < stretches; ++k) {
        if (k > 0) {
          randoms[k] = randoms[k - 1];
          sideBySide->skipper->Skip(randoms[k], 2 * each);
        }
        parts[k] = {codes + done + k * each, out + 2 * (done + k * each), &randoms[k]};
      }
      EncodeCodeBlocksSideBySide(parts, stretches, each);
      random = randoms[stretches - 1];
      done += stretches * each;
    }
  }
  const std::size_t blocks = (count - done) / 16 * 16;
  EncodeCodeBlocks(codes + done, blocks, out + 2 * done, random);
  done += blocks;
  EncodeCarriersOneByOne(codes + done, count - done, out + 2 * done, random);
}

}  // namespace common

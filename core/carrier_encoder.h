// The one carrier encoder: page codes to their carriers, two random carrier
// letters per code, high nibble first. The tray program calls it range by
// range, velumor-encode piece by piece and on several threads; the carriers
// are the same for the same draws.
#pragma once

#include <cstddef>
#include <cstdint>

#include "random.h"
#include "random_skip.h"

namespace common {

// A carrier for a nibble (0 to 15) from one random draw r in [0, 1): the
// upper bits come from k = int(r * 3.9), so the fourth column is drawn less
// often than the others. Backslash and DEL are replaced by "<" and "?".
template <class Random>
inline int NibbleToChar(const int& nibble, Random& random) {
  const int k = static_cast<int>(random.Next() * 3.9);
  const int code = (64 + 16 * k) | nibble;
  const bool replaced = (code == 92) | (code == 127);  // no branch: both are rare and random
  return replaced ? (48 | nibble) : code;
}

// The carriers of `count` codes into out[0 .. 2 * count), draw by draw: any
// source of draws serves.
template <class Random>
void EncodeCarriersOneByOne(const std::uint8_t* codes, std::size_t count, char* out, Random& shared) {
  // A local copy of the generator: stores through char* may alias anything,
  // so with a reference every draw would wait for the last carrier's store.
  Random random = shared;
  for (std::size_t i = 0; i < count; ++i) {
    out[2 * i] = static_cast<char>(NibbleToChar(codes[i] >> 4, random));
    out[2 * i + 1] = static_cast<char>(NibbleToChar(codes[i] & 15, random));
  }
  shared = static_cast<Random&&>(random);
}

// Parts of a piece encoded side by side where the processor takes several
// generators at once: each part from the generator moved ahead past the
// parts before it.
struct SideBySide {
  const DrawSkipper* skipper;  // ready for skips of 2 * `part` draws
  int stretches;               // StretchesSideBySide()
  std::size_t part;            // codes per part, a multiple of 16
};

// The same carriers from the program's generator: whole rounds through the
// vector kernels, and with `sideBySide` a piece's parts side by side.
void EncodeCarriers(const std::uint8_t* codes, std::size_t count, char* out, PseudoRandom& random,
                    const SideBySide* sideBySide = nullptr);

// Any other source of draws (the tests' fixed ones) goes draw by draw.
template <class Random>
void EncodeCarriers(const std::uint8_t* codes, std::size_t count, char* out, Random& random) {
  EncodeCarriersOneByOne(codes, count, out, random);
}

}  // namespace common

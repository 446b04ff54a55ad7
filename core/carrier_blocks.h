// The encoder's fast path: page codes sixteen at a time, thirty-two draws of
// the generator's four lanes side by side.
#pragma once

#include <cstddef>
#include <cstdint>

#include "random.h"

namespace common {

// Encodes `count` page codes (each at most 0xFF; count a multiple of 16) into
// two carriers each. The generator must stand at a step boundary and is left
// at one. The carriers are exactly those NibbleToChar gives with the same
// draws, high nibble first.
void EncodeCodeBlocks(const std::uint8_t* codes, std::size_t count, char* out, PseudoRandom& random);

// One of several stretches of page codes encoded side by side, each with
// its own generator.
struct Stretch {
  const std::uint8_t* codes;
  char* out;
  PseudoRandom* random;
};

inline constexpr int MostStretches = 4;

// How many stretches the processor encodes at once: 4 with 512-bit vectors
// (AVX-512), 2 with 256-bit ones (AVX2), else 1.
int StretchesSideBySide();

// Encodes `count` codes (a multiple of 16) of each of `stretchCount`
// stretches: what EncodeCodeBlocks gives for each, in one pass where the
// processor takes that many at once (see StretchesSideBySide), else one
// after the other.
void EncodeCodeBlocksSideBySide(const Stretch* stretches, int stretchCount, std::size_t count);

// Copies characters up to U+00FF, which are their own page codes, from the
// start of `text` into `codes`, stopping before the first other character;
// returns how many it copied.
std::size_t CopyLatin1Run(const char16_t* text, std::size_t count, std::uint8_t* codes);

// The self-check's fast path: true when the 2 * count carriers decode pair by
// pair to `codes` and every carrier is one of the carrier set's characters,
// 60 to 126 without the backslash: nothing that could end or escape the
// script's string.
bool CarriersCarry(const char* carriers, const std::uint8_t* codes, std::size_t count);

}  // namespace common

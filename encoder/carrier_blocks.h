// The encoder's fast path: page codes sixteen at a time, thirty-two draws of
// the generator's four lanes side by side.
#pragma once

#include <cstddef>

#include "random.h"

namespace common {

// Encodes `count` page codes (each at most 0xFF; count a multiple of 16) into
// two carriers each. The generator must stand at a step boundary and is left
// at one. The carriers are exactly those NibbleToChar gives with the same
// draws, high nibble first.
void EncodeCodeBlocks(const char16_t* codes, std::size_t count, char* out, PseudoRandom& random);

// True when each pair of carriers decodes to the character at its place;
// `carriers` holds 2 * count bytes. The self-check's fast path.
bool CarriersDecodeTo(const char* carriers, const char16_t* text, std::size_t count);

}  // namespace common

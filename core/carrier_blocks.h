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

// Copies characters up to U+00FF, which are their own page codes, from the
// start of `text` into `codes`, stopping before the first other character;
// returns how many it copied.
std::size_t CopyLatin1Run(const char16_t* text, std::size_t count, char16_t* codes);

// True when every carrier is one of the carrier set's characters, 60 to 126
// without the backslash: nothing that could end or escape the script's string.
bool CarriersAreSafe(const char* carriers, std::size_t count);

// How many characters from the start of `text` the carrier pairs decode to,
// up to the first that differs; `carriers` holds 2 * count bytes. The
// self-check's fast path.
std::size_t DecodedPrefixLength(const char* carriers, const char16_t* text, std::size_t count);

}  // namespace common

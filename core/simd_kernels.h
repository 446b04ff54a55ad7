// The encoder's vector kernels, one set per instruction set, and the choice
// of the set in use: the best the processor offers, or the one that the
// environment variable VELUMOR_SIMD names (scalar, sse2, avx2, avx512).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "carrier_blocks.h"

namespace common {

enum class SimdPath { Scalar, Sse2, Avx2, Avx512 };

// A stretch encoded from given draws instead of a generator, two draws per
// code, high nibble first: how the tests put a draw on a column's edge.
struct DrawnStretch {
  const std::uint32_t* draws;
  const std::uint8_t* codes;
  char* out;
};

struct SimdKernels {
  SimdPath path;
  std::string_view name;  // as VELUMOR_SIMD spells it
  int sideBySide;         // generators encoded at once by encodeSideBySide

  // Encode `count` page codes (a multiple of 16) into two carriers each,
  // exactly as NibbleToChar gives them with the same draws. The generators
  // stand at a step boundary before and after.
  void (*encodeOne)(const Stretch& stretch, std::size_t count);
  void (*encodeSideBySide)(const Stretch* stretches, std::size_t count);  // `sideBySide` of them
  void (*encodeDrawn)(const DrawnStretch* stretches, std::size_t count);  // `sideBySide` of them

  // The self-check: every pair decodes to its code and every carrier is one
  // of 60 to 126 without the backslash.
  bool (*carriersCarry)(const char* carriers, const std::uint8_t* codes, std::size_t count);

  // Takes the run of ASCII and two-byte sequences of U+0080 to U+00FF at the
  // start of `available` bytes and adds one page code for each character;
  // returns the bytes taken. Stops before any other byte, and may stop
  // earlier (a tail shorter than its vectors): the caller goes on from there.
  std::size_t (*latin1Check)(const unsigned char* at, std::size_t available, std::uint64_t& pageCodes);

  // The page codes of such a run, written at codes[made] on and added to
  // `made`, until `made` reaches `wanted`. May write up to
  // Latin1CodesOverhang codes past `wanted`; returns the bytes taken.
  std::size_t (*latin1Codes)(const unsigned char* at, std::size_t available, std::uint8_t* codes, std::size_t wanted,
                             std::size_t& made);
};

// One sixteen-byte store that starts at the last code wanted.
inline constexpr std::size_t Latin1CodesOverhang = 15;

// Every set built into this program, the scalar one first.
std::span<const SimdKernels* const> CompiledKernels();

// Whether this processor (and its operating system) runs the path.
bool ProcessorOffers(SimdPath path);

// The set in use, chosen once: VELUMOR_SIMD's when it names one that this
// processor offers, else the best that it offers.
const SimdKernels& ActiveKernels();

// Why VELUMOR_SIMD cannot be followed, in German; nothing when it is unset
// or names a path this processor offers. Programs refuse to start on it.
std::optional<std::u16string> SimdChoiceError();

}  // namespace common

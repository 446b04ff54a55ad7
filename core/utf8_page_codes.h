// The page codes of UTF-8 text, straight from its bytes: the path of long
// texts from files, which never become UTF-16.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#include "simd_kernels.h"

namespace common {

// The strict UTF-8 check, and for valid bytes the number of page codes the
// encoder makes of them outside scripts and styles.
struct Utf8Check {
  std::optional<std::size_t> firstInvalid;
  std::uint64_t pageCodes = 0;
};
Utf8Check CheckUtf8(std::string_view bytes, const SimdKernels& kernels = ActiveKernels());

// How far past the `wanted` codes PageCodesFromUtf8 may write.
inline constexpr std::size_t PageCodesOverhang = Latin1CodesOverhang;

// Turns UTF-8 that CheckUtf8 found valid, from bytes[position] on, into the
// page codes of its characters outside script and style elements, whole
// characters only: stops once it has `wanted` codes or the bytes end.
// `codes` has room for wanted + PageCodesOverhang; returns how many it wrote
// (at most that many) and moves `position` past the bytes it used.
std::size_t PageCodesFromUtf8(std::string_view bytes, std::size_t& position, std::uint8_t* codes, std::size_t wanted,
                              const SimdKernels& kernels = ActiveKernels());

}  // namespace common

// UTF-8 at the command line's edges; the program's texts are UTF-16.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "core/simd_kernels.h"
#include "core/utf16.h"

namespace cli {

struct Utf8Error {
  std::size_t byteOffset;  // where the first invalid sequence starts
};

// Strict decoding: overlong forms, encoded surrogates, code points above
// U+10FFFF and truncated sequences are errors.
std::variant<std::u16string, Utf8Error> DecodeUtf8(std::string_view bytes);

// The offset of the first invalid sequence under the same rules, or nothing
// when the bytes are valid UTF-8. Runs of ASCII are checked eight bytes at a
// time, so a whole input can be checked before anything is written.
std::optional<std::size_t> FirstInvalidUtf8(std::string_view bytes);

// The same check, and for valid bytes the number of page codes the encoder
// makes of them: one for each character up to U+00FF, the length of its
// character reference ("&#8364;" is 7) for any other.
struct Utf8Check {
  std::optional<std::size_t> firstInvalid;
  std::uint64_t pageCodes = 0;
};
Utf8Check CheckUtf8(std::string_view bytes, const common::SimdKernels& kernels = common::ActiveKernels());

// Decodes UTF-8 that FirstInvalidUtf8 found valid, from bytes[position] on,
// into `out`, whole characters only: a character beyond U+FFFF goes in with
// both halves of its surrogate pair or waits for the next call. Returns how
// many units it wrote (at most `capacity`, which is at least 2) and moves
// `position` past the bytes it used.
std::size_t DecodeUtf8Chunk(std::string_view bytes, std::size_t& position, char16_t* out, std::size_t capacity);

// The most page codes one character makes: "&#1114111;".
inline constexpr std::size_t LongestPageCodes = 10;

// How far past the `wanted` codes PageCodesFromUtf8 may write.
inline constexpr std::size_t PageCodesOverhang = common::Latin1CodesOverhang;

// Turns UTF-8 that CheckUtf8 found valid, from bytes[position] on, straight
// into the page codes the core makes of its characters outside script and
// style elements, whole characters only: stops once it has `wanted` codes or
// the bytes end. `codes` has room for wanted + PageCodesOverhang; returns how
// many it wrote (at most that many) and moves `position` past the bytes it
// used.
std::size_t PageCodesFromUtf8(std::string_view bytes, std::size_t& position, std::uint8_t* codes, std::size_t wanted,
                              const common::SimdKernels& kernels = common::ActiveKernels());

// The way back is the core's.
using utf16::EncodeUtf8;

}  // namespace cli

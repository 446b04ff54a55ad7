#include "decoder.h"

#include <memory>

#include "utf8.h"

namespace common {

DecodeResult DecodeStreaming(std::string_view page, const ByteSink& sink) {
  const auto blocks = FindCarrierStrings(page);
  DecodeResult result{blocks.size(), true};
  constexpr std::size_t Piece = 64 * 1024;
  const auto out = std::make_unique_for_overwrite<char[]>(Piece + 4);
  std::size_t filled = 0;
  const auto flush = [&] {
    result.written = result.written && sink(std::string_view(out.get(), filled));
    filled = 0;
  };
  for (const std::string_view carriers : blocks) {
    for (std::size_t i = 0; i < carriers.size() && result.written; i += 2) {
      // Each code is the character with that code point: one or two bytes of UTF-8.
      filled += utf8::EncodeCodePoint(static_cast<char32_t>(DecodedCode(carriers, i)), out.get() + filled);
      if (filled >= Piece) flush();
    }
    out[filled++] = '\n';
  }
  if (filled > 0) flush();
  return result;
}

}  // namespace common

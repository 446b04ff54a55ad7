// The UTF-8 check, the decoders and the page codes against the plain
// versions in reference.h, the check and the page codes with every kernel
// set this processor runs. The first two bytes choose the buffer sizes.
#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <variant>

#include "core/simd_kernels.h"
#include "core/utf8.h"
#include "core/utf8_page_codes.h"
#include "reference.h"

namespace {

using reference::Check;

void CheckTheCheck(std::string_view bytes, const common::SimdKernels& kernels) {
  const auto expected = reference::FirstInvalid(bytes);
  Check(utf8::FirstInvalid(bytes) == expected, "FirstInvalidUtf8: wrong offset");
  const common::Utf8Check check = common::CheckUtf8(bytes, kernels);
  Check(check.firstInvalid == expected, "CheckUtf8: wrong offset");
  const auto decoded = utf8::Decode(bytes);
  if (expected) {
    const auto* error = std::get_if<utf8::Error>(&decoded);
    Check(error && error->byteOffset == *expected, "DecodeUtf8: wrong error offset");
    return;
  }
  const std::vector<char32_t> points = reference::CodePoints(bytes);
  Check(check.pageCodes == reference::PageCodes(points).size(), "CheckUtf8: wrong number of page codes");
  const auto* text = std::get_if<std::u16string>(&decoded);
  Check(text && *text == reference::Utf16(points), "Decode: wrong text");
}

// The page codes `wanted` at a time, into a buffer of exactly the room the
// header promises.
void CheckPageCodes(std::string_view valid, std::size_t wanted, const common::SimdKernels& kernels) {
  const std::vector<char32_t> points = reference::CodePoints(valid);
  const auto room = std::make_unique<std::uint8_t[]>(wanted + common::PageCodesOverhang);
  std::size_t position = 0, character = 0;
  while (position < valid.size()) {
    const std::size_t before = position;
    const std::size_t made = common::PageCodesFromUtf8(valid, position, room.get(), wanted, kernels);
    Check(position > before && position <= valid.size(), "PageCodesFromUtf8: no progress");
    Check(made <= wanted + common::PageCodesOverhang, "PageCodesFromUtf8: more codes than room");
    Check(made >= wanted || position == valid.size(), "PageCodesFromUtf8: stopped short");
    // The bytes it took are whole characters, and their codes are what it wrote.
    std::string expected;
    for (std::size_t at = before; at < position; ++character) {
      const int length = reference::WellFormedLength(valid, at);
      Check(length > 0, "PageCodesFromUtf8: stopped inside a character");
      expected += reference::PageCodesOf(points[character]);
      at += static_cast<std::size_t>(length);
    }
    Check(expected == std::string(reinterpret_cast<const char*>(room.get()), made), "PageCodesFromUtf8: wrong codes");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const std::size_t wanted = 1 + data[1] % 80;
  const std::string_view bytes(reinterpret_cast<const char*>(data + 2), size - 2);
  // Most inputs are not UTF-8 for long: the decoders get the valid parts,
  // in a buffer of their own size.
  const std::string valid = reference::OnlyValid(bytes);
  const auto copy = std::make_unique<char[]>(valid.size());
  std::copy(valid.begin(), valid.end(), copy.get());
  const std::string_view exact(copy.get(), valid.size());
  for (const common::SimdKernels* kernels : common::CompiledKernels()) {
    if (!common::ProcessorOffers(kernels->path)) continue;
    CheckTheCheck(bytes, *kernels);
    CheckTheCheck(exact, *kernels);
    CheckPageCodes(exact, wanted, *kernels);
  }
  return 0;
}

// The strict UTF-8 rules, and the page codes straight from UTF-8 on every
// kernel set this processor runs.
#include "core/utf8.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "core/simd_kernels.h"
#include "core/utf8_page_codes.h"

namespace {

TEST(Utf8, StrictDecodingNamesTheOffsetOfTheFirstBadSequence) {
  const auto offset = [](std::string_view bytes) {
    const auto result = utf8::Decode(bytes);
    return std::holds_alternative<utf8::Error>(result) ? std::get<utf8::Error>(result).byteOffset : std::string::npos;
  };
  const std::pair<std::string, std::size_t> cases[] = {
      {"ok", std::string::npos},
      {"a\xC0\xAF", 1},         // overlong
      {"ab\xED\xA0\x80", 2},    // encoded surrogate
      {"\xF4\x90\x80\x80", 0},  // beyond U+10FFFF
      {"abc\xE2\x82", 3},       // cut short
      {"\x80", 0},
      {"\xC3", 0},
      {"\xC3\xC3\xA4", 0},
  };
  // Behind Western text the check goes sixteen bytes at a time: the same
  // offsets, wherever a block boundary falls.
  const std::string western =
      "Gr\xC3\xBC\xC3\x9F"
      "e aus K\xC3\xB6ln, sch\xC3\xB6ne Tage \xC3\xBC"
      "ber";
  for (const std::size_t cut : {0u, 1u, 2u, 9u, 13u, 15u, 16u, 17u, 24u, 32u, 34u}) {
    const std::string prefix = western.substr(0, cut), suffix = western + western;
    for (const auto& [bytes, at] : cases) {
      EXPECT_EQ(offset(prefix + bytes + suffix), at == std::string::npos ? at : cut + at) << cut << " " << bytes;
    }
  }
}

TEST(Utf8, RoundTripOfAllPlanes) {
  const std::u16string text = u"aä€\U0001F600\uFFFF";
  EXPECT_EQ(std::get<std::u16string>(utf8::Decode(utf8::EncodeUtf8(text))), text);
  EXPECT_EQ(utf8::EncodeUtf8(u"\xD800x"), "\xEF\xBF\xBDx");
}

// The UTF-8 kernel sets this processor runs; each is held to the scalar one.
std::vector<const common::SimdKernels*> OfferedKernels() {
  std::vector<const common::SimdKernels*> offered;
  for (const common::SimdKernels* kernels : common::CompiledKernels()) {
    if (common::ProcessorOffers(kernels->path)) offered.push_back(kernels);
  }
  return offered;
}

// All page codes of a valid text, asked for `wanted` at a time into a
// buffer of exactly the room allowed, with a guard behind it.
std::string PageCodesInPieces(std::string_view text, std::size_t wanted, const common::SimdKernels& kernels) {
  constexpr std::uint8_t Untouched = 0xEE;
  std::string all;
  std::vector<std::uint8_t> codes(wanted + common::PageCodesOverhang + 32);
  for (std::size_t position = 0; position < text.size();) {
    std::fill(codes.begin(), codes.end(), Untouched);
    const std::size_t n = common::PageCodesFromUtf8(text, position, codes.data(), wanted, kernels);
    EXPECT_LE(n, wanted + common::PageCodesOverhang);
    const auto guard = codes.begin() + static_cast<std::ptrdiff_t>(wanted + common::PageCodesOverhang);
    EXPECT_TRUE(std::all_of(guard, codes.end(), [](std::uint8_t c) { return c == Untouched; }))
        << "written past the room for " << wanted;
    all.append(codes.begin(),
               codes.begin() + static_cast<std::ptrdiff_t>(std::min(n, wanted + common::PageCodesOverhang)));
  }
  return all;
}

TEST(Utf8Kernels, EveryPathChecksAndCodesLikeTheScalarOne) {
  // One piece at every place of runs that cross every vector width, in
  // ASCII and in Latin-1 letters.
  const std::string pieces[] = {"\xC3\xA4", "\xC4\x80", "\xE2\x82\xAC", "\U0010FFFF",      "\xC3",
                                "\x80",     "\xC0\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80"};
  const common::SimdKernels& scalar = *common::CompiledKernels().front();
  for (const common::SimdKernels* kernels : OfferedKernels()) {
    for (const std::string& unit : {std::string("a"), std::string("\xC3\xA4"), std::string("a\xC3\xBF")}) {
      for (std::size_t length = 0; length <= 34; ++length) {
        std::string run;
        for (std::size_t k = 0; k < length; ++k) run += unit;
        for (const std::string& piece : pieces) {
          for (std::size_t at = 0; at <= run.size(); ++at) {
            const std::string text = run.substr(0, at) + piece + run.substr(at);
            const common::Utf8Check expected = common::CheckUtf8(text, scalar),
                                    made = common::CheckUtf8(text, *kernels);
            ASSERT_EQ(made.firstInvalid, expected.firstInvalid) << kernels->name << " " << length << " " << at;
            ASSERT_EQ(made.pageCodes, expected.pageCodes) << kernels->name << " " << length << " " << at;
            if (expected.firstInvalid) continue;
            const std::string codes = PageCodesInPieces(text, 4 * text.size(), scalar);
            ASSERT_EQ(codes.size(), expected.pageCodes);
            for (const std::size_t wanted : {1u, 7u, 16u, 17u, 33u}) {
              ASSERT_EQ(PageCodesInPieces(text, wanted, *kernels), codes)
                  << kernels->name << " " << length << " " << at << " " << wanted;
            }
          }
        }
      }
    }
  }
}

}  // namespace

// Inputs the fuzz targets (tests/fuzz) found faults with, kept as plain
// tests so the faults stay fixed in every build, also without libFuzzer.
#include <gtest/gtest.h>

#include <string>
#include <variant>

#include "cli/stream_codec.h"
#include "cli/utf8.h"
#include "core/common.h"
#ifdef VELUMOR_WITH_REWRITE
#include "cli/site_rewrite.h"
#endif

namespace {

TEST(FuzzFindings, PiecesOfFewCodesEndingInAReferenceGiveTheWholeBlock) {
  // An ASCII run that reaches the count asked for just before a character
  // beyond Latin-1: its reference went past the piece's buffer.
  const std::string text = std::string("l=c\"\u2B2Cl=\x01") + std::string(7, '\0') + "l=c\"\u2B2C";
  common::PseudoRandom wholeRandom(7);
  const std::string whole = *common::EncodeText(std::get<std::u16string>(cli::DecodeUtf8(text)), wholeRandom);
  for (std::size_t segment : {1u, 5u, 64u}) {
    const auto plan = std::get<cli::EncodingPlan>(cli::PlanEncoding(text, segment));
    for (std::size_t chunk = 1; chunk <= 24; ++chunk) {
      std::string streamed;
      const auto keep = [&](std::string_view piece) {
        streamed += piece;
        return true;
      };
      EXPECT_EQ(cli::EncodeStreaming(plan, common::PseudoRandom(7), keep, chunk, 1), cli::StreamResult::Done);
      EXPECT_EQ(streamed, whole) << "segments of " << segment << ", pieces of " << chunk;
    }
  }
}

}  // namespace

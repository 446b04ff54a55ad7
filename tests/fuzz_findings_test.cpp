// Inputs the fuzz targets (tests/fuzz) found faults with, kept as plain
// tests so the faults stay fixed in every build, also without libFuzzer.
#include <gtest/gtest.h>

#include <string>
#include <variant>

#include "core/common.h"
#include "core/stream_encoder.h"
#include "core/utf8.h"

namespace {

TEST(FuzzFindings, PiecesOfFewCodesEndingInAReferenceGiveTheWholeBlock) {
  // An ASCII run that reaches the count asked for just before a character
  // beyond Latin-1: its reference went past the piece's buffer.
  const std::string text = std::string("l=c\"\u2B2Cl=\x01") + std::string(7, '\0') + "l=c\"\u2B2C";
  common::PseudoRandom wholeRandom(7);
  const std::string whole = *common::EncodeText(std::get<std::u16string>(utf8::Decode(text)), wholeRandom);
  for (std::size_t segment : {1u, 5u, 64u}) {
    const auto plan = std::get<common::EncodingPlan>(common::PlanEncoding(text, segment));
    for (std::size_t chunk = 1; chunk <= 24; ++chunk) {
      std::string streamed;
      const auto keep = [&](std::string_view piece) {
        streamed += piece;
        return true;
      };
      EXPECT_EQ(common::EncodeStreaming(plan, common::PseudoRandom(7), keep, common::BlockFrame::Script(), 1, chunk),
                common::StreamResult::Done);
      EXPECT_EQ(streamed, whole) << "segments of " << segment << ", pieces of " << chunk;
    }
  }
}

}  // namespace

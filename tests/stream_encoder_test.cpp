// Long texts in pieces, on threads: the block of the whole text.
#include "core/stream_encoder.h"

#include <gtest/gtest.h>

#include "core/common.h"
#include "core/decoder.h"
#include "core/utf8.h"
#include "core/utf8_page_codes.h"

namespace {

TEST(EncodeStreaming, PiecesGiveTheBlockOfTheWholeText) {
  // Piece boundaries fall inside UTF-8 sequences, between the halves of a
  // surrogate pair and inside the references the core writes out.
  const std::string text =
      "a\xC3\xA4\xE2\x82\xAC\xF0\x9F\x98\x80"
      "bc\xF0\x9F\x98\x80\xF0\x9F\x98\x80\xC3\xBF\xE2\x80\x9E"
      "z0123456789abcdefghijklmnopq\xE2\x80\x93"
      "Gr\xC3\xBC\xC3\x9F"
      "e aus K\xC3\xB6ln, sch\xC3\xB6ne Tage \xC3\xBC\xC3\xBC\xC3\xBC\xC3\xBC\xC3\xBC\xC3\xBC\xC4\x80" +
      [] {  // a two-byte sequence at every place of a sixteen-byte step
        std::string steps;
        for (int k = 0; k <= 16; ++k) steps += std::string(k, 'x') + "\xC3\xBC";
        return steps;
      }();
  const std::u16string whole = std::get<std::u16string>(utf8::Decode(text));
  common::PseudoRandom wholeRandom(11);
  const std::string expected = *common::EncodeText(whole, wholeRandom);
  const auto carriers = common::FindCarrierStrings(std::string_view(expected));
  ASSERT_EQ(carriers.size(), 1u);
  EXPECT_EQ(common::CheckUtf8(text).pageCodes, common::DecodeCarriers(carriers[0]).size());
  // Segments, encoded on two threads from a generator moved ahead, too.
  for (const std::size_t segment : {1u, 5u, 13u, 1000u}) {
    const auto plan = std::get<common::EncodingPlan>(common::PlanEncoding(text, segment));
    for (const std::size_t chunk : {2u, 3u, 5u, 7u, 16u, 32u, 48u, 64u, 4096u}) {
      std::string streamed;
      const auto keep = [&](std::string_view piece) {
        streamed += piece;
        return true;
      };
      EXPECT_EQ(common::EncodeStreaming(plan, common::PseudoRandom(11), keep, common::BlockFrame::Script(), 2, chunk),
                common::StreamResult::Done);
      EXPECT_EQ(streamed, expected) << "segments of " << segment << ", pieces of " << chunk;
    }
  }
}

TEST(EncodeStreaming, AScriptOrStyleStartingInAnySegmentKeepsTheTextWhole) {
  const auto plain = [](std::string_view text, std::size_t segment) {
    return std::get<common::EncodingPlan>(common::PlanEncoding(text, segment)).piecesEncodeLikeTheWhole;
  };
  for (const std::string_view text : {"ab<script>x", "ab<STYLE>"}) {
    for (std::size_t segment = 1; segment <= text.size(); ++segment)
      EXPECT_FALSE(plain(text, segment)) << text << segment;
  }
  EXPECT_TRUE(plain("ab<scrip t><styl>", 3));
}

}  // namespace

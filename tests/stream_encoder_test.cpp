// Long texts in pieces, on threads: the block of the whole text.
#include "core/stream_encoder.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

#include "core/common.h"
#include "core/decoder.h"
#include "core/utf8.h"
#include "core/utf8_page_codes.h"

namespace {

// The block EncodeStreaming writes for `text` in each of these segment and
// piece sizes, on `threads`, against the block of the whole text.
void ExpectStreamedLikeTheWhole(const std::string& text, std::uint64_t seed, unsigned threads,
                                std::initializer_list<std::size_t> segments, std::initializer_list<std::size_t> chunks,
                                const std::string& expected) {
  for (const std::size_t segment : segments) {
    const auto plan = std::get<common::EncodingPlan>(common::PlanEncoding(text, segment));
    for (const std::size_t chunk : chunks) {
      std::string streamed;
      const auto keep = [&](std::string_view piece) {
        streamed += piece;
        return true;
      };
      EXPECT_EQ(
          common::EncodeStreaming(plan, common::PseudoRandom(seed), keep, common::BlockFrame::Script(), threads, chunk),
          common::StreamResult::Done);
      EXPECT_EQ(streamed, expected) << "segments of " << segment << ", pieces of " << chunk;
    }
  }
}

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
  ExpectStreamedLikeTheWhole(text, 11, 2, {1, 5, 13, 1000}, {2, 3, 5, 7, 16, 32, 48, 64, 4096}, expected);
}

TEST(EncodeStreaming, PiecesOfFewCodesEndingInAReferenceGiveTheWholeBlock) {
  // Found by fuzzing: an ASCII run that reaches the count asked for just
  // before a character beyond Latin-1; its reference went past the piece's
  // buffer.
  const std::string text = std::string("l=c\"\u2B2Cl=\x01") + std::string(7, '\0') + "l=c\"\u2B2C";
  common::PseudoRandom wholeRandom(7);
  const std::string whole = *common::EncodeText(std::get<std::u16string>(utf8::Decode(text)), wholeRandom);
  ExpectStreamedLikeTheWhole(text, 7, 1, {1, 5, 64},
                             {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24},
                             whole);
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

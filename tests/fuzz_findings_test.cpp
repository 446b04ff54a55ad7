// Inputs the fuzz targets (tests/fuzz) found faults with, kept as plain
// tests so the faults stay fixed in every build, also without libFuzzer.
#include <gtest/gtest.h>

#include <string>
#include <variant>

#include "core/common.h"
#include "core/stream_encoder.h"
#include "core/utf8.h"
#ifdef VELUMOR_WITH_REWRITE
#include "rewrite/page_rewrite.h"
#endif

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

#ifdef VELUMOR_WITH_REWRITE
// A second --rewrite of a rewritten page must find nothing left to do. Here
// it does: a mailto link inside another, which the parser closes before the
// inner one and which has an end tag of its own once the inner one is a
// block (on a UTF-8 page with a stray byte in it the second run even
// refuses the page), and an address behind a stray end tag with a quotation
// mark in it. Disabled until the rewrite reads these pages alike both times.
TEST(FuzzFindings, ASecondRewriteChangesNothing) {
  const std::string pages[] = {
      "<a href=mailto:a@b.de><a href=mailto:c@d.de>x</a></a>",
      "\xEF\xBB\xBF<a href=mailto:a@b.de>\xFF<a href=mailto:c@d.de>x</a></a>",
      "a@b.de</t=\">c@d.de",
  };
  // The page rewritten whole, or the reason why not.
  const auto rewritten = [](const std::string& page, const rewrite::RewriteSettings& settings) {
    common::PseudoRandom random(5);
    std::string written;
    const rewrite::PageEvents events{[](std::size_t, std::string_view) {},
                                     [](std::size_t, std::string_view, rewrite::LeftAlone) {},
                                     [&](std::string_view bytes) {
                                       written += bytes;
                                       return true;
                                     }};
    const auto result = rewrite::RewritePage(page, settings, random, events);
    if (const auto* reason = std::get_if<std::string>(&result)) return "FEHLER " + *reason;
    return std::get<rewrite::PageResult>(result).protectedSpans == 0 ? page : written;
  };
  for (const rewrite::BlockFormat format : {rewrite::BlockFormat::Script, rewrite::BlockFormat::Data}) {
    const rewrite::RewriteSettings settings{format, "!", false};
    for (const std::string& page : pages) {
      const std::string once = rewritten(page, settings);
      ASSERT_FALSE(once.starts_with("FEHLER")) << once << "\n" << page;
      EXPECT_EQ(rewritten(once, settings), once) << page;
    }
  }
}
#endif

}  // namespace

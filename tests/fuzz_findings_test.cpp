// Inputs the fuzz targets (tests/fuzz) found faults with, kept as plain
// tests so the faults stay fixed in every build, also without libFuzzer.
#include <gtest/gtest.h>

#include <string>
#include <variant>

#include "cli/stream_codec.h"
#include "cli/utf8.h"
#include "core/common.h"
#ifdef VELUMOR_WITH_REWRITE
#include "cli/data_reveal.h"
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

#ifdef VELUMOR_WITH_REWRITE
// A second --rewrite of a rewritten page must find nothing left to do. Here
// it does: a mailto link inside another, which the parser closes before the
// inner one and which has an end tag of its own once the inner one is a
// block (on a UTF-8 page with a stray byte in it the second run even
// refuses the page), and an address behind a stray end tag with a quotation
// mark in it. Disabled until the rewrite reads these pages alike both times.
TEST(FuzzFindings, DISABLED_ASecondRewriteChangesNothing) {
  const std::string pages[] = {
      "<a href=mailto:a@b.de><a href=mailto:c@d.de>x</a></a>",
      "\xEF\xBB\xBF<a href=mailto:a@b.de>\xFF<a href=mailto:c@d.de>x</a></a>",
      "a@b.de</t=\">c@d.de",
  };
  for (const cli::BlockFormat format : {cli::BlockFormat::Script, cli::BlockFormat::Data}) {
    const cli::RewriteSettings settings{format, cli::DataElementRest(cli::Reveal::Load, "!"), false};
    for (const std::string& page : pages) {
      common::PseudoRandom random(5);
      const auto once = cli::RewritePage(page, settings, random);
      ASSERT_TRUE(std::holds_alternative<cli::RewrittenPage>(once)) << page;
      const std::string& bytes = std::get<cli::RewrittenPage>(once).bytes;
      const auto twice = cli::RewritePage(bytes, settings, random);
      if (const auto* reason = std::get_if<std::string>(&twice)) {
        ADD_FAILURE() << *reason << "\n" << page;
        continue;
      }
      EXPECT_EQ(std::get<cli::RewrittenPage>(twice).bytes, bytes) << page;
      EXPECT_TRUE(std::get<cli::RewrittenPage>(twice).spans.empty()) << page;
    }
  }
}
#endif

}  // namespace

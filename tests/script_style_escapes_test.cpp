#include <gtest/gtest.h>

#include "core/common.h"
#include "core/decoder.h"

namespace {

struct Case {
  std::u16string_view text, page;
};

// What the block writes: escapes only where references would stay literal.
TEST(ScriptBlock, EscapesInsideScriptsAndStylesReferencesElsewhere) {
  const Case cases[] = {
      {u"<script>var s=\"12 €\";</script> €", u"<script>var s=\"12 \\u20AC\";</script> &#8364;"},
      {u"<SCRIPT type=\"x>y\">\"😀\"</script >", u"<SCRIPT type=\"x>y\">\"\\uD83D\\uDE00\"</script >"},
      {u"<style>p::after{content:\"€1\"}</style>", u"<style>p::after{content:\"\\20AC 1\"}</style>"},
      {u"<style>q{content:\"😀\"}</STYLE/>€", u"<style>q{content:\"\\1F600 \"}</STYLE/>&#8364;"},
      {u"<p title=\"€\">€</p>", u"<p title=\"&#8364;\">&#8364;</p>"},
      {u"<!-- <script> -->€", u"<!-- <script> -->&#8364;"},
      {u"<title><script></title>€", u"<title><script></title>&#8364;"},
      {u"<textarea></script></textarea>€", u"<textarea></script></textarea>&#8364;"},
      {u"<script>\"</scripts>€\"</script>€", u"<script>\"</scripts>\\u20AC\"</script>&#8364;"},
      {u"<script>€", u"<script>\\u20AC"},
      {u"a < b €", u"a < b &#8364;"},
  };
  for (const Case& c : cases) {
    common::PseudoRandom random(5);
    const auto block = common::EncodeText(c.text, random);
    ASSERT_TRUE(block);
    EXPECT_EQ(common::DecodeCarriers(common::FindCarrierStrings(*block).at(0)), c.page)
        << std::string(c.text.begin(), c.text.end());
  }
}

}  // namespace

#include "core/decoder.h"

#include <gtest/gtest.h>

#include "core/common.h"
#include "core/random.h"

namespace {

std::string Block(std::u16string_view text, std::uint64_t seed) {
  common::PseudoRandom random(seed);
  return common::EncodeText(text, random).value();
}

TEST(FindCarrierStrings, ToleratesChangedLineBreaksAndIgnoresLookalikes) {
  std::string block = Block(u"x@y.de", 5);
  for (std::size_t at = block.find("\r\n"); at != std::string::npos; at = block.find("\r\n", at)) {
    block.erase(at, 1);
  }
  const std::string page = "var c=\"AB\";alert(c);\n" + block;
  const auto found = common::FindCarrierStrings(page);
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(common::DecodeCarriers(found[0]), u"x@y.de");
  EXPECT_TRUE(common::FindCarrierStrings(std::string_view("<p>kein Block</p>")).empty());
}

TEST(DecodeCarriers, AnOddLastCarrierCountsLikeTheScriptsMissingCharacter) {
  // charCodeAt past the end is NaN, and NaN & 15 is 0.
  EXPECT_EQ(common::DecodeCarriers(std::string_view("FqD")), u"a@");
  EXPECT_EQ(common::DecodeCarriers(std::string_view("")), u"");
}

TEST(DecodeCarriers, WorksOnSixteenBitPages) {
  const std::string block = Block(u"Grüße", 9);
  const std::u16string page(block.begin(), block.end());
  const auto found = common::FindCarrierStrings(std::u16string_view(page));
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(common::DecodeCarriers(found[0]), u"Grüße");
}

}  // namespace

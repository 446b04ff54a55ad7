#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "core/common.h"
#include "core/decoder.h"
#include "core/random.h"
#include "fixed_draws.h"

namespace {

using common::NibbleToChar;

// The carrier table, column by column (k = 0 to 3), nibble 0 to 15 in each.
const std::string CarrierColumns[4] = {"@ABCDEFGHIJKLMNO", "PQRSTUVWXYZ[<]^_", "`abcdefghijklmno", "pqrstuvwxyz{|}~?"};

// The largest draw that still gives column j - 1; the next double gives j.
double LastDrawBelowColumn(int j) {
  double r = j / 3.9;
  while (static_cast<int>(r * 3.9) >= j) r = std::nextafter(r, 0.0);
  while (static_cast<int>(std::nextafter(r, 1.0) * 3.9) < j) r = std::nextafter(r, 1.0);
  return r;
}

int CarrierFor(int nibble, double draw) {
  FixedDraws random({draw});
  return NibbleToChar(nibble, random);
}

TEST(NibbleToChar, EveryCellOfTheCarrierTable) {
  const double columnDraws[4] = {0.0, 0.3, 0.6, 0.9};
  for (int k = 0; k < 4; ++k) {
    for (int nibble = 0; nibble < 16; ++nibble) {
      EXPECT_EQ(CarrierFor(nibble, columnDraws[k]), CarrierColumns[k][nibble]) << "k=" << k << " n=" << nibble;
    }
  }
}

TEST(NibbleToChar, ColumnEdgesFollowTheFactorThreePointNine) {
  for (int j = 1; j <= 3; ++j) {
    const double below = LastDrawBelowColumn(j);
    const double at = std::nextafter(below, 1.0);
    EXPECT_EQ(CarrierFor(7, below), CarrierColumns[j - 1][7]) << "edge " << j;
    EXPECT_EQ(CarrierFor(7, at), CarrierColumns[j][7]) << "edge " << j;
  }
  // The fourth column starts at 3/3.9, not at 0.75.
  EXPECT_EQ(CarrierFor(1, 0.76), 'a');
  EXPECT_EQ(CarrierFor(1, std::nextafter(1.0, 0.0)), 'q');
}

TEST(PseudoRandom, DrawsStayInTheUnitIntervalAndFillAllColumns) {
  common::PseudoRandom random(7);
  int columns[4] = {};
  for (int i = 0; i < 39000; ++i) {
    const double r = random.Next();
    ASSERT_GE(r, 0.0);
    ASSERT_LT(r, 1.0);
    ++columns[static_cast<int>(r * 3.9)];
  }
  for (int k = 0; k < 3; ++k) EXPECT_NEAR(columns[k], 10000, 400);
  EXPECT_NEAR(columns[3], 9000, 400);
}

std::string Block(std::u16string_view text, std::uint64_t seed = 1) {
  common::PseudoRandom random(seed);
  return common::EncodeText(text, random).value();
}

TEST(ScriptBlock, HasTheSixLinesWithTheCarriersInTheSlot) {
  FixedDraws random({0.0, 0.9, 0.9, 0.6, 0.3, 0.3});  // high nibble first: F q v b V S
  const std::string block = common::EncodeText(u"abc", random).value();
  EXPECT_EQ(block,
            "<script language=\"JavaScript\" type=\"text/javascript\">\r\n"
            "<!--\r\n"
            "var c=\"FqvbVS\";var s=\"\";for(var i=0;i<c.length;)s+=String.fromCharCode(((c.charCodeAt(i++)&15)"
            "<<4)|(c.charCodeAt(i++)&15));document.write(s);\r\n"
            "//-->\r\n"
            "</script>\r\n"
            "<noscript><br><b>*** Bitte aktivieren Sie JavaScript in Ihrem Browser ***</b><br></noscript>\r\n");
  EXPECT_EQ(block.size(), 316u);
  EXPECT_EQ(random.count(), 6u);
}

// What the page gets for each text: Latin-1 as it is (two carriers per
// character), anything beyond as a numeric character reference.
TEST(ScriptBlock, RoundTripsAsThePageGetsTheText) {
  const struct {
    std::u16string_view text, page;
  } cases[] = {
      {u"Grüße an info@example.com\\\r\n\"ÿ\u00A0\x01", u"Grüße an info@example.com\\\r\n\"ÿ\u00A0\x01"},
      {u"\u0080\u009F", u"\u0080\u009F"},  // C1 controls lie within the code range
      {u"5 €", u"5 &#8364;"},
      {u"„Zitat“ – …", u"&#8222;Zitat&#8220; &#8211; &#8230;"},
      {u"Łódź Жук", u"&#321;ód&#378; &#1046;&#1091;&#1082;"},
      {u"\U0001F600!", u"&#128512;!"},
      {u"a\xD800"
       u"b\xDC00",
       u"a&#65533;b&#65533;"},  // lone surrogates
  };
  for (const auto& c : cases) {
    const std::string block = Block(c.text);
    EXPECT_EQ(block.size(), 310 + 2 * c.page.size());
    const auto found = common::FindCarrierStrings(block);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(common::DecodeCarriers(found[0]), c.page);
  }
  EXPECT_NE(Block(u"info@example.com", 1), Block(u"info@example.com", 2));
}

TEST(SelfCheck, ABlockThatWouldWriteSomethingElseIsNotHandedOut) {
  // A broken generator (draws below 0) makes a quote (34) for nibble 2,
  // which would end the carrier string early.
  FixedDraws broken({-0.6});
  EXPECT_FALSE(common::EncodeText(u"\"", broken).has_value());
  FixedDraws fine({0.5});
  EXPECT_TRUE(common::EncodeText(u"\"", fine).has_value());
}

// The carriers one NibbleToChar call at a time, the way the generic path
// does it for any generator.
std::string ScalarCarriers(std::u16string_view text, common::PseudoRandom random) {
  std::string carriers;
  for (std::size_t i = 0; i < text.size(); ++i) {
    common::ForEachPageCode(text, i, [&](int code) {
      carriers.push_back(static_cast<char>(common::NibbleToChar(code >> 4, random)));
      carriers.push_back(static_cast<char>(common::NibbleToChar(code & 15, random)));
    });
  }
  return carriers;
}

TEST(FastPath, GivesExactlyTheCarriersOfOneDrawPerCall) {
  std::u16string text;
  for (int i = 0; i < 3000; ++i) {
    text.push_back(static_cast<char16_t>(i % 7 == 0 ? 0xE4 : 'a' + i % 26));
    if (i % 97 == 0) text += u"€";            // breaks a fast block and shifts the draws
    if (i % 331 == 0) text += u"\U0001F600";  // a reference with an odd digit count
  }
  for (std::uint64_t seed : {0ull, 1ull, 86399ull}) {
    const std::string block = Block(text, seed);
    EXPECT_EQ(std::string(common::FindCarrierStrings(block).at(0)), ScalarCarriers(text, common::PseudoRandom(seed)));
  }
}

TEST(FastPath, ColumnThresholdsAgreeWithTheProductAtTheirEdges) {
  const auto& t = common::CarrierColumnThresholds();
  const auto column = [](std::uint32_t x) { return static_cast<int>(static_cast<double>(x) * 0x1.0p-32 * 3.9); };
  const std::uint32_t starts[3] = {t.start1, t.start2, t.start3};
  for (int k = 1; k <= 3; ++k) {
    EXPECT_EQ(column(starts[k - 1]), k);
    EXPECT_EQ(column(starts[k - 1] - 1), k - 1);
  }
  EXPECT_EQ(column(0xFFFFFFFFu), 3);
}

TEST(FastPath, SelfCheckSpotsASingleWrongOrUnsafeCarrierAnywhere) {
  // 0xCC: both nibbles are 12, the backslash's.
  const std::u16string text(1000, u'\u00CC');
  const std::vector<std::uint8_t> codes(text.size(), 0xCC);
  const std::string good(common::FindCarrierStrings(Block(text, 4)).at(0));
  EXPECT_TRUE(common::CarriersCarry(good.data(), codes.data(), codes.size()));
  for (std::size_t at : {0u, 15u, 16u, 999u, 1998u, 1999u}) {
    std::string bad = good;
    bad[at] = static_cast<char>(bad[at] ^ 1);
    EXPECT_FALSE(common::CarriersCarry(bad.data(), codes.data(), codes.size())) << at;
    // A backslash decodes to the same nibble but could escape the string.
    bad[at] = '\\';
    EXPECT_FALSE(common::CarriersCarry(bad.data(), codes.data(), codes.size())) << at;
  }
}

}  // namespace

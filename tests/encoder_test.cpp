#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "core/common.h"
#include "core/decoder.h"
#include "core/random.h"

namespace {

using common::NibbleToChar;

// Hands out the given draws in order, then starts over.
struct FixedDraws {
  std::vector<double> draws;
  std::size_t next = 0;
  double Next() { return draws[next++ % draws.size()]; }
};

// The carrier table, column by column (k = 0 to 3), nibble 0 to 15 in each.
const std::string CarrierColumns[4] = {"@ABCDEFGHIJKLMNO", "PQRSTUVWXYZ[<]^_", "`abcdefghijklmno", "pqrstuvwxyz{|}~?"};

// The first draw that gives column k (1 to 3) under int(r * 3.9); the double
// just below it still gives k - 1.
double FirstDrawOfColumn(int k) {
  double r = k / 3.9;
  while (static_cast<int>(r * 3.9) >= k) r = std::nextafter(r, 0.0);
  while (static_cast<int>(r * 3.9) < k) r = std::nextafter(r, 1.0);
  return r;
}

// Every cell at both ends of its column: the factor is 3.9, not 4, so the
// fourth column starts at 3/3.9, not at 0.75.
TEST(NibbleToChar, EveryCellAtBothEndsOfItsColumn) {
  for (int k = 0; k < 4; ++k) {
    const double first = k == 0 ? 0.0 : FirstDrawOfColumn(k);
    const double last = std::nextafter(k == 3 ? 1.0 : FirstDrawOfColumn(k + 1), 0.0);
    for (int nibble = 0; nibble < 16; ++nibble) {
      FixedDraws random{{first, last}};
      EXPECT_EQ(NibbleToChar(nibble, random), CarrierColumns[k][nibble]) << "first draw, k=" << k << " n=" << nibble;
      EXPECT_EQ(NibbleToChar(nibble, random), CarrierColumns[k][nibble]) << "last draw, k=" << k << " n=" << nibble;
    }
  }
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
  FixedDraws random{{0.0, 0.9, 0.9, 0.6, 0.3, 0.3}};  // high nibble first: F q v b V S
  EXPECT_EQ(common::EncodeText(u"abc", random).value(),
            "<script language=\"JavaScript\" type=\"text/javascript\">\r\n"
            "<!--\r\n"
            "var c=\"FqvbVS\";var s=\"\";for(var i=0;i<c.length;)s+=String.fromCharCode(((c.charCodeAt(i++)&15)"
            "<<4)|(c.charCodeAt(i++)&15));document.write(s);\r\n"
            "//-->\r\n"
            "</script>\r\n"
            "<noscript><br><b>*** Bitte aktivieren Sie JavaScript in Ihrem Browser ***</b><br></noscript>\r\n");
  EXPECT_EQ(random.next, 6u);  // one draw per carrier
}

// What the page gets for each text: Latin-1 as it is (two carriers per
// character), anything beyond as a numeric character reference, or as an
// escape inside a script or a style, where a reference would stay literal.
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
      {u"a\xD800-\xDC00", u"a&#65533;-&#65533;"},  // lone surrogates
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
  for (const auto& c : cases) {
    const std::string block = Block(c.text);
    EXPECT_EQ(block.size(), 310 + 2 * c.page.size());
    // Read back as a browser holds the page: in 16-bit characters.
    const std::u16string page(block.begin(), block.end());
    EXPECT_EQ(common::DecodeCarriers(common::FindCarrierStrings(std::u16string_view(page)).at(0)), c.page);
  }
  EXPECT_NE(Block(u"info@example.com", 1), Block(u"info@example.com", 2));
}

TEST(SelfCheck, ABlockThatWouldWriteSomethingElseIsNotHandedOut) {
  // A broken generator (draws below 0) makes a quote (34) for nibble 2,
  // which would end the carrier string early.
  FixedDraws broken{{-0.6}};
  EXPECT_FALSE(common::EncodeText(u"\"", broken).has_value());
}

TEST(FindCarrierStrings, ToleratesChangedLineBreaksAndIgnoresLookalikes) {
  std::string block = Block(u"x@y.de", 5);
  std::erase(block, '\r');
  const std::string page = "var c=\"AB\";alert(c);\n" + block;
  const auto found = common::FindCarrierStrings(page);
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(common::DecodeCarriers(found[0]), u"x@y.de");
}

TEST(DecodeCarriers, AnOddLastCarrierCountsLikeTheScriptsMissingCharacter) {
  // charCodeAt past the end is NaN, and NaN & 15 is 0.
  EXPECT_EQ(common::DecodeCarriers(std::string_view("FqD")), u"a@");
  EXPECT_EQ(common::DecodeCarriers(std::string_view("")), u"");
}

// Any generator but PseudoRandom itself takes the generic path: one draw
// per NibbleToChar call.
struct GenericPath {
  common::PseudoRandom random;
  double Next() { return random.Next(); }
};

TEST(FastPath, GivesTheBlockOfTheGenericPath) {
  std::u16string text;
  for (int i = 0; i < 3000; ++i) {
    text.push_back(static_cast<char16_t>(i % 7 == 0 ? 0xE4 : 'a' + i % 26));
    if (i % 97 == 0) text += u"€";            // breaks a fast block and shifts the draws
    if (i % 331 == 0) text += u"\U0001F600";  // a reference with an odd digit count
  }
  for (std::uint64_t seed : {0ull, 1ull, 86399ull}) {
    GenericPath generic{common::PseudoRandom(seed)};
    EXPECT_EQ(Block(text, seed), common::EncodeText(text, generic).value());
  }
}

// Each threshold is the first 32-bit draw at or above its column's first double.
TEST(FastPath, ColumnThresholdsAreTheFirstDrawOfEachColumn) {
  const auto& t = common::CarrierColumnThresholds();
  const std::uint32_t starts[3] = {t.start1, t.start2, t.start3};
  for (int k = 1; k <= 3; ++k) {
    EXPECT_GE(starts[k - 1] * 0x1.0p-32, FirstDrawOfColumn(k)) << k;
    EXPECT_LT((starts[k - 1] - 1) * 0x1.0p-32, FirstDrawOfColumn(k)) << k;
  }
}

}  // namespace

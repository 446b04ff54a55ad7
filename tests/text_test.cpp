#include <gtest/gtest.h>
#include <version.h>

#include "core/RXSAMMLUNG2DIVFU_text.h"

namespace {

using namespace RXSAMMLUNG2DIVFU;

struct Case {
  std::u16string_view in, out;
};

TEST(ExpandEscapes, KnownSequencesInBothCasesOthersStandForThemselves) {
  const Case cases[] = {
      {u"a\\tb\\Tc", u"a\tb\tc"},
      {u"\\h\\H", u"\"\""},
      {u"\\n\\l\\N\\L", u"\r\n\r\n"},
      {u"\\q\\Q\\r", u"qQr"},
      {u"\\\\", u"\\"},
      {u"\\\\n", u"\\n"},
      {u"\\ä", u"ä"},
      {u"", u""},
      {u"ohne Rückstrich", u"ohne Rückstrich"},
      {u"Ende\\", u"Ende"},
      {u"\\", u""},
  };
  for (const Case& c : cases) EXPECT_EQ(ExpandEscapes(c.in), c.out);
}

TEST(ReplacePlaceholders, TenBeforeOneLaterStepsSeeEarlierValuesMissingOnesVanish) {
  const PlaceholderValues letters = {u"a", u"b", u"c", u"d", u"e", u"f", u"g", u"h", u"i", u"j"};
  EXPECT_EQ(ReplacePlaceholders(u"%1-%10", letters), u"a-j");
  EXPECT_EQ(ReplacePlaceholders(u"%9%8%7%6%5%4%3%2%1", letters), u"ihgfedcba");
  EXPECT_EQ(ReplacePlaceholders(u"%0 und 100% und %", letters), u"%0 und 100% und %");
  EXPECT_EQ(ReplacePlaceholders(u"%11", {u"a"}), u"a1");
  EXPECT_EQ(ReplacePlaceholders(u"x%3y", {u"a"}), u"xy");
  EXPECT_EQ(ReplacePlaceholders(u"%2", {u"", u"[%3]", u"drei"}), u"[drei]");
  EXPECT_EQ(ReplacePlaceholders(u"%3", {u"", u"zwei", u"[%2]"}), u"[%2]");
  EXPECT_EQ(ReplacePlaceholders(u"%1%1", {u"%1"}), u"%1%1");
  EXPECT_EQ(ReplacePlaceholders(u"%10", {u"eins", u"", u"", u"", u"", u"", u"", u"", u"", u"%1"}), u"eins");
  // Escapes expand after filling, those in values too.
  EXPECT_EQ(FormatTemplate(u"%1!\\n", {u"a\\nb"}), u"a\rb!\r");
}

TEST(ChooseText, IndexesZeroToNine) {
  const PlaceholderValues variants = {u"Deutsch", u"English", u"Français", u"", u"", u"", u"", u"", u"", u"zehn"};
  EXPECT_EQ(ChooseText(2, variants), u"Français");
  EXPECT_EQ(ChooseText(9, variants), u"zehn");
  EXPECT_EQ(ChooseText(10, variants), u"");
  EXPECT_EQ(ChooseText(-1, variants), u"");
}

TEST(VersionText, FormsOfTheRunningVersion) {
  using namespace velumor_build;
  const std::u16string full = VersionText(1, VersionMajor, VersionMinor, VersionRevision);
  EXPECT_EQ(VersionText(0), u" (V" + full + u")");
  EXPECT_EQ(VersionText(1), full);
  EXPECT_EQ(VersionText(512), u" (V" + full + u")");
  for (int other : {2, 3, 255}) EXPECT_EQ(VersionText(other), u"");
}

TEST(VersionText, RevisionLettersRoundHalfToEven) {
  const std::pair<int, std::u16string_view> cases[] = {{99, u"1.2"},   {100, u"1.2a"}, {149, u"1.2a"}, {150, u"1.2b"},
                                                       {250, u"1.2b"}, {251, u"1.2c"}, {350, u"1.2d"}, {2550, u"1.2z"}};
  for (const auto& [revision, text] : cases) {
    EXPECT_EQ(VersionText(257, 1, 2, revision), text);
    EXPECT_EQ(VersionText(256, 1, 2, revision), u" (V" + std::u16string(text) + u")");
  }
  EXPECT_EQ(VersionText(1, 1, 2, 150), u"1.2.150");
}

TEST(SmallHelpers, PickStringAndTrailingBackslash) {
  EXPECT_EQ(PickString(u"a", -1, u"b"), u"a");
  EXPECT_EQ(PickString(u"a", 0, u"b"), u"b");
  const Case cases[] = {{u"C:\\Programme", u"C:\\Programme\\"}, {u"C:\\", u"C:\\"}, {u"a/", u"a/\\"}, {u"", u"\\"}};
  for (const Case& c : cases) EXPECT_EQ(WithTrailingBackslash(c.in), c.out);
}

}  // namespace

#include <gtest/gtest.h>

#include "core/common.h"
#include "core/RXSAMMLUNG2DIVFU_text.h"

namespace {

using namespace RXSAMMLUNG2DIVFU;

TEST(ExpandEscapes, KnownSequencesInBothCases) {
  EXPECT_EQ(ExpandEscapes(u"a\\tb\\Tc"), u"a\tb\tc");
  EXPECT_EQ(ExpandEscapes(u"\\h\\H"), u"\"\"");
  EXPECT_EQ(ExpandEscapes(u"\\n\\l"), u"\r\n");
  EXPECT_EQ(ExpandEscapes(u"\\N"), u"\r");
  EXPECT_EQ(ExpandEscapes(u"\\L"), u"\n");
}

TEST(ExpandEscapes, OtherCharactersAfterABackslashStandForThemselves) {
  EXPECT_EQ(ExpandEscapes(u"\\q\\Q\\r"), u"qQr");
  EXPECT_EQ(ExpandEscapes(u"\\\\"), u"\\");
  EXPECT_EQ(ExpandEscapes(u"\\\\n"), u"\\n");
  EXPECT_EQ(ExpandEscapes(u"\\ä"), u"ä");
}

TEST(ExpandEscapes, EmptyPlainAndTrailingBackslash) {
  EXPECT_EQ(ExpandEscapes(u""), u"");
  EXPECT_EQ(ExpandEscapes(u"ohne Rückstrich"), u"ohne Rückstrich");
  EXPECT_EQ(ExpandEscapes(u"Ende\\"), u"Ende");
  EXPECT_EQ(ExpandEscapes(u"\\"), u"");
}

TEST(ExpandEscapes, ScriptTemplateLosesOneCharacterPerSequence) {
  EXPECT_EQ(ExpandEscapes(common::ScriptTemplate).size(), 311u);
}

const PlaceholderValues Letters = {u"a", u"b", u"c", u"d", u"e", u"f", u"g", u"h", u"i", u"j"};

TEST(ReplacePlaceholders, TenIsFilledBeforeOne) {
  EXPECT_EQ(ReplacePlaceholders(u"%1-%10", Letters), u"a-j");
  EXPECT_EQ(ReplacePlaceholders(u"%11", {u"a"}), u"a1");
  EXPECT_EQ(ReplacePlaceholders(u"%9%8%7%6%5%4%3%2%1", Letters), u"ihgfedcba");
}

TEST(ReplacePlaceholders, OrdinaryPercentSignsStay) {
  EXPECT_EQ(ReplacePlaceholders(u"%0 und 100% und %", Letters), u"%0 und 100% und %");
  EXPECT_EQ(ReplacePlaceholders(u"ohne Platzhalter"), u"ohne Platzhalter");
  EXPECT_EQ(ReplacePlaceholders(u""), u"");
}

TEST(ReplacePlaceholders, MissingValuesDeleteTheirPlaceholder) {
  EXPECT_EQ(ReplacePlaceholders(u"x%3y", {u"a"}), u"xy");
}

TEST(ReplacePlaceholders, LaterStepsSeeEarlierValuesButNoStepSeesItsOwn) {
  EXPECT_EQ(ReplacePlaceholders(u"%2", {u"", u"[%3]", u"drei"}), u"[drei]");
  EXPECT_EQ(ReplacePlaceholders(u"%3", {u"", u"zwei", u"[%2]"}), u"[%2]");
  EXPECT_EQ(ReplacePlaceholders(u"%1%1", {u"%1"}), u"%1%1");
  EXPECT_EQ(ReplacePlaceholders(u"%10", {u"eins", u"", u"", u"", u"", u"", u"", u"", u"", u"%1"}), u"eins");
}

TEST(FormatTemplate, EscapesExpandAfterFillingIncludingThoseInValues) {
  EXPECT_EQ(FormatTemplate(u"Erste Zeile\\n\\nDritte"), u"Erste Zeile\r\rDritte");
  EXPECT_EQ(FormatTemplate(u"%1!", {u"a\\nb"}), u"a\rb!");
  EXPECT_EQ(FormatTemplate(u"Vorher %1 nachher"), u"Vorher  nachher");
}

TEST(ChooseText, IndexesZeroToNine) {
  const PlaceholderValues variants = {u"Deutsch", u"English", u"Français", u"", u"", u"", u"", u"", u"", u"zehn"};
  EXPECT_EQ(ChooseText(0, variants), u"Deutsch");
  EXPECT_EQ(ChooseText(2, variants), u"Français");
  EXPECT_EQ(ChooseText(9, variants), u"zehn");
  EXPECT_EQ(ChooseText(10, variants), u"");
  EXPECT_EQ(ChooseText(-1, variants), u"");
}

TEST(VersionText, FormsOfTheProgramVersion) {
  EXPECT_EQ(VersionText(0), u" (V1.2.6)");
  EXPECT_EQ(VersionText(1), u"1.2.6");
  EXPECT_EQ(VersionText(256), u" (V1.2)");
  EXPECT_EQ(VersionText(257), u"1.2");
  EXPECT_EQ(VersionText(2), u"");
  EXPECT_EQ(VersionText(3), u"");
  EXPECT_EQ(VersionText(255), u"");
  EXPECT_EQ(VersionText(512), u" (V1.2.6)");
}

TEST(VersionText, RevisionLettersRoundHalfToEven) {
  EXPECT_EQ(VersionText(256, 1, 2, 99), u" (V1.2)");
  EXPECT_EQ(VersionText(256, 1, 2, 100), u" (V1.2a)");
  EXPECT_EQ(VersionText(256, 1, 2, 149), u" (V1.2a)");
  EXPECT_EQ(VersionText(256, 1, 2, 150), u" (V1.2b)");
  EXPECT_EQ(VersionText(256, 1, 2, 250), u" (V1.2b)");
  EXPECT_EQ(VersionText(256, 1, 2, 251), u" (V1.2c)");
  EXPECT_EQ(VersionText(256, 1, 2, 350), u" (V1.2d)");
  EXPECT_EQ(VersionText(256, 1, 2, 2550), u" (V1.2z)");
  EXPECT_EQ(VersionText(257, 1, 2, 150), u"1.2b");
  EXPECT_EQ(VersionText(1, 1, 2, 150), u"1.2.150");
}

TEST(PickString, AnyNonZeroFlagPicksTheFirst) {
  EXPECT_EQ(PickString(u"a", -1, u"b"), u"a");
  EXPECT_EQ(PickString(u"a", 1, u"b"), u"a");
  EXPECT_EQ(PickString(u"a", 0, u"b"), u"b");
}

TEST(WithTrailingBackslash, OnlyABackslashCounts) {
  EXPECT_EQ(WithTrailingBackslash(u"C:\\Programme"), u"C:\\Programme\\");
  EXPECT_EQ(WithTrailingBackslash(u"C:\\"), u"C:\\");
  EXPECT_EQ(WithTrailingBackslash(u"a/"), u"a/\\");
  EXPECT_EQ(WithTrailingBackslash(u""), u"\\");
}

}  // namespace

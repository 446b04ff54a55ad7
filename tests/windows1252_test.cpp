#include "core/windows1252.h"

#include <gtest/gtest.h>

namespace {

TEST(Windows1252, CodesOfTheGermanEverydayCharacters) {
  EXPECT_EQ(windows1252::Code(u'€'), 0x80);
  EXPECT_EQ(windows1252::Code(u'„'), 0x84);
  EXPECT_EQ(windows1252::Code(u'“'), 0x93);
  EXPECT_EQ(windows1252::Code(u'–'), 0x96);
  EXPECT_EQ(windows1252::Code(u'ü'), 0xFC);
  EXPECT_EQ(windows1252::Code(u'ß'), 0xDF);
  EXPECT_EQ(windows1252::Code(u'Ł'), -1);
  EXPECT_EQ(windows1252::Code(u'\u0080'), -1);
}

TEST(Windows1252, EveryCodeRoundTrips) {
  for (int code = 0; code < 256; ++code) {
    EXPECT_EQ(windows1252::Code(windows1252::Character(static_cast<unsigned char>(code))), code);
  }
}

TEST(Windows1252, TextConversionMarksWhatThePageLacks) {
  EXPECT_EQ(windows1252::FromText(u"Menü €"), "Men\xFC \x80");
  EXPECT_EQ(windows1252::FromText(u"Ж\U0001F600"), "??");
  EXPECT_EQ(windows1252::ToText("Men\xFC \x80"), u"Menü €");
}

}  // namespace

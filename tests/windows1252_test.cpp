#include "core/windows1252.h"

#include <gtest/gtest.h>

namespace {

// The German everyday characters; what the page lacks becomes "?", a
// surrogate pair one "?". U+0080 is not on the page: 0x80 is the euro sign.
TEST(Windows1252, TextConversionMarksWhatThePageLacks) {
  EXPECT_EQ(windows1252::FromText(u"Menü €„“–ß Ł\u0080Ж\U0001F600"), "Men\xFC \x80\x84\x93\x96\xDF ????");
  EXPECT_EQ(windows1252::ToText("Men\xFC \x80"), u"Menü €");
}

TEST(Windows1252, EveryCodeRoundTrips) {
  for (int code = 0; code < 256; ++code) {
    EXPECT_EQ(windows1252::Code(windows1252::Character(static_cast<unsigned char>(code))), code);
  }
}

}  // namespace

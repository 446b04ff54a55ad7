// The encode command: busy guard, progress, cancellation, clipboard, sounds
// and the result notice, with events arriving in the middle of a run.
#include <gtest/gtest.h>

#include "app/encode_command.h"
#include "core/decoder.h"
#include "program_fixture.h"

namespace {

std::u16string Decoded(const std::u16string& block) {
  const std::string bytes(block.begin(), block.end());
  const auto found = common::FindCarrierStrings(bytes);
  return found.size() == 1 ? common::DecodeCarriers(found[0]) : u"<kein Block>";
}

TEST_F(ProgramTest, ALeftClickReplacesTheClipboardTextWithItsBlock) {
  Start();
  os.clipboard.text = u"info@example.com – 5 €";
  LeftClick();
  ASSERT_TRUE(os.clipboard.text);
  EXPECT_TRUE(os.clipboard.text->starts_with(u"<script language=\"JavaScript\""));
  EXPECT_EQ(Decoded(*os.clipboard.text), u"info@example.com &#8211; 5 &#8364;");
  EXPECT_EQ(os.sound.Names(), (std::vector<std::string>{"in", "out"}));
  EXPECT_EQ(os.sound.played[0], u"C:\\Programme\\Velumor\\in.WAV");
  // The strip was shown on top while encoding, and is hidden and back in
  // the normal band afterwards.
  EXPECT_FALSE(os.forms.forms.at(Form1()).visible);
  EXPECT_EQ(os.windows.topmostCalls,
            (std::vector<std::pair<platform::WindowHandle, bool>>{{Form1Window(), true}, {Form1Window(), false}}));
}

TEST_F(ProgramTest, ProgressShowsEveryFiveHundredTwelveCharactersInSinglePrecision) {
  Start();
  const std::vector<std::pair<int, std::vector<std::u16string>>> cases = {{1, {u"100%", u"100%"}},
                                                                          {3, {u"33%", u"100%"}},
                                                                          {10, {u"9%", u"100%"}},
                                                                          {50, {u"2%", u"100%"}},
                                                                          {100, {u"1%", u"100%"}},
                                                                          {1000, {u"0%", u"51%", u"100%"}},
                                                                          {1025, {u"0%", u"50%", u"100%", u"100%"}}};
  for (const auto& [length, expected] : cases) {
    os.forms.captionHistory.clear();
    os.clipboard.text = std::u16string(length, u'a');
    LeftClick();
    EXPECT_EQ(ProgressCaptions(), expected) << length << " characters";
  }
}

TEST_F(ProgramTest, AClickDuringTheRunsOwnEventsMeetsTheBusyGuard) {
  Start();
  os.clipboard.text = std::u16string(2000, u'z');
  // The click arrives while the run lets events through after its first character.
  os.forms.onCaption = [&](std::u16string_view caption) {
    if (caption == u"Velumor: 0%") os.events.push_back([&] { LeftClick(); });
  };
  LeftClick();
  EXPECT_EQ(os.messages,
            (std::vector<fake::Message>{{u"Velumor bearbeitet bereits einen Text ... bitte warten.", u"Velumor", 64}}));
  EXPECT_EQ(os.sound.Names(), (std::vector<std::string>{"in", "err", "out"}));
  // The first run went on and finished normally.
  EXPECT_EQ(Decoded(*os.clipboard.text), std::u16string(2000, u'z'));
}

TEST_F(ProgramTest, ClosingTheStripCancelsWithTheCancellationTextAndOnlyThatRun) {
  Start();
  os.clipboard.text = std::u16string(5000, u'q');
  os.forms.onCaption = [&](std::u16string_view caption) {
    if (caption == u"Velumor: 10%") os.events.push_back([&] { os.Send(Form1Window(), platform::MessageClose, 0, 0); });
  };
  LeftClick();
  EXPECT_EQ(os.clipboard.text, u"*** Velumor: Abbruch durch Anwender ***");
  EXPECT_EQ(ProgressCaptions(), (std::vector<std::u16string>{u"0%", u"10%", u"Abbruch ..."}));
  EXPECT_EQ(os.sound.Names(), (std::vector<std::string>{"in", "err", "out"}));
  EXPECT_EQ(os.sound.beeps, 2);  // the result notice came up as after a success

  // The next run starts afresh, and a close request that comes only after
  // it has finished does not cancel the one after.
  os.forms.onCaption = [&](std::u16string_view caption) {
    if (caption == u"Velumor: 100%") os.events.push_back([&] { os.forms.CloseBox(Form1()); });
  };
  os.clipboard.text = u"weiter";
  LeftClick();
  EXPECT_EQ(Decoded(*os.clipboard.text), u"weiter");
  os.forms.onCaption = nullptr;
  os.clipboard.text = u"zwei";
  LeftClick();
  EXPECT_EQ(Decoded(*os.clipboard.text), u"zwei");
}

TEST_F(ProgramTest, QuittingDuringARunLeavesTheUsersTextAndEndsQuietly) {
  Start();
  os.clipboard.text = std::u16string(3000, u'k');
  os.forms.onCaption = [&](std::u16string_view caption) {
    if (caption == u"Velumor: 17%") {
      os.events.push_back([&] { Choose(6); });  // "&Beenden"
    }
  };
  LeftClick();
  EXPECT_EQ(os.clipboard.text, std::u16string(3000, u'k'));
  EXPECT_TRUE(os.clipboard.writes.empty());
  EXPECT_TRUE(os.messages.empty());
  EXPECT_EQ(os.sound.Names(), std::vector<std::string>{"in"});
  EXPECT_TRUE(os.tray.icons.empty());
  EXPECT_TRUE(os.forms.LoadedForms().empty());
}

TEST_F(ProgramTest, NoTextOrAFailingClipboardKeepsTheUsersTextAndSaysWhy) {
  Start();
  using enum platform::ClipboardStatus;
  const std::u16string_view noText =
      u"Die Zwischenablage enthält keinen Text. Daher kann Velumor auch nichts kodieren.";
  const struct {
    std::optional<std::u16string> text;
    std::optional<platform::ClipboardStatus> read, write;
    std::u16string_view message;
  } cases[] = {
      {std::nullopt, {}, {}, noText},
      {u"", {}, {}, noText},
      {u"mein Text", Busy, {}, u"Die Zwischenablage wird gerade von einem anderen Programm benutzt."},
      // The write fails after clearing: the text is put back.
      {u"mein Text", {}, Failed, u"Die Zwischenablage konnte nicht beschrieben werden"},
  };
  for (const auto& c : cases) {
    os.clipboard.text = c.text;
    os.clipboard.nextRead = c.read;
    os.clipboard.nextWrite = c.write;
    os.clipboard.writes.clear();
    os.messages.clear();
    os.sound.played.clear();
    const int beeps = os.sound.beeps;
    LeftClick();
    ASSERT_EQ(os.messages.size(), 1u);
    EXPECT_TRUE(os.messages[0].text.starts_with(c.message)) << os.messages[0].text.size();
    EXPECT_EQ(os.messages[0].style, 64);
    EXPECT_EQ(os.sound.Names(), (std::vector<std::string>{"in", "out"}));
    EXPECT_EQ(os.clipboard.text, c.text);
    EXPECT_EQ(os.clipboard.writes.size(), c.write ? 1u : 0u);  // only the put-back
    EXPECT_FALSE(os.forms.forms.at(Form1()).visible);
    EXPECT_EQ(os.sound.beeps, beeps);  // no result notice after a failure
  }
}

}  // namespace

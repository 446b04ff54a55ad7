// Start-up, the single-instance rule, the close request and shutdown, and
// the window hook with the notification-area icon.
#include <gtest/gtest.h>

#include <tuple>

#include "app/NI_Private.h"
#include "program_fixture.h"

namespace {

TEST_F(ProgramTest, StartsHiddenHookedWithItsIconAndThenTheStartNotice) {
  os.forms.modalActions.push_back([&](platform::FormId notice) {
    // The notice comes last: hook and icon already work while it is open.
    EXPECT_EQ(os.windows.procedures.at(Form1Window()), 0x9000 + static_cast<std::intptr_t>(Form1Window()));
    ASSERT_EQ(os.tray.icons.size(), 1u);
    EXPECT_EQ(os.forms.forms.at(notice).Find("InfoLbl", -1).caption.substr(0, 23), u"Velumor wurde gestartet");
  });
  Start();
  EXPECT_TRUE(os.forms.modalActions.empty());  // the notice came

  const auto& form1 = os.forms.forms.at(Form1());
  EXPECT_FALSE(form1.visible);
  EXPECT_EQ(form1.caption, u"Velumor");
  EXPECT_EQ(form1.bounds.width, 3000);
  // The icon's record names the hooked window, so the hook came first.
  const platform::NotifyIconRecord& record = os.tray.icons.begin()->second;
  EXPECT_EQ(std::tuple(record.hWnd, record.cbSize, record.uFlags, record.uCallbackMessage, record.hIcon),
            std::tuple(Form1Window(), 88u, 7u, 1024u, os.process.icon));
  EXPECT_EQ(os.tray.Tip(), " Velumor: Links: Code codieren -:- Rechts: Men\xFC.");
}

TEST_F(ProgramTest, ASecondInstanceIsRefusedWithoutIconHookOrUnload) {
  os.process.anotherInstance = true;
  EXPECT_FALSE(program.Start());
  EXPECT_EQ(os.messages, (std::vector<fake::Message>{{u"Velumor wird bereits ausgeführt.", u"Velumor", 48}}));
  EXPECT_TRUE(os.tray.icons.empty());
  EXPECT_TRUE(os.windows.procedures.empty());
  EXPECT_FALSE(program.unloading);
  EXPECT_EQ(os.sound.beeps, 0);  // no start notice either
}

class UnloadModes : public ProgramTest, public ::testing::WithParamInterface<int> {};

TEST_P(UnloadModes, AreNotRefusedAndRemoveTheIconBeforeTheHook) {
  Start();
  os.forms.Close(Form1(), GetParam());
  EXPECT_FALSE(os.forms.forms.at(Form1()).loaded);
  EXPECT_TRUE(os.tray.icons.empty());
  // The form's own procedure is back in place.
  EXPECT_EQ(os.windows.procedures.at(Form1Window()), fake::FakeWindows::OriginalProcedure(Form1Window()));
}

INSTANTIATE_TEST_SUITE_P(CodeSessionTaskManager, UnloadModes, ::testing::Values(1, 2, 3));

TEST_F(ProgramTest, TheHookRoutesOnlyTheIconsPressesAndPassesEverythingElseOn) {
  Start();
  os.clipboard.text.emplace(1, u'x');
  EXPECT_EQ(TrayMessage(platform::LeftDoubleClick), 0);
  EXPECT_EQ(TrayMessage(platform::RightDoubleClick), 0);
  EXPECT_EQ(TrayMessage(platform::LeftButtonUp), 0);
  EXPECT_EQ(TrayMessage(platform::MouseMove), 0);
  EXPECT_TRUE(os.sound.played.empty());
  EXPECT_TRUE(os.menus.showings.empty());
  LeftClick();
  RightClick();
  // The icon's messages themselves never reach the form.
  for (const auto& passed : os.windows.passedOn) EXPECT_NE(passed.message, platform::MessageTrayCallback);

  const std::intptr_t result = os.Send(Form1Window(), 0x0200, 0x1234, -77);
  EXPECT_EQ(result, fake::FakeWindows::OriginalResult(0x0200));
  EXPECT_EQ(os.windows.passedOn.back(), (fake::PassedMessage{Form1Window(), 0x0200, 0x1234, -77}));
}

TEST_F(ProgramTest, TipIsCutToSixtyThreeCharactersAndPaddedWithBlanks) {
  Start();
  const std::pair<std::u16string, std::string> cases[] = {
      {std::u16string(70, u'x'), std::string(63, 'x') + '\0'},
      {u"", '\0' + std::string(63, ' ')},
  };
  for (const auto& [tip, field] : cases) {
    EXPECT_EQ(std::string(NI_Private::NotifyRecord(program, 0, 1, tip).szTip.data(), 64), field);
  }
}

TEST_F(ProgramTest, TheIconComesBackWhenTheNotificationAreaIsCreatedAnew) {
  Start();
  const std::uint32_t taskbarCreated = os.windows.registeredMessages.at("TaskbarCreated");
  const std::string tip = os.tray.Tip();
  os.tray.icons.clear();  // the shell restarted and lost it
  os.Send(Form1Window(), taskbarCreated, 0, 0);
  ASSERT_EQ(os.tray.icons.size(), 1u);
  EXPECT_EQ(os.tray.Tip(), tip);
  // A broadcast while the icon is still there: the refused add does no harm.
  os.Send(Form1Window(), taskbarCreated, 0, 0);
  EXPECT_EQ(os.tray.icons.size(), 1u);
  EXPECT_EQ(os.windows.passedOn.back().message, taskbarCreated);
}

}  // namespace

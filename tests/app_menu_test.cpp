// The tray menu, its commands, and the about dialog.
#include <gtest/gtest.h>

#include <tuple>

#include "app/tray_menu.h"
#include "dialogs/InfoForm.h"
#include "program_fixture.h"
#include "support/RXSAMMLUNG_windows.h"

namespace {

constexpr std::string_view RunKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";

TEST_F(ProgramTest, AutostartReopensTheMenuInPlaceAndTwiceRestoresTheRegistry) {
  Start();
  bool writtenBetween = false;
  os.menus.choices = {[] { return 5; },
                      [&] {
                        writtenBetween =
                            os.registry.Get(platform::RegistryRoot::CurrentUser, RunKey, "Velumor").has_value();
                        os.windows.cursorY = 10;  // the reopened menu stays where the first one was
                        return 5;
                      }};
  os.windows.cursorY = 300;
  Choose(8);
  // Owner, flags, height and the mark of "&Autostart" of each showing.
  std::vector<std::tuple<platform::WindowHandle, int, int, bool>> shown;
  for (const auto& menu : os.menus.showings) {
    shown.emplace_back(menu.owner, menu.flags, menu.yTwips, menu.items[5].checked);
  }
  const auto at300 = [&](bool checked) { return std::tuple(Form1Window(), 4, 300 * 15, checked); };
  EXPECT_EQ(shown, (std::vector{at300(false), at300(true), at300(false)}));
  EXPECT_TRUE(writtenBetween);
  EXPECT_FALSE(os.registry.Get(platform::RegistryRoot::CurrentUser, RunKey, "Velumor"));

  // Closing the menu without a choice ended it; a new press reads the cursor again.
  RightClick();
  EXPECT_EQ(os.menus.showings.back().yTwips, 150);
}

TEST_F(ProgramTest, EveryOtherChoiceEndsTheMenu) {
  Start();
  os.files.AddFile("C:\\Programme\\Velumor\\hilfe\\index.htm");
  os.clipboard.text = u"aus dem Menü";
  for (int index : {0, 1, 2, 4, 7, 8, -1}) {
    os.menus.showings.clear();
    Choose(index);
    EXPECT_EQ(os.menus.showings.size(), 1u) << index;
  }
  // "&Kodieren" encoded, and "&Hilfe" opened the start page without confirmation.
  EXPECT_TRUE(os.clipboard.text->starts_with(u"<script"));
  ASSERT_EQ(os.executions.size(), 1u);
  EXPECT_EQ(os.executions[0].target, "C:\\Programme\\Velumor\\hilfe\\index.htm");
  EXPECT_TRUE(os.messages.empty());
  const auto& items = os.menus.showings[0].items;
  ASSERT_EQ(items.size(), 9u);
  EXPECT_EQ(items[0].caption, u"&Kodieren");
  EXPECT_EQ(items[1].caption, u"-");
  EXPECT_EQ(items[8].caption, u"&Abbrechen");
}

TEST_F(ProgramTest, InfoOpensOnceComesToTheFrontWhenChosenAgainAndClosesOnQuit) {
  Start();
  Choose(3);
  Choose(3);
  const auto& info = os.forms.forms.at(program.dialogs.infoForm().id());
  EXPECT_EQ(info.caption, u"Info über Velumor");
  EXPECT_EQ(info.showings, 1);
  EXPECT_EQ(info.frontings, 1);
  EXPECT_EQ(os.forms.LoadedForms().size(), 2u);  // Form1 and the dialog

  Choose(6);  // "&Beenden" closes the dialog too
  EXPECT_TRUE(os.forms.LoadedForms().empty());
}

class InfoFormTest : public ProgramTest {
 protected:
  dialogs::InfoForm& info = program.dialogs.infoForm();
  fake::FakeForms::Form& Window() { return os.forms.forms.at(info.id()); }
};

TEST_F(InfoFormTest, ButtonsOpenTheMailTheUpdateSearchAndTheSite) {
  program.dialogs.version = {1, 2, 6};
  info.Show();
  using namespace dialogs;
  for (int index : {BtnMail, BtnUpdateSearch, BtnWebSite}) os.forms.Click(info.id(), InfoFormControl::Btn, index);
  os.forms.Click(info.id(), InfoFormControl::Image1);
  const fake::Execution site{"Open", "www.norvane.example", 3};  // maximised
  EXPECT_EQ(os.executions,
            (std::vector<fake::Execution>{
                {"Open", "mailto:info@norvane.example?subject=Ihre Software Velumor (V1.2) unter Windows 5.1.2600", 1},
                {"Open", "www.norvane.example/?find_update&app=velumor&ver=1.2.6&win=5.1.2600", 1},
                site,
                site}));
  EXPECT_EQ(Window().Find(InfoFormControl::Btn, BtnClose).caption, u"&Schliessen");  // the German variant
  os.forms.Click(info.id(), InfoFormControl::Btn, BtnClose);
  EXPECT_FALSE(info.loaded());
}

TEST_F(InfoFormTest, ALetterRevisionShowsInTheProductLineButNotInTheAddress) {
  program.dialogs.version = {1, 2, 150};
  info.Show();
  EXPECT_TRUE(
      Window()
          .Find("Label", 0)
          .caption.starts_with(u"Velumor (V1.2b) \u2013 Sichert Ihre Webseiten gegen Adress- und Code-Diebe.\r\r"));
  EXPECT_EQ(info.MailTarget(),
            u"mailto:info@norvane.example?subject=Ihre Software Velumor (V1.2b) unter Windows 5.1.2600");
  EXPECT_EQ(info.UpdateSearchAddress(), u"www.norvane.example/?find_update&app=velumor&ver=1.2.150&win=5.1.2600");
}

TEST_F(InfoFormTest, SmallScreensGetTheTopLeftCornerOthersTheMiddle) {
  os.forms.screen = {640 * 15, 480 * 15, 15, 15};
  info.Show();
  EXPECT_EQ((std::pair{Window().bounds.left, Window().bounds.top}), (std::pair{0, 0}));
  info.Unload();

  os.forms.screen = {800 * 15, 600 * 15, 15, 15};
  info.Show();
  const auto& bounds = Window().bounds;
  EXPECT_EQ(bounds.left, (800 * 15 - bounds.width) / 2);
  EXPECT_EQ(bounds.top, (600 * 15 - bounds.height) / 2);
}

TEST_F(ProgramTest, WindowsVersionForBothFamilies) {
  os.process.version = {2, 10, 0, 19045};
  EXPECT_EQ(RXSAMMLUNG::WindowsVersionNumber(os), (10u << 24) + 19045u);
  EXPECT_EQ(RXSAMMLUNG::WindowsVersionText(os), u"10.0.19045");
  // Windows 98 SE: the build field already holds major and minor.
  os.process.version = {1, 4, 10, (4u << 24) + (10u << 16) + 2222u};
  EXPECT_EQ(RXSAMMLUNG::WindowsVersionText(os), u"4.10.2222");
}

}  // namespace

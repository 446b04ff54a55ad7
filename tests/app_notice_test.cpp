// The notices: shown until the user ticks the box for the running version.
#include <gtest/gtest.h>

#include "dialogs/StartInfoDialogModule.h"
#include "program_fixture.h"
#include "support/RXSAMMLUNG2DIVFU.h"

namespace {

// The user ticks the box and presses OK in the next notice.
std::function<void(platform::FormId)> TickAndOk(fake::FakePlatform& os) {
  return [&os](platform::FormId notice) {
    os.forms.Tick(notice, "NeverShowAgainChk");
    os.forms.Click(notice, "OKButton");
  };
}

TEST_F(ProgramTest, OnlyTickedAndOkSuppressesANoticeAndOnlyForThisVersion) {
  os.forms.modalActions.push_back(TickAndOk(os));
  Start();
  EXPECT_EQ(Setting(u"_SID1"), RXSAMMLUNG2DIVFU::VersionText(1));

  // The result notice still comes. OK without the box, or the close box with it, records nothing.
  os.clipboard.text = u"a";
  os.forms.modalActions.push_back([&](platform::FormId notice) { os.forms.Click(notice, "OKButton"); });
  LeftClick();
  os.forms.modalActions.push_back([&](platform::FormId notice) {
    os.forms.Tick(notice, "NeverShowAgainChk");
    os.forms.CloseBox(notice);
  });
  LeftClick();
  EXPECT_EQ(Setting(u"_SID2"), u"");
  os.forms.modalActions.push_back(TickAndOk(os));
  LeftClick();
  EXPECT_EQ(os.sound.beeps, 4);  // each notice beeps as it opens
  EXPECT_EQ(Setting(u"_SID2"), RXSAMMLUNG2DIVFU::VersionText(1));

  app::Program again(os);  // the next start of the same version
  ASSERT_TRUE(again.Start());
  EXPECT_EQ(os.sound.beeps, 4);

  again.dialogs.version.revision = 7;  // another version shows it again
  StartInfoDialogModule::ShowNotice(again.dialogs, u"Text", u"1", u"");
  EXPECT_EQ(os.sound.beeps, 5);
}

TEST_F(ProgramTest, TextExpandsAndOnlyAReadablePictureNarrowsTheLabel) {
  os.files.AddFile("C:\\Programme\\Velumor\\SID2.jpg");
  os.files.AddFile("C:\\Programme\\Velumor\\SID3.jpg");
  os.forms.unreadablePictures.push_back(u"C:\\Programme\\Velumor\\SID3.jpg");
  Start();
  const struct {
    std::u16string_view file;
    int labelWidth;
    std::u16string_view shown;  // the picture the notice shows
  } cases[] = {
      {u"SID2.jpg", 2475, u"C:\\Programme\\Velumor\\SID2.jpg"},
      {u"SID3.jpg", 4575, u""},  // does not decode
      {u"SID1.jpg", 4575, u""},  // missing
  };
  for (const auto& c : cases) {
    os.forms.modalActions.push_back([&](platform::FormId notice) {
      auto& form = os.forms.forms.at(notice);
      EXPECT_EQ(form.caption, u"Velumor");
      EXPECT_EQ(form.Find("InfoLbl", -1).caption, u"Zeile\r\rZweite ");
      EXPECT_EQ(form.Find("InfoLbl", -1).width, c.labelWidth);
      const auto& image = form.Find("SIDimage", -1);
      EXPECT_EQ(image.visible ? image.picture : u"", c.shown);
    });
    StartInfoDialogModule::ShowNotice(program.dialogs, u"Zeile\\n\\nZweite %1", u"2", c.file);
  }
}

TEST_F(ProgramTest, ASecondNoticeWhileOneIsOpenIsNotShownAndDoesNotDisturbIt) {
  os.clipboard.text = u"während der Startnotiz";
  os.forms.modalActions.push_back([&](platform::FormId startNotice) {
    LeftClick();  // encodes, and asks for the result notice
    const auto& label = os.forms.forms.at(startNotice).Find("InfoLbl", -1);
    EXPECT_TRUE(label.caption.starts_with(u"Velumor wurde gestartet"));
    os.forms.Tick(startNotice, "NeverShowAgainChk");
    os.forms.Click(startNotice, "OKButton");
  });
  Start();
  EXPECT_EQ(os.sound.beeps, 1);
  EXPECT_EQ(Setting(u"_SID1"), RXSAMMLUNG2DIVFU::VersionText(1));
  EXPECT_EQ(Setting(u"_SID2"), u"");
  EXPECT_TRUE(os.clipboard.text->starts_with(u"<script"));
}

}  // namespace

#include "dialogs/StartInfoDialog.h"

#include "support/RXSAMMLUNG.h"
#include "support/RXSAMMLUNG2DIVFU.h"

namespace dialogs {

platform::FormSpec StartInfoDialogLayout(platform::IconHandle icon) {
  using platform::ControlKind;
  platform::FormSpec spec;
  spec.clientWidth = 4800;
  spec.clientHeight = 3240;
  spec.border = platform::FormBorder::FixedDialog;
  spec.centerOnScreen = true;
  spec.icon = icon;
  // OKButton has the first tab position, so it has the focus at the start.
  spec.controls = {
      {.name = StartInfoDialogControl::InfoLbl,
       .kind = ControlKind::Label,
       .left = 120,
       .top = 120,
       .width = 4575,
       .height = 1875,
       .tabIndex = 2},
      {.name = StartInfoDialogControl::SIDimage,
       .kind = ControlKind::Image,
       .left = 2760,
       .top = 60,
       .width = 1935,
       .height = 1935,
       .visible = false,
       .stretchPicture = true},
      {.name = StartInfoDialogControl::NeverShowAgainChk,
       .kind = ControlKind::CheckBox,
       .left = 120,
       .top = 2220,
       .width = 4635,
       .height = 375,
       .caption = std::u16string(NeverShowAgainCaption),
       .tabIndex = 1},
      {.name = StartInfoDialogControl::OKButton,
       .kind = ControlKind::Button,
       .left = 1493,
       .top = 2760,
       .width = 1815,
       .height = 375,
       .caption = u"&OK",
       .tabIndex = 0},
  };
  return spec;
}

void StartInfoDialog::Load() {
  id_ = dialogs_.os.LoadForm(StartInfoDialogLayout(dialogs_.os.ProgramIcon()), *this);
  loaded_ = true;
  Form_Load();
}

void StartInfoDialog::Form_Load() {
  dialogs_.os.SetFormCaption(id_, RXSAMMLUNG::ApplicationTitle);
  dialogs_.os.Beep();
}

void StartInfoDialog::OKButton_Click() {
  if (dialogs_.os.ControlValue(id_, StartInfoDialogControl::NeverShowAgainChk, -1) != 0) {
    RXSAMMLUNG::SaveAppSetting(dialogs_.os, u"_SID" + Tag, dialogs_.VersionText(1));
  }
  Unload();
}

void StartInfoDialog::Unload() {
  if (loaded_) dialogs_.os.UnloadForm(id_);
}

void StartInfoDialog::OnClick(std::string_view control, int) {
  if (control == StartInfoDialogControl::OKButton) OKButton_Click();
}

// The close box records nothing, whatever the state of the box.
bool StartInfoDialog::OnQueryUnload(int) { return false; }

void StartInfoDialog::OnUnload() {
  loaded_ = false;
  Tag.clear();
}

}  // namespace dialogs

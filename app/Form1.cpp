#include "app/Form1.h"

#include "app/NI_Public.h"
#include "dialogs/InfoForm.h"
#include "dialogs/StartInfoDialogModule.h"
#include "support/RXSAMMLUNG.h"

namespace app {

Form1::Form1(Program& program) : program_(program) {
  AutoStartChk.SetClickHandler([this](controls::CheckBox&) { AutoStartChk_Click(); });
}

bool Form1::Load() {
  platform::FormSpec spec;
  spec.border = platform::FormBorder::FixedSingle;
  spec.icon = program_.os.ProgramIcon();
  id_ = program_.os.LoadForm(spec, *this);
  loaded_ = true;
  return Form_Load();
}

platform::WindowHandle Form1::hWnd() { return program_.os.FormWindow(id_); }

bool Form1::Form_Load() {
  platform::Platform& os = program_.os;
  os.HideForm(id_);
  if (os.AnotherInstanceRunning()) {
    os.MessageBox(std::u16string(RXSAMMLUNG::ApplicationTitle) + u" wird bereits ausgeführt.",
                  RXSAMMLUNG::ApplicationTitle, platform::MessageBoxOk | platform::MessageBoxExclamation);
    return false;
  }
  os.SetFormCaption(id_, RXSAMMLUNG::ApplicationTitle);
  os.SetFormSize(id_, StripWidthTwips, 0);
  RXSAMMLUNG::SyncAutostart(os, AutoStartChk);
  NI_Public::NI_Hook(program_, hWnd());
  NI_Public::NI_AddIcon(program_, 0, os.ProgramIcon(), TrayTip);
  StartInfoDialogModule::ShowNotice(program_.dialogs, StartNotice, u"1", u"SID1.jpg");
  return true;
}

void Form1::Form_QueryUnload(std::int16_t& Cancel, std::int16_t UnloadMode) {
  if (UnloadMode != platform::UnloadByUser) return;
  // The user closed the progress strip: it only hides, and a running
  // encoding stops at its next step.
  Cancel = common::True;
  program_.os.HideForm(id_);
  if (program_.flags.EncoderBusy != 0) program_.flags.CancelRequested = common::True;
}

void Form1::Form_Unload(std::int16_t&) {
  program_.unloading = true;
  NI_Public::NI_DeleteIcon(program_, 0);
  NI_Public::NI_Unhook(program_);
  loaded_ = false;
  // Quitting ends the program: its other windows close with the main form.
  StartInfoDialogModule::CloseNotice(program_.dialogs);
  program_.dialogs.infoForm().Unload();
}

void Form1::OnClick(std::string_view, int) {}

bool Form1::OnQueryUnload(int mode) {
  std::int16_t cancel = 0;
  Form_QueryUnload(cancel, static_cast<std::int16_t>(mode));
  return cancel != 0;
}

void Form1::OnUnload() {
  std::int16_t cancel = 0;
  Form_Unload(cancel);
}

}  // namespace app

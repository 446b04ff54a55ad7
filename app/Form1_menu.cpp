// Form1's menu commands and the autostart box that the menu switches.
#include "app/Form1.h"
#include "app/encode_command.h"
#include "app/tray_menu.h"
#include "dialogs/InfoForm.h"
#include "support/RXSAMMLUNG.h"

namespace app {

void Form1::pum_Click(std::int16_t Index) {
  platform::Platform& os = program_.os;
  switch (Index) {
    case common::MenuEncode:
      common::RunEncodeCommand(program_);
      break;
    case common::MenuHelp:
      RXSAMMLUNG::ShowHelp(os, u"", false);
      break;
    case common::MenuInfo:
      program_.dialogs.infoForm().Show();
      break;
    case common::MenuAutostart:
      pumChecked[common::MenuAutostart] = !pumChecked[common::MenuAutostart];
      // The change of the box's value applies the new state.
      AutoStartChk.SetValue(pumChecked[common::MenuAutostart] ? controls::CheckBox::Checked
                                                              : controls::CheckBox::Unchecked);
      program_.flags.ReopenMenu = common::True;
      break;
    case common::MenuQuit:
      os.UnloadForm(id_);
      break;
    case common::MenuCancel:  // "&Abbrechen" and the separators only close the menu
    default:
      break;
  }
}

void Form1::AutoStartChk_Click() {
  pumChecked[common::MenuAutostart] = AutoStartChk.Value() != 0;
  RXSAMMLUNG::ApplyAutostart(program_.os, AutoStartChk);
}

}  // namespace app

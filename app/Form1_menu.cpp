// Form1's menu commands and the autostart box that the menu switches.
#include "app/Form1.h"
#include "dialogs/InfoForm.h"
#include "app/encode_command.h"
#include "app/tray_menu.h"
#include "support/RXSAMMLUNG.h"

namespace app {

void Form1::pum_Click(std::int16_t Index) {
  platform::Platform& os = program_.os;
  switch (Index) {
    case 0:
      common::RunEncodeCommand(program_);
      break;
    case 2:
      RXSAMMLUNG::ShowHelp(os, u"", false);
      break;
    case 3:
      program_.dialogs.infoForm().Show();
      break;
    case common::MenuAutostart:
      pumChecked[common::MenuAutostart] = !pumChecked[common::MenuAutostart];
      // The change of the box's value applies the new state.
      AutoStartChk.SetValue(pumChecked[common::MenuAutostart] ? controls::CheckBox::Checked
                                                              : controls::CheckBox::Unchecked);
      program_.flags.ReopenMenu = common::True;
      break;
    case 6:
      os.UnloadForm(id_);
      break;
    default:  // separators and "&Abbrechen" only close the menu
      break;
  }
}

void Form1::AutoStartChk_Click() {
  pumChecked[common::MenuAutostart] = AutoStartChk.Value() != 0;
  RXSAMMLUNG::ApplyAutostart(program_.os, AutoStartChk);
}

}  // namespace app

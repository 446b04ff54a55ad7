#include "app/tray_menu.h"

#include <vector>

#include "app/Form1.h"

namespace common {

void ShowTrayMenu(app::Program& program) {
  platform::Platform& os = program.os;
  app::Form1& form1 = program.form1();
  do {
    if (program.flags.ReopenMenu != 0) {
      // Shown again after "&Autostart": at the same height as before.
      program.flags.ReopenMenu = False;
    } else {
      os.CursorPosition(program.PopupPoint.x, program.PopupPoint.y);
    }
    const int yTwips = program.PopupPoint.y * os.Screen().twipsPerPixelY;
    std::vector<platform::MenuItem> items;
    for (int index = 0; index < 9; ++index) {
      items.push_back({std::u16string(MenuCaptions[index]), form1.pumChecked[index]});
    }
    const int chosen = os.ShowPopupMenu(form1.hWnd(), items, platform::MenuCenterAlign, yTwips);
    if (chosen >= 0) form1.pum_Click(static_cast<std::int16_t>(chosen));
    if (program.unloading) return;
  } while (program.flags.ReopenMenu != 0);
}

}  // namespace common

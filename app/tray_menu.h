// The tray menu: shown at a right press, again in place after "&Autostart".
#pragma once

#include <string_view>

#include "app/program.h"

namespace common {

// The entries of the menu `pum`, by index; "-" is a separator.
inline constexpr std::u16string_view MenuCaptions[9] = {u"&Kodieren",  u"-",        u"&Hilfe", u"&Info",     u"-",
                                                        u"&Autostart", u"&Beenden", u"-",      u"&Abbrechen"};
// The entries that do something; the others are separators.
enum MenuEntry : int {
  MenuEncode = 0,
  MenuHelp = 2,
  MenuInfo = 3,
  MenuAutostart = 5,
  MenuQuit = 6,
  MenuCancel = 8,
};

void ShowTrayMenu(app::Program& program);

}  // namespace common

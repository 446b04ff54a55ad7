// The program's plain message: information icon, OK button, its own title.
#pragma once

#include <string_view>

#include "platform/platform.h"
#include "support/RXSAMMLUNG.h"

namespace RXSAMMLUNG {

inline void ShowInformation(platform::Platform& os, std::u16string_view text) {
  os.MessageBox(text, ApplicationTitle, platform::MessageBoxOk | platform::MessageBoxInformation);
}

}  // namespace RXSAMMLUNG

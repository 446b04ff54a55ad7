// A window that is never shown. It owns the program's forms, which keeps them
// out of the task bar, and it owns the clipboard while the program writes it.
#pragma once

#include "platform/win32/handles.h"

namespace platform::win32 {

class HiddenWindow {
 public:
  // Created on first use, so that a platform used only for the registry and
  // files needs no display.
  HWND get();

 private:
  UniqueWindow window_;
};

}  // namespace platform::win32

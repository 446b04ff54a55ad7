// The one window procedure that the program's hook installs: it finds the
// hook object in a property of the window it serves.
#pragma once

#include "platform/desktop.h"
#include "platform/win32/windows_api.h"

namespace platform::win32 {

// Attaches the hook to the window; the result is the procedure's address.
WNDPROC AttachWindowHook(HWND window, WindowHook& hook);
// Detaches it again; a window's own procedure calls this as the window ends,
// in case the hook was never taken out.
void DetachWindowHook(HWND window);

}  // namespace platform::win32

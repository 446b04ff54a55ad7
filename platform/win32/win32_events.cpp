// Events: the pending messages run on demand, and the program's main loop.
#include "platform/win32/desktop_state.h"
#include "platform/win32/win32_platform.h"
#include "platform/win32/windows_api.h"

namespace platform::win32 {

void Win32Platform::DoEvents() {
  MSG message{};
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      // Left for the loop that ends the program.
      PostQuitMessage(static_cast<int>(message.wParam));
      return;
    }
    desktop_->forms.Dispatch(message);
  }
}

int Win32Platform::RunMessageLoop() {
  MSG message{};
  BOOL received;
  while ((received = GetMessageW(&message, nullptr, 0, 0)) != 0) {
    if (received == -1) return -1;
    desktop_->forms.Dispatch(message);
  }
  return static_cast<int>(message.wParam);
}

}  // namespace platform::win32

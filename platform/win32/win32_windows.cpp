// Windows: the hook procedure, subclassing with the 8-bit functions, window
// messages, the topmost band and the mouse position.
#include "platform/win32/win32_platform.h"
#include "platform/win32/window_hook.h"
#include "platform/win32/windows_api.h"

namespace platform::win32 {
namespace {

HWND WindowOf(WindowHandle window) { return reinterpret_cast<HWND>(window); }

}  // namespace

std::intptr_t Win32Platform::HookProcedure(WindowHandle window, WindowHook& hook) {
  return reinterpret_cast<std::intptr_t>(AttachWindowHook(WindowOf(window), hook));
}

std::intptr_t Win32Platform::SetWindowLong(WindowHandle window, int index, std::intptr_t value) {
  // SetWindowLongA on 32-bit Windows, where the headers make the Ptr form a
  // name for it.
  return SetWindowLongPtrA(WindowOf(window), index, value);
}

std::intptr_t Win32Platform::CallWindowProc(std::intptr_t procedure, WindowHandle window, std::uint32_t message,
                                            std::uintptr_t wParam, std::intptr_t lParam) {
  return CallWindowProcA(reinterpret_cast<WNDPROC>(procedure), WindowOf(window), message, wParam, lParam);
}

std::uint32_t Win32Platform::RegisterWindowMessage(std::string_view name) {
  const auto text = ZeroTerminated(name);
  if (!text) return 0;
  return RegisterWindowMessageA(text->c_str());
}

void Win32Platform::SetTopmost(WindowHandle window, bool onTop) {
  SetWindowPos(WindowOf(window), onTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

bool Win32Platform::CursorPosition(int& x, int& y) {
  POINT cursor{};
  if (!GetCursorPos(&cursor)) return false;
  x = cursor.x;
  y = cursor.y;
  return true;
}

}  // namespace platform::win32

#include "platform/win32/window_hook.h"

namespace platform::win32 {
namespace {

constexpr wchar_t HookProperty[] = L"Velumor.WindowHook";

// Installed with SetWindowLongA, so Windows hands it messages in their 8-bit
// form, and CallWindowProcA converts them back for a wide procedure.
LRESULT CALLBACK HookedWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* hook = static_cast<WindowHook*>(GetPropW(window, HookProperty));
  if (hook == nullptr) return DefWindowProcA(window, message, wParam, lParam);
  if (message == WM_NCDESTROY) DetachWindowHook(window);
  return hook->WindowProc(reinterpret_cast<WindowHandle>(window), message, wParam, lParam);
}

}  // namespace

WNDPROC AttachWindowHook(HWND window, WindowHook& hook) {
  SetPropW(window, HookProperty, &hook);
  return HookedWindowProcedure;
}

void DetachWindowHook(HWND window) { RemovePropW(window, HookProperty); }

}  // namespace platform::win32

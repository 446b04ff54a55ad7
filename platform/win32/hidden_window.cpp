#include "platform/win32/hidden_window.h"

#include "platform/win32/window_class.h"

namespace platform::win32 {
namespace {

constexpr wchar_t ClassName[] = L"Velumor.Hidden";

}  // namespace

HWND HiddenWindow::get() {
  if (window_) return window_.get();
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = DefWindowProcW;
  windowClass.hInstance = ProgramModule();
  windowClass.lpszClassName = ClassName;
  if (!EnsureWindowClass(windowClass)) return nullptr;
  // A top-level window, not a message-only one: only those can own forms.
  window_.reset(CreateWindowExW(WS_EX_TOOLWINDOW, ClassName, L"Velumor", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                ProgramModule(), nullptr));
  return window_.get();
}

}  // namespace platform::win32

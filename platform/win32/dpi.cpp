#include "platform/win32/dpi.h"

#include "platform/win32/handles.h"

namespace platform::win32 {
namespace {

// The functions of user32 that only newer Windows has, or null.
struct DpiFunctions {
  UINT(WINAPI* dpiForSystem)() = nullptr;
  UINT(WINAPI* dpiForWindow)(HWND) = nullptr;
  int(WINAPI* systemMetricsForDpi)(int, UINT) = nullptr;
  BOOL(WINAPI* adjustWindowRectExForDpi)(RECT*, DWORD, BOOL, DWORD, UINT) = nullptr;

  DpiFunctions() {
    const HMODULE user32 = GetModuleHandleW(L"user32.dll");
    if (user32 == nullptr) return;
    Find(user32, "GetDpiForSystem", dpiForSystem);
    Find(user32, "GetDpiForWindow", dpiForWindow);
    Find(user32, "GetSystemMetricsForDpi", systemMetricsForDpi);
    Find(user32, "AdjustWindowRectExForDpi", adjustWindowRectExForDpi);
  }

  template <typename Function>
  static void Find(HMODULE module, const char* name, Function& function) {
    // GetProcAddress hands every function back under one type.
    function = reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
  }
};

const DpiFunctions& Functions() {
  static const DpiFunctions functions;
  return functions;
}

UINT ScreenDpi() {
  const ScreenDeviceContext screen;
  const int dpi = screen.get() != nullptr ? GetDeviceCaps(screen.get(), LOGPIXELSY) : 0;
  return dpi > 0 ? static_cast<UINT>(dpi) : DefaultDpi;
}

}  // namespace

UINT SystemDpi() {
  if (Functions().dpiForSystem != nullptr) {
    if (const UINT dpi = Functions().dpiForSystem(); dpi > 0) return dpi;
  }
  return ScreenDpi();
}

UINT DpiOfWindow(HWND window) {
  if (Functions().dpiForWindow != nullptr && window != nullptr) {
    if (const UINT dpi = Functions().dpiForWindow(window); dpi > 0) return dpi;
  }
  return SystemDpi();
}

int MetricForDpi(int index, UINT dpi) {
  if (Functions().systemMetricsForDpi != nullptr) return Functions().systemMetricsForDpi(index, dpi);
  return MulDiv(GetSystemMetrics(index), static_cast<int>(dpi), static_cast<int>(SystemDpi()));
}

SIZE OuterSizeForDpi(SIZE client, DWORD style, DWORD exStyle, UINT dpi) {
  RECT rect{0, 0, client.cx, client.cy};
  if (Functions().adjustWindowRectExForDpi == nullptr ||
      !Functions().adjustWindowRectExForDpi(&rect, style, FALSE, exStyle, dpi)) {
    rect = {0, 0, client.cx, client.cy};
    AdjustWindowRectEx(&rect, style, FALSE, exStyle);
  }
  return {rect.right - rect.left, rect.bottom - rect.top};
}

}  // namespace platform::win32

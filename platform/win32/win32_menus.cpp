// Menus: the popup menu, shown the way a notification-area program must show
// it so that it closes when the user clicks elsewhere.
#include "platform/win32/handles.h"
#include "platform/win32/screen_scale.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/win32_platform.h"
#include "platform/win32/windows_api.h"

namespace platform::win32 {
namespace {

// Command identifiers start at 1: TrackPopupMenu reports no choice as 0.
constexpr UINT_PTR CommandOf(std::size_t index) { return index + 1; }

UniqueMenu BuildMenu(const std::vector<MenuItem>& items) {
  UniqueMenu menu(CreatePopupMenu());
  if (!menu) return menu;
  for (std::size_t index = 0; index < items.size(); ++index) {
    const MenuItem& item = items[index];
    if (item.caption == u"-") {
      AppendMenuW(menu.get(), MF_SEPARATOR, 0, nullptr);
    } else {
      const std::wstring caption = WideText(item.caption);
      AppendMenuW(menu.get(), MF_STRING | (item.checked ? MF_CHECKED : MF_UNCHECKED), CommandOf(index),
                  caption.c_str());
    }
  }
  return menu;
}

}  // namespace

int Win32Platform::ShowPopupMenu(WindowHandle owner, const std::vector<MenuItem>& items, int flags, int yTwips) {
  const UniqueMenu menu = BuildMenu(items);
  if (!menu) return -1;
  const HWND window = reinterpret_cast<HWND>(owner);
  POINT cursor{};
  GetCursorPos(&cursor);
  // The owner is a hidden form whose own coordinates mean nothing on the
  // screen: the height is taken as a screen coordinate.
  const int y = ScreenScale::Current().ScreenPixelsY(yTwips);
  // Without the foreground the menu would stay open when the user clicks
  // elsewhere; the empty message afterwards keeps the next one from closing
  // at once.
  SetForegroundWindow(window);
  const UINT trackFlags = static_cast<UINT>(flags) | TPM_LEFTBUTTON | TPM_TOPALIGN | TPM_RETURNCMD | TPM_NONOTIFY;
  const auto chosen = static_cast<UINT_PTR>(TrackPopupMenu(menu.get(), trackFlags, cursor.x, y, 0, window, nullptr));
  PostMessageW(window, WM_NULL, 0, 0);
  if (chosen == 0 || chosen > items.size()) return -1;
  return static_cast<int>(chosen - 1);
}

}  // namespace platform::win32

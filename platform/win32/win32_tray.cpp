// Tray: the notification-area icon through Shell_NotifyIconA and its first,
// 8-bit record.
#include <algorithm>

#include "platform/win32/win32_platform.h"
#include "platform/win32/windows_api.h"
// After windows.h, which it needs.
#include <shellapi.h>

namespace platform::win32 {
namespace {

constexpr std::uint32_t FirstRecordSize = NOTIFYICONDATAA_V1_SIZE;
#if defined(_WIN64)
static_assert(FirstRecordSize == 104, "the first NOTIFYICONDATAA on 64-bit Windows");
#else
static_assert(FirstRecordSize == 88, "the first NOTIFYICONDATAA on 32-bit Windows");
#endif

}  // namespace

bool Win32Platform::NotifyIcon(std::uint32_t action, const NotifyIconRecord& record) {
  NOTIFYICONDATAA data{};
  data.cbSize = FirstRecordSize;
  data.hWnd = reinterpret_cast<HWND>(record.hWnd);
  data.uID = record.uID;
  data.uFlags = record.uFlags;
  data.uCallbackMessage = record.uCallbackMessage;
  data.hIcon = reinterpret_cast<HICON>(record.hIcon);
  static_assert(sizeof data.szTip >= sizeof record.szTip);
  std::copy(record.szTip.begin(), record.szTip.end(), data.szTip);
  return Shell_NotifyIconA(action, &data) != FALSE;
}

std::uint32_t Win32Platform::NotifyIconRecordSize() { return FirstRecordSize; }

}  // namespace platform::win32

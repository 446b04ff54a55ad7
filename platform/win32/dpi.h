// Dots per inch per window. Windows 10 (1607 and later) tells each window
// the DPI of the monitor it is on and measures frames and system sizes for
// any DPI; Windows 7 and 8 (and older Wine) have one DPI for the whole
// system. The newer functions are looked up at run time, and where they are
// missing the system's DPI and its sizes, scaled, stand in.
#pragma once

#include "platform/win32/windows_api.h"

namespace platform::win32 {

inline constexpr UINT DefaultDpi = 96;  // 100 %

// The DPI the system had when the program started.
UINT SystemDpi();
// The DPI of the monitor a window is on.
UINT DpiOfWindow(HWND window);
// GetSystemMetrics at `dpi`.
int MetricForDpi(int index, UINT dpi);
// The outer size of a window whose client area is `client`, with its frame at `dpi`.
SIZE OuterSizeForDpi(SIZE client, DWORD style, DWORD exStyle, UINT dpi);

}  // namespace platform::win32

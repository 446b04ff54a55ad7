// Window classes of the desktop layer, registered once per process: several
// platform objects (the tests make many) share them.
#pragma once

#include "platform/win32/windows_api.h"

namespace platform::win32 {

inline HINSTANCE ProgramModule() { return GetModuleHandleW(nullptr); }

// Registers the class unless it exists; false when it can be neither found
// nor registered.
inline bool EnsureWindowClass(const WNDCLASSEXW& windowClass) {
  WNDCLASSEXW existing{};
  existing.cbSize = sizeof existing;
  if (GetClassInfoExW(windowClass.hInstance, windowClass.lpszClassName, &existing)) return true;
  return RegisterClassExW(&windowClass) != 0;
}

}  // namespace platform::win32

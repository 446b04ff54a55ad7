// Owners for the handles of the desktop layer: each one gives its handle back
// to Windows in the way that kind of handle needs, when it goes out of scope.
#pragma once

#include <memory>
#include <type_traits>

#include "platform/win32/windows_api.h"

namespace platform::win32 {

// A handle type of Windows (a pointer to an opaque struct) owned like a
// unique_ptr, released by `Release`.
template <typename Handle, auto Release>
struct HandleReleaser {
  void operator()(Handle handle) const { Release(handle); }
};
template <typename Handle, auto Release>
using UniqueHandleOf = std::unique_ptr<std::remove_pointer_t<Handle>, HandleReleaser<Handle, Release>>;

inline void CloseKernelObject(HANDLE handle) { CloseHandle(handle); }
inline void DestroyWindowHandle(HWND window) { DestroyWindow(window); }
inline void DestroyMenuHandle(HMENU menu) { DestroyMenu(menu); }
inline void DestroyIconHandle(HICON icon) { DestroyIcon(icon); }
inline void DeleteFontHandle(HFONT font) { DeleteObject(font); }
inline void FreeGlobalMemory(HGLOBAL memory) { GlobalFree(memory); }

using UniqueKernelHandle = UniqueHandleOf<HANDLE, CloseKernelObject>;
using UniqueWindow = UniqueHandleOf<HWND, DestroyWindowHandle>;
using UniqueMenu = UniqueHandleOf<HMENU, DestroyMenuHandle>;
using UniqueIcon = UniqueHandleOf<HICON, DestroyIconHandle>;
using UniqueFont = UniqueHandleOf<HFONT, DeleteFontHandle>;
using UniqueGlobal = UniqueHandleOf<HGLOBAL, FreeGlobalMemory>;

// A COM interface pointer, released once.
struct ComReleaser {
  template <typename Interface>
  void operator()(Interface* object) const {
    object->Release();
  }
};
template <typename Interface>
using ComPtr = std::unique_ptr<Interface, ComReleaser>;

// The device context of the whole screen, for as long as it is needed.
class ScreenDeviceContext {
 public:
  ScreenDeviceContext() : dc_(GetDC(nullptr)) {}
  ~ScreenDeviceContext() {
    if (dc_ != nullptr) ReleaseDC(nullptr, dc_);
  }
  ScreenDeviceContext(const ScreenDeviceContext&) = delete;
  ScreenDeviceContext& operator=(const ScreenDeviceContext&) = delete;

  HDC get() const { return dc_; }

 private:
  HDC dc_;
};

// Movable global memory, locked while this lives.
class LockedGlobalMemory {
 public:
  explicit LockedGlobalMemory(HGLOBAL memory) : memory_(memory), data_(GlobalLock(memory)) {}
  ~LockedGlobalMemory() {
    if (data_ != nullptr) GlobalUnlock(memory_);
  }
  LockedGlobalMemory(const LockedGlobalMemory&) = delete;
  LockedGlobalMemory& operator=(const LockedGlobalMemory&) = delete;

  void* data() const { return data_; }
  std::size_t size() const { return data_ != nullptr ? GlobalSize(memory_) : 0; }

 private:
  HGLOBAL memory_;
  void* data_;
};

}  // namespace platform::win32

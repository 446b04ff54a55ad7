#include "platform/win32/program_icons.h"

#include <algorithm>

#include "platform/win32/dpi.h"
#include "platform/win32/window_class.h"

namespace platform::win32 {
namespace {

constexpr wchar_t ProgramIconName[] = L"VELUMOR";

using LoadIconWithScaleDownFunction = HRESULT(WINAPI*)(HINSTANCE, PCWSTR, int, int, HICON*);

// Only version 6 of the common controls has it, which the manifest asks for.
LoadIconWithScaleDownFunction ScaleDownLoader() {
  static const auto loader = [] {
    const HMODULE controls = GetModuleHandleW(L"comctl32.dll");
    return controls == nullptr ? nullptr
                               : reinterpret_cast<LoadIconWithScaleDownFunction>(
                                     reinterpret_cast<void*>(GetProcAddress(controls, "LoadIconWithScaleDown")));
  }();
  return loader;
}

}  // namespace

UniqueIcon LoadIconOfSize(const wchar_t* name, int size) {
  if (const LoadIconWithScaleDownFunction load = ScaleDownLoader()) {
    HICON icon = nullptr;
    if (SUCCEEDED(load(ProgramModule(), name, size, size, &icon)) && icon != nullptr) return UniqueIcon(icon);
  }
  return UniqueIcon(static_cast<HICON>(LoadImageW(ProgramModule(), name, IMAGE_ICON, size, size, LR_DEFAULTCOLOR)));
}

IconsForDpi::IconsForDpi(const wchar_t* name, UINT dpi)
    : big_(LoadIconOfSize(name, MetricForDpi(SM_CXICON, dpi))),
      title_(LoadIconOfSize(name, MetricForDpi(SM_CXSMICON, dpi))) {}

IconPair ProgramIcons::ForDpi(UINT dpi) {
  auto found = loaded_.find(dpi);
  if (found == loaded_.end()) found = loaded_.try_emplace(dpi, ProgramIconName, dpi).first;
  return found->second.get();
}

bool ProgramIcons::Holds(HICON icon) const {
  return icon != nullptr && std::any_of(loaded_.begin(), loaded_.end(), [icon](const auto& entry) {
           const IconPair pair = entry.second.get();
           return pair.big == icon || pair.title == icon;
         });
}

}  // namespace platform::win32

// The platform object and the desktop state it keeps.
#include "platform/win32/win32_platform.h"

#include "platform/win32/desktop_state.h"

namespace platform::win32 {

Win32Platform::Win32Platform() : desktop_(std::make_unique<DesktopState>()) {}

Win32Platform::~Win32Platform() = default;

}  // namespace platform::win32

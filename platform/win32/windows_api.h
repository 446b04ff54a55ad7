// <windows.h> for the win32 layer, without the macros that would rename the
// seam's own methods (DeleteFile, MessageBox, SetWindowLong, ...); the layer
// calls the A or W function by its full name. Include this instead of
// <windows.h> wherever the seam is also seen.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
// clang-format off
#include "platform/windows_macros.h"
// clang-format on

#include <optional>
#include <string>
#include <string_view>

namespace platform::win32 {

// A seam text as the zero-terminated string the A-functions take; nothing when
// it holds a zero of its own, which would cut it short and name another object.
inline std::optional<std::string> ZeroTerminated(std::string_view text) {
  if (text.find('\0') != std::string_view::npos) return std::nullopt;
  return std::string(text);
}

}  // namespace platform::win32

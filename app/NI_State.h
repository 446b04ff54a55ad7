// What the notification icon and the window hook keep between calls.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/platform.h"

namespace NI_Private {

struct State {
  platform::WindowHandle NI_Window = 0;
  std::intptr_t NI_OldWindowProc = 0;
  // Kept from the last add, so the icon can be added again when the
  // notification area is created anew.
  std::uint32_t iconId = 0;
  platform::IconHandle icon = 0;
  std::u16string tip;
  bool iconAdded = false;
  std::uint32_t taskbarCreatedMessage = 0;
  // The receiver the platform hands the hooked window's messages to.
  std::unique_ptr<platform::WindowHook> hook;
};

}  // namespace NI_Private

// The notification-area icon and the hook on Form1's window procedure, as
// the rest of the program uses them.
#pragma once

#include <cstdint>
#include <string_view>

#include "app/program.h"

namespace NI_Public {

// Adds the icon; the hook must be in place, as the icon's record names the
// hooked window.
void NI_AddIcon(app::Program& program, std::uint32_t id, platform::IconHandle icon, std::u16string_view tip);
void NI_DeleteIcon(app::Program& program, std::uint32_t id);
// Replaces the window's procedure with NI_WindowProc; once per run.
void NI_Hook(app::Program& program, platform::WindowHandle window);
// Puts Form1's own window procedure back at shutdown: only after NI_Hook,
// and the icon must already be gone.
void NI_Unhook(app::Program& program);

}  // namespace NI_Public

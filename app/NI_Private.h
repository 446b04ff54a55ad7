// The notification record and the replacing window procedure behind the
// icon: a left press encodes, a right press opens the tray menu, every other
// message goes on to the form's own procedure.
#pragma once

#include <cstdint>
#include <string_view>

#include "app/program.h"

namespace NI_Private {

// The first 63 characters of the tip in Windows-1252, a NUL, then blanks.
platform::NotifyIconRecord NotifyRecord(app::Program& program, std::uint32_t id, platform::IconHandle icon,
                                        std::u16string_view tip);
void NI_Notify(app::Program& program, std::uint32_t action, std::uint32_t id, platform::IconHandle icon,
               std::u16string_view tip);

std::intptr_t NI_WindowProc(app::Program& program, platform::WindowHandle window, std::uint32_t message,
                            std::uintptr_t wParam, std::intptr_t lParam);

void NI_LeftClick(app::Program& program);
void NI_RightClick(app::Program& program);
void NI_DoubleClick(app::Program& program);

// The receiver that the platform's hook procedure hands Form1's messages to.
platform::WindowHook& Hook(app::Program& program);

}  // namespace NI_Private

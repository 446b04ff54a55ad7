#include "app/NI_Public.h"

#include "app/NI_Private.h"

namespace NI_Public {

void NI_AddIcon(app::Program& program, std::uint32_t id, platform::IconHandle icon, std::u16string_view tip) {
  NI_Private::State& ni = program.ni;
  ni.iconId = id;
  ni.icon = icon;
  ni.tip = tip;
  ni.iconAdded = true;
  NI_Private::NI_Notify(program, platform::NotifyAdd, id, icon, tip);
}

void NI_DeleteIcon(app::Program& program, std::uint32_t id) {
  program.ni.iconAdded = false;
  // For a removal the shell looks only at the window and the identifier.
  NI_Private::NI_Notify(program, platform::NotifyDelete, id, 1, u"");
}

void NI_Hook(app::Program& program, platform::WindowHandle window) {
  NI_Private::State& ni = program.ni;
  ni.NI_Window = window;
  ni.taskbarCreatedMessage = program.os.RegisterWindowMessage("TaskbarCreated");
  const std::intptr_t hook = program.os.HookProcedure(window, NI_Private::Hook(program));
  ni.NI_OldWindowProc = program.os.SetWindowLong(window, platform::WindowProcIndex, hook);
}

void NI_Unhook(app::Program& program) {
  program.os.SetWindowLong(program.ni.NI_Window, platform::WindowProcIndex, program.ni.NI_OldWindowProc);
}

}  // namespace NI_Public

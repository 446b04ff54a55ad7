#include "app/NI_Private.h"

#include <algorithm>

#include "app/NI_Public.h"
#include "app/encode_command.h"
#include "app/tray_menu.h"
#include "core/windows1252.h"

namespace NI_Private {
namespace {

class ProgramHook : public platform::WindowHook {
 public:
  explicit ProgramHook(app::Program& program) : program_(program) {}
  std::intptr_t WindowProc(platform::WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                           std::intptr_t lParam) override {
    return NI_WindowProc(program_, window, message, wParam, lParam);
  }

 private:
  app::Program& program_;
};

}  // namespace

platform::NotifyIconRecord NotifyRecord(app::Program& program, std::uint32_t id, platform::IconHandle icon,
                                        std::u16string_view tip) {
  platform::NotifyIconRecord record;
  record.cbSize = program.os.NotifyIconRecordSize();
  record.hWnd = program.ni.NI_Window;
  record.uID = id;
  record.uFlags = platform::NotifyFlagMessage | platform::NotifyFlagIcon | platform::NotifyFlagTip;
  record.uCallbackMessage = platform::MessageTrayCallback;
  record.hIcon = icon;
  const std::string bytes = windows1252::FromText(tip.substr(0, std::min<std::size_t>(tip.size(), 63)));
  record.szTip.fill(' ');
  std::copy(bytes.begin(), bytes.end(), record.szTip.begin());
  record.szTip[bytes.size()] = '\0';
  return record;
}

void NI_Notify(app::Program& program, std::uint32_t action, std::uint32_t id, platform::IconHandle icon,
               std::u16string_view tip) {
  program.os.NotifyIcon(action, NotifyRecord(program, id, icon, tip));
}

std::intptr_t NI_WindowProc(app::Program& program, platform::WindowHandle window, std::uint32_t message,
                            std::uintptr_t wParam, std::intptr_t lParam) {
  if (message == platform::MessageTrayCallback) {
    switch (lParam) {
      case platform::LeftButtonDown:
        NI_LeftClick(program);
        break;
      case platform::RightButtonDown:
        NI_RightClick(program);
        break;
      case platform::LeftDoubleClick:
      case platform::RightDoubleClick:
        NI_DoubleClick(program);
        break;
      default:
        break;
    }
    return 0;
  }
  const NI_Private::State& ni = program.ni;
  if (message == ni.taskbarCreatedMessage && ni.taskbarCreatedMessage != 0 && ni.iconAdded) {
    // The shell restarted: without its icon the running program could not
    // be reached, and a new start would be refused.
    NI_Notify(program, platform::NotifyAdd, ni.iconId, ni.icon, ni.tip);
  }
  return program.os.CallWindowProc(ni.NI_OldWindowProc, window, message, wParam, lParam);
}

void NI_LeftClick(app::Program& program) { common::RunEncodeCommand(program); }

void NI_RightClick(app::Program& program) { common::ShowTrayMenu(program); }

void NI_DoubleClick(app::Program&) {}

platform::WindowHook& Hook(app::Program& program) {
  if (!program.ni.hook) program.ni.hook = std::make_unique<ProgramHook>(program);
  return *program.ni.hook;
}

}  // namespace NI_Private

// What the desktop side of Win32Platform keeps between calls.
#pragma once

#include "platform/win32/form_collection.h"
#include "platform/win32/form_window.h"
#include "platform/win32/handles.h"
#include "platform/win32/hidden_window.h"
#include "platform/win32/program_icons.h"

namespace platform::win32 {

// The named mutex that marks a running instance in this user session, held
// for the life of the platform once asked for.
class SingleInstance {
 public:
  bool AnotherInstanceRunning();

 private:
  bool asked_ = false;
  bool another_ = false;
  UniqueKernelHandle mutex_;
};

// Members end in reverse order: the forms before the icons they show and the
// window that owns them.
struct DesktopState {
  HiddenWindow owner;
  ProgramIcons icons;
  SingleInstance instance;
  FormCollection forms;
};

}  // namespace platform::win32

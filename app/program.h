// The running program: the platform it talks to, the module-level flags and
// handles, the hidden main form and the dialogs.
#pragma once

#include <memory>

#include "app/NI_State.h"
#include "app/common_flags.h"
#include "dialogs/dialogs.h"
#include "platform/platform.h"

namespace app {

class Form1;

class Program {
 public:
  explicit Program(platform::Platform& os);
  ~Program();
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  // Loads Form1 as the start object; false when the program is to end at
  // once (another instance runs).
  bool Start();

  platform::Platform& os;
  dialogs::Dialogs dialogs;

  common::Flags flags;
  common::Point PopupPoint;
  NI_Private::State ni;
  // Set when Form1 unloads: whatever runs further down the call chain ends
  // at its next step without touching the clipboard or showing anything.
  bool unloading = false;

  Form1& form1() { return *form1_; }

 private:
  std::unique_ptr<Form1> form1_;
};

}  // namespace app

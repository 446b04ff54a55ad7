// The running program: the platform it talks to, the module-level flags and
// handles, and the one shared instance of each form.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/platform.h"

namespace app {
class Form1;
}
namespace dialogs {
class StartInfoDialog;
class InfoForm;
}  // namespace dialogs

namespace common {
// 16-bit Booleans: 0 false, -1 true; any non-zero value counts as true.
struct Flags {
  std::int16_t EncoderBusy = 0;      // an encoding runs; a second request is refused
  std::int16_t CancelRequested = 0;  // the user closed the progress strip
  std::int16_t ReopenMenu = 0;       // the autostart entry was toggled: show the menu again
};
inline constexpr std::int16_t True = -1, False = 0;

struct Point {
  int x = 0, y = 0;
};
}  // namespace common

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

namespace app {

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
  // The numbers of the version resource: major.minor.0.revision.
  struct Version {
    int major, minor, revision;
  } version;
  // The running version in the forms of VersionText.
  std::u16string VersionText(int flags) const;

  common::Flags flags;
  common::Point PopupPoint;
  NI_Private::State ni;
  // Set when Form1 unloads: whatever runs further down the call chain ends
  // at its next step without touching the clipboard or showing anything.
  bool unloading = false;

  Form1& form1() { return *form1_; }
  dialogs::StartInfoDialog& startInfoDialog() { return *startInfoDialog_; }
  dialogs::InfoForm& infoForm() { return *infoForm_; }

 private:
  std::unique_ptr<Form1> form1_;
  std::unique_ptr<dialogs::StartInfoDialog> startInfoDialog_;
  std::unique_ptr<dialogs::InfoForm> infoForm_;
};

}  // namespace app

// The hidden main form: start-up, the close request and shutdown. It owns
// the hooked window, the autostart check box and the tray menu's check
// marks, and doubles as the progress strip while an encoding runs.
#pragma once

#include <array>
#include <cstdint>

#include "app/program.h"
#include "support/check_box.h"

namespace app {

// The tip of the notification-area icon: 48 characters, beginning with a blank.
inline constexpr std::u16string_view TrayTip = u" Velumor: Links: Code codieren -:- Rechts: Menü.";

inline constexpr std::u16string_view StartNotice =
    u"Velumor wurde gestartet und in der Taskleiste neben der Windowsuhr verankert.\\n\\nMarkieren und kopieren Sie "
    u"den zu kodierenden Text in die Zwischenablage und klicken Sie mit der linken Maustaste auf das Velumor-Icon "
    u"...";

// Width of the progress strip; its height leaves only the title bar.
inline constexpr int StripWidthTwips = 3000;

class Form1 : public platform::FormEvents {
 public:
  explicit Form1(Program& program);

  // Loads the form and runs Form_Load; false when the program is to end.
  bool Load();

  bool Form_Load();
  void Form_QueryUnload(std::int16_t& Cancel, std::int16_t UnloadMode);
  void Form_Unload(std::int16_t& Cancel);

  // The tray menu's command handler and the autostart box's click handler.
  void pum_Click(std::int16_t Index);
  void AutoStartChk_Click();

  platform::FormId id() const { return id_; }
  platform::WindowHandle hWnd();
  bool loaded() const { return loaded_; }

  // The hidden check box that holds the autostart state.
  controls::CheckBox AutoStartChk;
  // The check marks of the menu entries `pum`.
  std::array<bool, 9> pumChecked{};

  void OnClick(std::string_view control, int index) override;
  bool OnQueryUnload(int mode) override;
  void OnUnload() override;

 private:
  Program& program_;
  platform::FormId id_ = 0;
  bool loaded_ = false;
};

}  // namespace app

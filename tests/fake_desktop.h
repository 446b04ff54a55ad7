// The desktop half of the in-memory Windows: windows with replaceable
// procedures, the notification area, popup menus, clipboard, sound, forms
// and a queue of pending events that DoEvents and every modal loop run, so
// that clicks can arrive in the middle of a running command.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/platform.h"

namespace fake {

struct PassedMessage {
  platform::WindowHandle window;
  std::uint32_t message;
  std::uintptr_t wParam;
  std::intptr_t lParam;
  bool operator==(const PassedMessage&) const = default;
};

struct FakeWindows {
  // The procedure a form window has when it is created.
  static std::intptr_t OriginalProcedure(platform::WindowHandle window) { return 0x7000 + window; }
  // The result the original procedures give, to check it comes back unchanged.
  static std::intptr_t OriginalResult(std::uint32_t message) { return 4000 + message; }
  // The procedure the window has now.
  std::intptr_t Procedure(platform::WindowHandle window) const;

  std::map<platform::WindowHandle, std::intptr_t> procedures;  // present procedure of each window
  std::vector<PassedMessage> passedOn;                         // reached an original procedure
  std::vector<std::pair<platform::WindowHandle, bool>> topmostCalls;
  int cursorY = 500;
  std::map<std::string, std::uint32_t> registeredMessages;
  std::map<std::intptr_t, platform::WindowHook*> hooks;  // by the procedure address handed out
};

// The icons the notification area shows, by window and id.
struct FakeTray {
  std::map<std::pair<platform::WindowHandle, std::uint32_t>, platform::NotifyIconRecord> icons;
  // The tip of the first icon, up to its terminating zero.
  std::string Tip() const;
};

struct FakeMenus {
  struct Showing {
    platform::WindowHandle owner;
    std::vector<platform::MenuItem> items;
    int flags, yTwips;
  };
  std::vector<Showing> showings;
  // What the user does while each menu is open: the chosen index or -1.
  std::deque<std::function<int()>> choices;
};

struct FakeClipboard {
  std::optional<std::u16string> text;                            // nothing: no text on the clipboard
  std::optional<platform::ClipboardStatus> nextRead, nextWrite;  // a failure of the next call
  std::vector<std::u16string> writes;
};

struct FakeSound {
  std::vector<std::u16string> played;
  int beeps = 0;
  // The bare names of the sounds played, in order: "in", "out", ...
  std::vector<std::string> Names() const;
};

struct FakeForms {
  struct Control {
    platform::ControlSpec spec;
    std::u16string caption;
    int width = 0;
    bool visible = true;
    int value = 0;
    std::u16string picture;
  };
  struct Form {
    platform::FormEvents* events = nullptr;
    platform::WindowHandle window = 0;
    std::u16string caption;
    bool loaded = false, visible = false;
    platform::FormBounds bounds;
    std::vector<Control> controls;
    int showings = 0, frontings = 0;
    Control& Find(std::string_view name, int index);
  };

  std::map<platform::FormId, Form> forms;
  platform::ScreenMetrics screen{1024 * 15, 768 * 15, 15, 15};
  std::vector<std::u16string> unreadablePictures;  // files that exist but do not decode
  // What the user does in each modal form, in order; when a form is still
  // open afterwards, the user closes it with the close box.
  std::deque<std::function<void(platform::FormId)>> modalActions;
  std::vector<std::u16string> captionHistory;          // of every form, in order
  std::function<void(std::u16string_view)> onCaption;  // runs after each caption change

  std::vector<platform::FormId> LoadedForms() const;
  // The user's actions.
  void Click(platform::FormId form, std::string_view control, int index = -1);
  void Tick(platform::FormId form, std::string_view control, int value = 1);
  void CloseBox(platform::FormId form) { Close(form, platform::UnloadByUser); }
  // A close request for a reason: the form is asked, then unloaded unless it refuses.
  void Close(platform::FormId form, int mode);
  platform::FormId nextId = 1;
};

struct FakeProcess {
  bool anotherInstance = false;
  platform::IconHandle icon = 0x1C0;
  platform::WindowsVersion version{2, 5, 1, 2600};
};

}  // namespace fake

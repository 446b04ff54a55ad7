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

// Pending events: what the real message loop would deliver next.
class FakeEvents {
 public:
  std::deque<std::function<void()>> pending;

  void Post(std::function<void()> event) { pending.push_back(std::move(event)); }
  // Runs what is pending now and what those events post in turn.
  void RunPending();
};

struct PassedMessage {
  platform::WindowHandle window;
  std::uint32_t message;
  std::uintptr_t wParam;
  std::intptr_t lParam;
  bool operator==(const PassedMessage&) const = default;
};

class FakeForms;

class FakeWindows {
 public:
  explicit FakeWindows(FakeForms& forms) : forms_(forms) {}

  // The procedure a form window has when it is created.
  static std::intptr_t OriginalProcedure(platform::WindowHandle window) { return 0x7000 + window; }
  // The result the original procedures give, to check it comes back unchanged.
  static std::intptr_t OriginalResult(std::uint32_t message) { return 4000 + message; }

  // Sends a message to the window's present procedure.
  std::intptr_t Send(platform::WindowHandle window, std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam);

  std::map<platform::WindowHandle, std::intptr_t> procedures;  // present procedure of each window
  std::vector<PassedMessage> passedOn;                         // reached an original procedure
  std::vector<std::string> setWindowLongCalls;                 // "window,index,value"
  std::vector<std::pair<platform::WindowHandle, bool>> topmostCalls;
  int cursorX = 700, cursorY = 500;
  int cursorReads = 0;
  std::map<std::string, std::uint32_t> registeredMessages;

  std::intptr_t HookProcedure(platform::WindowHandle window, platform::WindowHook& hook);
  std::intptr_t SetWindowLong(platform::WindowHandle window, int index, std::intptr_t value);
  std::intptr_t CallWindowProc(std::intptr_t procedure, platform::WindowHandle window, std::uint32_t message,
                               std::uintptr_t wParam, std::intptr_t lParam);
  std::uint32_t RegisterWindowMessage(std::string_view name);
  void SetTopmost(platform::WindowHandle window, bool onTop);
  bool CursorPosition(int& x, int& y);

 private:
  FakeForms& forms_;
  std::map<std::intptr_t, platform::WindowHook*> hooks_;
};

class FakeTray {
 public:
  struct Call {
    std::uint32_t action;
    platform::NotifyIconRecord record;
  };
  std::vector<Call> calls;
  std::map<std::pair<platform::WindowHandle, std::uint32_t>, platform::NotifyIconRecord> icons;

  bool NotifyIcon(std::uint32_t action, const platform::NotifyIconRecord& record);
  std::uint32_t NotifyIconRecordSize() { return 88; }
  std::string Tip(std::size_t call) const;
};

class FakeMenus {
 public:
  struct Showing {
    platform::WindowHandle owner;
    std::vector<platform::MenuItem> items;
    int flags, yTwips;
  };
  std::vector<Showing> showings;
  // What the user does while each menu is open: the chosen index or -1.
  std::deque<std::function<int()>> choices;

  int ShowPopupMenu(platform::WindowHandle owner, const std::vector<platform::MenuItem>& items, int flags, int yTwips);
};

class FakeClipboard {
 public:
  std::optional<std::u16string> text;                           // nothing: no text on the clipboard
  std::deque<platform::ClipboardStatus> nextReads, nextWrites;  // injected failures
  std::vector<std::u16string> writes;
  // A write that fails after clearing leaves the clipboard empty.
  platform::ClipboardText ReadClipboardText();
  platform::ClipboardStatus ReplaceClipboardText(std::u16string_view text);
};

class FakeSound {
 public:
  std::vector<std::u16string> played;
  int beeps = 0;
  void PlayWaveFile(std::u16string_view path) { played.emplace_back(path); }
  void Beep() { ++beeps; }
  // The bare names of the sounds played, in order: "in", "out", ...
  std::vector<std::string> Names() const;
};

class FakeForms {
 public:
  struct Control {
    platform::ControlSpec spec;
    std::u16string caption;
    int width = 0;
    bool visible = true;
    int value = 0;
    std::u16string picture;
  };
  struct Form {
    platform::FormSpec spec;
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

  Form* ByWindow(platform::WindowHandle window);
  Form* ByCaption(std::u16string_view caption);
  std::vector<platform::FormId> LoadedForms() const;
  // The user's actions.
  void Click(platform::FormId form, std::string_view control, int index = -1);
  void Tick(platform::FormId form, std::string_view control, int value = 1);
  void CloseBox(platform::FormId form);
  // A close request for a reason: the form is asked, then unloaded unless it refuses.
  void Close(platform::FormId form, int mode);

  platform::FormId LoadForm(const platform::FormSpec& spec, platform::FormEvents& events);
  platform::WindowHandle FormWindow(platform::FormId form) { return forms.at(form).window; }
  void ShowForm(platform::FormId form, bool modal);
  void HideForm(platform::FormId form) { forms.at(form).visible = false; }
  void UnloadForm(platform::FormId form);
  void BringToFront(platform::FormId form) { ++forms.at(form).frontings; }
  void SetFormCaption(platform::FormId form, std::u16string_view caption);
  void SetFormSize(platform::FormId form, int widthTwips, int heightTwips);
  void SetFormPosition(platform::FormId form, int leftTwips, int topTwips);
  platform::FormBounds Bounds(platform::FormId form) { return forms.at(form).bounds; }
  void SetControlCaption(platform::FormId form, std::string_view control, int index, std::u16string_view caption);
  void SetControlWidth(platform::FormId form, std::string_view control, int index, int widthTwips);
  void SetControlVisible(platform::FormId form, std::string_view control, int index, bool visible);
  int ControlValue(platform::FormId form, std::string_view control, int index);
  bool LoadPicture(platform::FormId form, std::string_view control, int index, std::u16string_view path);
  platform::ScreenMetrics Screen() { return screen; }

 private:
  platform::FormId nextId_ = 1;
};

class FakeProcess {
 public:
  bool anotherInstance = false;
  platform::IconHandle icon = 0x1C0;
  platform::WindowsVersion version{2, 5, 1, 2600};
  bool AnotherInstanceRunning() { return anotherInstance; }
  platform::IconHandle ProgramIcon() { return icon; }
  platform::WindowsVersion GetVersionEx() { return version; }
};

}  // namespace fake

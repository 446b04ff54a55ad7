// An in-memory Windows for the tests of the logic above the seam: a registry
// with keys, typed values and handles; files with attributes; recorded shell
// calls and message boxes; windows with replaceable procedures, the
// notification area, popup menus, clipboard, sound, forms and a queue of
// pending events that DoEvents and every modal loop run, so that clicks can
// arrive in the middle of a running command. Each part keeps its state where
// the tests set it up and look; FakePlatform is the seam on them.
#pragma once

#include <algorithm>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/platform.h"

namespace fake {

// Windows compares names without regard to case; so do the fakes, for ASCII
// letters: other bytes stay as they are, so two different letters never fold together.
std::string Folded(std::string_view text);

// The Windows-1252 bytes of a text, for setting up and checking 8-bit data.
std::string Bytes(std::u16string_view text);
// A path as the fakes keep and record it: UTF-8, so that ASCII paths are
// plain literals in the tests and no letter is lost.
std::string Utf8(std::u16string_view path);

// The first of the queued events or user actions, taken off the queue; an
// empty one when none is left.
template <class Action>
Action TakeFirst(std::deque<Action>& queue) {
  if (queue.empty()) return Action();
  Action first = std::move(queue.front());
  queue.pop_front();
  return first;
}

struct StoredValue {
  std::uint32_t type = platform::RegSz;
  std::string data;       // what the A-functions see
  std::u16string wide{};  // what the W-functions see: the text as written through them
  bool operator==(const StoredValue&) const = default;
};
// A REG_SZ value as the W-functions store a text: with its terminating zero,
// the 8-bit view losing what Windows-1252 lacks.
StoredValue TextValue(std::u16string_view text);

class FakeRegistry {
 public:
  using Root = platform::RegistryRoot;
  using Key = std::map<std::string, StoredValue>;  // by folded name

  // Set-up and inspection. Paths and names as the logic passes them.
  void Put(Root root, std::string_view path, std::string_view name, std::uint32_t type, std::string_view data);
  // A text as the W-functions store it.
  void PutText(Root root, std::string_view path, std::string_view name, std::u16string_view text);
  std::optional<StoredValue> Get(Root root, std::string_view path, std::string_view name) const;

  // The key behind an open handle; null when the handle is unknown or not
  // open for writing. And a value in it, null when either is missing.
  Key* Find(platform::RegistryHandle key, bool forWriting);
  const StoredValue* Find(platform::RegistryHandle key, std::string_view name);
  platform::RegistryHandle Open(Root root, std::string_view path, bool writable);

  std::map<std::string, Key> keys;  // by folded root and path
  struct Handle {
    std::string keyId;
    bool writable;
  };
  std::map<platform::RegistryHandle, Handle> handles;  // the open ones
  platform::RegistryHandle nextHandle = 0x100;
};

class FakeFiles {
 public:
  struct Entry {
    std::uint32_t attributes;
    bool attributesLocked = false;  // its attributes cannot be changed
  };

  Entry& AddFile(std::string_view path, std::uint32_t attributes = platform::AttributeArchive) {
    return entries[Folded(path)] = {attributes};
  }
  Entry* Find(std::string_view path) {
    const auto found = entries.find(Folded(path));
    return found == entries.end() ? nullptr : &found->second;
  }

  std::u16string programFolder = u"C:\\Programme\\Velumor";
  std::u16string programName = u"Velumor";
  std::map<std::string, Entry> entries;  // by folded path
};

struct Execution {
  std::string verb, target;
  int showCommand;
  bool operator==(const Execution&) const = default;
};

struct Message {
  std::u16string text, caption;
  int style;
  bool operator==(const Message&) const = default;
};

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
  std::intptr_t Procedure(platform::WindowHandle window) const {
    const auto present = procedures.find(window);
    return present != procedures.end() ? present->second : OriginalProcedure(window);
  }

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
  std::string Tip() const {
    const auto& tip = icons.begin()->second.szTip;
    return std::string(tip.data(), std::find(tip.begin(), tip.end(), '\0'));
  }
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

  std::vector<platform::FormId> LoadedForms() const {
    std::vector<platform::FormId> loaded;
    for (const auto& [id, form] : forms) {
      if (form.loaded) loaded.push_back(id);
    }
    return loaded;
  }
  // The user's actions.
  void Click(platform::FormId form, std::string_view control, int index = -1) {
    forms.at(form).events->OnClick(control, index);
  }
  void Tick(platform::FormId form, std::string_view control, int value = 1) {
    forms.at(form).Find(control, -1).value = value;
  }
  void CloseBox(platform::FormId form) { Close(form, platform::UnloadByUser); }
  // A close request for a reason: the form is asked, then unloaded unless it refuses.
  void Close(platform::FormId id, int mode) {
    Form& form = forms.at(id);
    if (!form.loaded || form.events->OnQueryUnload(mode)) return;
    form.loaded = false;
    form.visible = false;
    form.events->OnUnload();
  }
  platform::FormId nextId = 1;
};

struct FakeProcess {
  bool anotherInstance = false;
  platform::IconHandle icon = 0x1C0;
  platform::WindowsVersion version{2, 5, 1, 2600};
};

// The seam on the fakes above; what each call did is kept where the tests look.
class FakePlatform : public platform::Platform {
 public:
  FakeRegistry registry;
  FakeFiles files;
  std::vector<Execution> executions;
  std::vector<Message> messages;
  std::deque<std::function<void()>> events;  // what the real message loop would deliver next
  FakeWindows windows;
  FakeTray tray;
  FakeMenus menus;
  FakeClipboard clipboard;
  FakeSound sound;
  FakeProcess process;
  FakeForms forms;

  // Sends a message to the window's present procedure.
  std::intptr_t Send(platform::WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                     std::intptr_t lParam) {
    return CallWindowProc(windows.Procedure(window), window, message, wParam, lParam);
  }

  long OpenKey(platform::RegistryRoot root, std::string_view subKey, platform::RegistryAccess access,
               platform::RegistryHandle& key) override;
  long QueryMaxValueDataSize(platform::RegistryHandle key, std::uint32_t& size) override;
  long QueryValue(platform::RegistryHandle key, std::string_view name, std::uint32_t* type, char* data,
                  std::uint32_t* size) override;
  long CreateKey(platform::RegistryRoot root, std::string_view subKey, platform::RegistryHandle& key) override;
  long SetValue(platform::RegistryHandle key, std::string_view name, std::uint32_t type, const char* data,
                std::uint32_t size) override;
  long DeleteValue(platform::RegistryHandle key, std::string_view name) override;
  long QueryText(platform::RegistryHandle key, std::string_view name, std::u16string& text) override;
  long SetText(platform::RegistryHandle key, std::string_view name, std::u16string_view text) override;
  long CloseKey(platform::RegistryHandle key) override {
    return registry.handles.erase(key) != 0 ? platform::RegistrySuccess : 6;  // ERROR_INVALID_HANDLE
  }

  std::vector<std::uint32_t> MatchingAttributes(std::u16string_view pattern) override;
  bool SetAttributes(std::u16string_view path, std::uint32_t attributes) override;
  bool DeleteFile(std::u16string_view path) override;
  std::u16string ProgramFolder() override { return files.programFolder; }
  std::u16string ProgramName() override { return files.programName; }

  void Execute(std::string_view verb, std::u16string_view target, int showCommand) override {
    executions.push_back({std::string(verb), Utf8(target), showCommand});
  }
  int MessageBox(std::u16string_view text, std::u16string_view caption, int style) override {
    messages.push_back({std::u16string(text), std::u16string(caption), style});
    return 1;  // IDOK
  }

  std::intptr_t HookProcedure(platform::WindowHandle window, platform::WindowHook& hook) override {
    windows.hooks[0x9000 + static_cast<std::intptr_t>(window)] = &hook;
    return 0x9000 + static_cast<std::intptr_t>(window);
  }
  std::intptr_t SetWindowLong(platform::WindowHandle window, int index, std::intptr_t value) override {
    if (index != platform::WindowProcIndex) return 0;
    const std::intptr_t previous = windows.Procedure(window);
    windows.procedures[window] = value;
    return previous;
  }
  std::intptr_t CallWindowProc(std::intptr_t procedure, platform::WindowHandle window, std::uint32_t message,
                               std::uintptr_t wParam, std::intptr_t lParam) override;
  std::uint32_t RegisterWindowMessage(std::string_view name) override {
    auto& registered = windows.registeredMessages;
    return registered.emplace(std::string(name), 0xC000 + static_cast<std::uint32_t>(registered.size())).first->second;
  }
  void SetTopmost(platform::WindowHandle window, bool onTop) override {
    windows.topmostCalls.emplace_back(window, onTop);
  }
  bool CursorPosition(int& x, int& y) override {
    x = 700;
    y = windows.cursorY;
    return true;
  }

  bool NotifyIcon(std::uint32_t action, const platform::NotifyIconRecord& record) override {
    const auto key = std::make_pair(record.hWnd, record.uID);
    if (action == platform::NotifyAdd) return tray.icons.emplace(key, record).second;
    if (action == platform::NotifyDelete) return tray.icons.erase(key) == 1;
    return false;
  }
  std::uint32_t NotifyIconRecordSize() override { return 88; }

  int ShowPopupMenu(platform::WindowHandle owner, const std::vector<platform::MenuItem>& items, int flags,
                    int yTwips) override;

  platform::ClipboardText ReadClipboardText() override {
    if (const auto failure = std::exchange(clipboard.nextRead, std::nullopt)) return {*failure, u""};
    return {platform::ClipboardStatus::Ok, clipboard.text.value_or(u"")};
  }
  platform::ClipboardStatus ReplaceClipboardText(std::u16string_view value) override {
    if (const auto failure = std::exchange(clipboard.nextWrite, std::nullopt)) {
      // A write that fails after clearing leaves the clipboard empty.
      if (*failure == platform::ClipboardStatus::Failed) clipboard.text.reset();
      return *failure;
    }
    clipboard.text = std::u16string(value);
    clipboard.writes.emplace_back(value);
    return platform::ClipboardStatus::Ok;
  }

  void PlayWaveFile(std::u16string_view path) override { sound.played.emplace_back(path); }
  void Beep() override { ++sound.beeps; }

  void DoEvents() override {
    // What is pending now, and what those events post in turn.
    while (const auto event = TakeFirst(events)) event();
  }

  bool AnotherInstanceRunning() override { return process.anotherInstance; }
  platform::IconHandle ProgramIcon() override { return process.icon; }
  platform::WindowsVersion GetVersionEx() override { return process.version; }

  platform::FormId LoadForm(const platform::FormSpec& spec, platform::FormEvents& events) override;
  platform::WindowHandle FormWindow(platform::FormId form) override { return forms.forms.at(form).window; }
  void ShowForm(platform::FormId form, bool modal) override;
  void HideForm(platform::FormId form) override { forms.forms.at(form).visible = false; }
  void UnloadForm(platform::FormId form) override { forms.Close(form, platform::UnloadByCode); }
  void BringToFront(platform::FormId form) override { ++forms.forms.at(form).frontings; }
  void SetFormCaption(platform::FormId form, std::u16string_view caption) override {
    forms.forms.at(form).caption = caption;
    forms.captionHistory.emplace_back(caption);
    if (forms.onCaption) forms.onCaption(caption);
  }
  void SetFormSize(platform::FormId form, int widthTwips, int heightTwips) override {
    forms.forms.at(form).bounds.width = widthTwips;
    forms.forms.at(form).bounds.height = std::max(heightTwips, 29 * 15);
  }
  void SetFormPosition(platform::FormId form, int leftTwips, int topTwips) override {
    forms.forms.at(form).bounds.left = leftTwips;
    forms.forms.at(form).bounds.top = topTwips;
  }
  platform::FormBounds Bounds(platform::FormId form) override { return forms.forms.at(form).bounds; }
  void SetControlCaption(platform::FormId form, std::string_view control, int index,
                         std::u16string_view caption) override {
    forms.forms.at(form).Find(control, index).caption = caption;
  }
  void SetControlWidth(platform::FormId form, std::string_view control, int index, int widthTwips) override {
    forms.forms.at(form).Find(control, index).width = widthTwips;
  }
  void SetControlVisible(platform::FormId form, std::string_view control, int index, bool visible) override {
    forms.forms.at(form).Find(control, index).visible = visible;
  }
  int ControlValue(platform::FormId form, std::string_view control, int index) override {
    return forms.forms.at(form).Find(control, index).value;
  }
  bool LoadPicture(platform::FormId form, std::string_view control, int index, std::u16string_view path) override {
    const auto& unreadable = forms.unreadablePictures;
    if (std::find(unreadable.begin(), unreadable.end(), path) != unreadable.end()) return false;
    forms.forms.at(form).Find(control, index).picture = path;
    return true;
  }
  platform::ScreenMetrics Screen() override { return forms.screen; }
};

}  // namespace fake

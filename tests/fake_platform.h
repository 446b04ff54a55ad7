// An in-memory Windows for the tests of the logic above the seam: a registry
// with keys, typed values and handles; files with attributes and drives that
// are not ready; recorded shell calls and message boxes. One fake per
// interface, composed into FakePlatform.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <ostream>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "fake_desktop.h"
#include "platform/platform.h"

namespace fake {

// Windows compares names without regard to case; so do the fakes, for the
// letters of Windows-1252 that have a lower-case form.
std::string Folded(std::string_view text);

// The Windows-1252 bytes of a text, for setting up and checking 8-bit data.
std::string Bytes(std::u16string_view text);
// A path as the fakes keep and record it: UTF-8, so that ASCII paths are
// plain literals in the tests and no letter is lost.
std::string Utf8(std::u16string_view path);

struct StoredValue {
  std::uint32_t type = platform::RegSz;
  std::string data;       // what the A-functions see
  std::u16string wide{};  // what the W-functions see, when written as text; else data read as Windows-1252
  bool operator==(const StoredValue&) const = default;
};

class FakeRegistry {
 public:
  using Root = platform::RegistryRoot;

  // Set-up and inspection. Paths and names as the logic passes them.
  void Put(Root root, std::string_view path, std::string_view name, std::uint32_t type, std::string_view data);
  // A REG_SZ value with its terminating zero, as the W-functions store it.
  void PutText(Root root, std::string_view path, std::string_view name, std::u16string_view text);
  void AddKey(Root root, std::string_view path);
  std::optional<StoredValue> Get(Root root, std::string_view path, std::string_view name) const;
  std::size_t OpenHandles() const { return handles_.size(); }

  // Every key with its values, to show that nothing else changed.
  struct Key {
    std::map<std::string, StoredValue> values;  // by folded name
    bool operator==(const Key&) const = default;
  };
  using Contents = std::map<std::string, Key>;  // by folded root and path
  const Contents& AllKeys() const { return keys_; }

  // The seam.
  long OpenKey(Root root, std::string_view subKey, platform::RegistryAccess access, platform::RegistryHandle& key);
  long QueryMaxValueDataSize(platform::RegistryHandle key, std::uint32_t& size);
  long QueryValue(platform::RegistryHandle key, std::string_view name, std::uint32_t* type, char* data,
                  std::uint32_t* size);
  long CreateKey(Root root, std::string_view subKey, platform::RegistryHandle& key);
  long SetValue(platform::RegistryHandle key, std::string_view name, std::uint32_t type, const char* data,
                std::uint32_t size);
  long DeleteValue(platform::RegistryHandle key, std::string_view name);
  long QueryText(platform::RegistryHandle key, std::string_view name, std::u16string& text);
  long SetText(platform::RegistryHandle key, std::string_view name, std::u16string_view text);
  long CloseKey(platform::RegistryHandle key);

 private:
  struct Handle {
    std::string keyId;
    bool writable;
  };
  Key* Find(platform::RegistryHandle key, bool forWriting, long& result);

  Contents keys_;
  std::map<platform::RegistryHandle, Handle> handles_;
  platform::RegistryHandle nextHandle_ = 0x100;
};

class FakeFiles {
 public:
  struct Entry {
    std::string path;
    std::uint32_t attributes;
    bool locked = false;            // held open by another program: cannot be deleted
    bool attributesLocked = false;  // its attributes cannot be changed
  };

  void AddFile(std::string_view path, std::uint32_t attributes = platform::AttributeArchive);
  void AddFolder(std::string_view path);
  Entry* Find(std::string_view path);
  void SetDriveNotReady(char drive) { notReady_.insert(Folded(std::string(1, drive))[0]); }

  std::u16string programFolder = u"C:\\Programme\\Velumor";
  std::u16string programName = u"Velumor";
  std::vector<std::string> searches;  // every pattern searched, in order

  // The seam.
  std::vector<std::uint32_t> MatchingAttributes(std::u16string_view pattern);
  bool SetAttributes(std::u16string_view path, std::uint32_t attributes);
  bool DeleteFile(std::u16string_view path);
  std::u16string ProgramFolder() { return programFolder; }
  std::u16string ProgramName() { return programName; }

 private:
  bool OnDriveNotReady(std::string_view path) const;

  std::map<std::string, Entry> entries_;  // by folded path
  std::set<char> notReady_;
};

class FakeShell {
 public:
  struct Execution {
    std::string verb, target;
    int showCommand;
    bool operator==(const Execution&) const = default;
    friend std::ostream& operator<<(std::ostream& out, const Execution& e) {
      return out << '{' << e.verb << ", " << e.target << ", " << e.showCommand << '}';
    }
  };
  std::vector<Execution> executions;

  void Execute(std::string_view verb, std::u16string_view target, int showCommand) {
    executions.push_back({std::string(verb), Utf8(target), showCommand});
  }
};

class FakeDialogs {
 public:
  struct Message {
    std::u16string text, caption;
    int style;
    bool operator==(const Message&) const = default;
    friend std::ostream& operator<<(std::ostream& out, const Message& m) {
      return out << '{' << Bytes(m.text) << ", " << Bytes(m.caption) << ", " << m.style << '}';
    }
  };
  std::vector<Message> messages;

  int MessageBox(std::u16string_view text, std::u16string_view caption, int style) {
    messages.push_back({std::u16string(text), std::u16string(caption), style});
    return 1;  // IDOK
  }
};

class FakePlatform : public platform::Platform {
 public:
  FakeRegistry registry;
  FakeFiles files;
  FakeShell shell;
  FakeDialogs dialogs;
  FakeEvents events;
  FakeForms forms;
  FakeWindows windows{forms};
  FakeTray tray;
  FakeMenus menus;
  FakeClipboard clipboard;
  FakeSound sound;
  FakeProcess process;

  long OpenKey(platform::RegistryRoot root, std::string_view subKey, platform::RegistryAccess access,
               platform::RegistryHandle& key) override {
    return registry.OpenKey(root, subKey, access, key);
  }
  long QueryMaxValueDataSize(platform::RegistryHandle key, std::uint32_t& size) override {
    return registry.QueryMaxValueDataSize(key, size);
  }
  long QueryValue(platform::RegistryHandle key, std::string_view name, std::uint32_t* type, char* data,
                  std::uint32_t* size) override {
    return registry.QueryValue(key, name, type, data, size);
  }
  long CreateKey(platform::RegistryRoot root, std::string_view subKey, platform::RegistryHandle& key) override {
    return registry.CreateKey(root, subKey, key);
  }
  long SetValue(platform::RegistryHandle key, std::string_view name, std::uint32_t type, const char* data,
                std::uint32_t size) override {
    return registry.SetValue(key, name, type, data, size);
  }
  long DeleteValue(platform::RegistryHandle key, std::string_view name) override {
    return registry.DeleteValue(key, name);
  }
  long QueryText(platform::RegistryHandle key, std::string_view name, std::u16string& text) override {
    return registry.QueryText(key, name, text);
  }
  long SetText(platform::RegistryHandle key, std::string_view name, std::u16string_view text) override {
    return registry.SetText(key, name, text);
  }
  long CloseKey(platform::RegistryHandle key) override { return registry.CloseKey(key); }

  std::vector<std::uint32_t> MatchingAttributes(std::u16string_view pattern) override {
    return files.MatchingAttributes(pattern);
  }
  bool SetAttributes(std::u16string_view path, std::uint32_t attributes) override {
    return files.SetAttributes(path, attributes);
  }
  bool DeleteFile(std::u16string_view path) override { return files.DeleteFile(path); }
  std::u16string ProgramFolder() override { return files.ProgramFolder(); }
  std::u16string ProgramName() override { return files.ProgramName(); }

  void Execute(std::string_view verb, std::u16string_view target, int showCommand) override {
    shell.Execute(verb, target, showCommand);
  }

  int MessageBox(std::u16string_view text, std::u16string_view caption, int style) override {
    return dialogs.MessageBox(text, caption, style);
  }

  std::intptr_t HookProcedure(platform::WindowHandle window, platform::WindowHook& hook) override {
    return windows.HookProcedure(window, hook);
  }
  std::intptr_t SetWindowLong(platform::WindowHandle window, int index, std::intptr_t value) override {
    return windows.SetWindowLong(window, index, value);
  }
  std::intptr_t CallWindowProc(std::intptr_t procedure, platform::WindowHandle window, std::uint32_t message,
                               std::uintptr_t wParam, std::intptr_t lParam) override {
    return windows.CallWindowProc(procedure, window, message, wParam, lParam);
  }
  std::uint32_t RegisterWindowMessage(std::string_view name) override { return windows.RegisterWindowMessage(name); }
  void SetTopmost(platform::WindowHandle window, bool onTop) override { windows.SetTopmost(window, onTop); }
  bool CursorPosition(int& x, int& y) override { return windows.CursorPosition(x, y); }

  bool NotifyIcon(std::uint32_t action, const platform::NotifyIconRecord& record) override {
    return tray.NotifyIcon(action, record);
  }
  std::uint32_t NotifyIconRecordSize() override { return tray.NotifyIconRecordSize(); }

  int ShowPopupMenu(platform::WindowHandle owner, const std::vector<platform::MenuItem>& items, int flags,
                    int yTwips) override {
    return menus.ShowPopupMenu(owner, items, flags, yTwips);
  }

  platform::ClipboardText ReadClipboardText() override { return clipboard.ReadClipboardText(); }
  platform::ClipboardStatus ReplaceClipboardText(std::u16string_view text) override {
    return clipboard.ReplaceClipboardText(text);
  }

  void PlayWaveFile(std::u16string_view path) override { sound.PlayWaveFile(path); }
  void Beep() override { sound.Beep(); }

  void DoEvents() override { events.RunPending(); }

  bool AnotherInstanceRunning() override { return process.AnotherInstanceRunning(); }
  platform::IconHandle ProgramIcon() override { return process.ProgramIcon(); }
  platform::WindowsVersion GetVersionEx() override { return process.GetVersionEx(); }

  platform::FormId LoadForm(const platform::FormSpec& spec, platform::FormEvents& events) override {
    return forms.LoadForm(spec, events);
  }
  platform::WindowHandle FormWindow(platform::FormId form) override { return forms.FormWindow(form); }
  void ShowForm(platform::FormId form, bool modal) override { forms.ShowForm(form, modal); }
  void HideForm(platform::FormId form) override { forms.HideForm(form); }
  void UnloadForm(platform::FormId form) override { forms.UnloadForm(form); }
  void BringToFront(platform::FormId form) override { forms.BringToFront(form); }
  void SetFormCaption(platform::FormId form, std::u16string_view caption) override {
    forms.SetFormCaption(form, caption);
  }
  void SetFormSize(platform::FormId form, int widthTwips, int heightTwips) override {
    forms.SetFormSize(form, widthTwips, heightTwips);
  }
  void SetFormPosition(platform::FormId form, int leftTwips, int topTwips) override {
    forms.SetFormPosition(form, leftTwips, topTwips);
  }
  platform::FormBounds Bounds(platform::FormId form) override { return forms.Bounds(form); }
  void SetControlCaption(platform::FormId form, std::string_view control, int index,
                         std::u16string_view caption) override {
    forms.SetControlCaption(form, control, index, caption);
  }
  void SetControlWidth(platform::FormId form, std::string_view control, int index, int widthTwips) override {
    forms.SetControlWidth(form, control, index, widthTwips);
  }
  void SetControlVisible(platform::FormId form, std::string_view control, int index, bool visible) override {
    forms.SetControlVisible(form, control, index, visible);
  }
  int ControlValue(platform::FormId form, std::string_view control, int index) override {
    return forms.ControlValue(form, control, index);
  }
  bool LoadPicture(platform::FormId form, std::string_view control, int index, std::u16string_view path) override {
    return forms.LoadPicture(form, control, index, path);
  }
  platform::ScreenMetrics Screen() override { return forms.Screen(); }
};

}  // namespace fake

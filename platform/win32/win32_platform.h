// The real Windows behind the seam. Each interface is implemented in a source
// file of its own (win32_registry.cpp, win32_files.cpp, ...), so that further
// parts of the seam join as further files.
#pragma once

#include <memory>

#include "platform/platform.h"

namespace platform::win32 {

// The windows, forms, icons and mutex the desktop side keeps (desktop_state.h).
struct DesktopState;

// Serves the thread that creates it: windows belong to their thread.
class Win32Platform : public Platform {
 public:
  Win32Platform();
  ~Win32Platform() override;
  Win32Platform(const Win32Platform&) = delete;
  Win32Platform& operator=(const Win32Platform&) = delete;

  // The program's main message loop, with the dialog keys in its forms; ends
  // when the program is asked to quit and returns the exit code.
  int RunMessageLoop();

  // Registry
  long OpenKey(RegistryRoot root, std::string_view subKey, RegistryAccess access, RegistryHandle& key) override;
  long QueryMaxValueDataSize(RegistryHandle key, std::uint32_t& size) override;
  long QueryValue(RegistryHandle key, std::string_view name, std::uint32_t* type, char* data,
                  std::uint32_t* size) override;
  long CreateKey(RegistryRoot root, std::string_view subKey, RegistryHandle& key) override;
  long SetValue(RegistryHandle key, std::string_view name, std::uint32_t type, const char* data,
                std::uint32_t size) override;
  long DeleteValue(RegistryHandle key, std::string_view name) override;
  long QueryText(RegistryHandle key, std::string_view name, std::u16string& text) override;
  long SetText(RegistryHandle key, std::string_view name, std::u16string_view text) override;
  long CloseKey(RegistryHandle key) override;

  // Files
  std::vector<std::uint32_t> MatchingAttributes(std::u16string_view pattern) override;
  bool SetAttributes(std::u16string_view path, std::uint32_t attributes) override;
  bool DeleteFile(std::u16string_view path) override;
  std::u16string ProgramFolder() override;
  std::u16string ProgramName() override;

  // Shell
  void Execute(std::string_view verb, std::u16string_view target, int showCommand) override;

  // Dialogs
  int MessageBox(std::u16string_view text, std::u16string_view caption, int style) override;

  // Windows
  std::intptr_t HookProcedure(WindowHandle window, WindowHook& hook) override;
  std::intptr_t SetWindowLong(WindowHandle window, int index, std::intptr_t value) override;
  std::intptr_t CallWindowProc(std::intptr_t procedure, WindowHandle window, std::uint32_t message,
                               std::uintptr_t wParam, std::intptr_t lParam) override;
  std::uint32_t RegisterWindowMessage(std::string_view name) override;
  void SetTopmost(WindowHandle window, bool onTop) override;
  bool CursorPosition(int& x, int& y) override;

  // Tray
  bool NotifyIcon(std::uint32_t action, const NotifyIconRecord& record) override;
  std::uint32_t NotifyIconRecordSize() override;

  // Menus
  int ShowPopupMenu(WindowHandle owner, const std::vector<MenuItem>& items, int flags, int yTwips) override;

  // Clipboard
  ClipboardText ReadClipboardText() override;
  ClipboardStatus ReplaceClipboardText(std::u16string_view text) override;

  // Sound
  void PlayWaveFile(std::u16string_view path) override;
  void Beep() override;

  // Events
  void DoEvents() override;

  // Process
  WindowsVersion GetVersionEx() override;
  bool AnotherInstanceRunning() override;
  IconHandle ProgramIcon() override;

  // Forms
  FormId LoadForm(const FormSpec& spec, FormEvents& events) override;
  WindowHandle FormWindow(FormId form) override;
  void ShowForm(FormId form, bool modal) override;
  void HideForm(FormId form) override;
  void UnloadForm(FormId form) override;
  void BringToFront(FormId form) override;
  void SetFormCaption(FormId form, std::u16string_view caption) override;
  void SetFormSize(FormId form, int widthTwips, int heightTwips) override;
  void SetFormPosition(FormId form, int leftTwips, int topTwips) override;
  FormBounds Bounds(FormId form) override;
  void SetControlCaption(FormId form, std::string_view control, int index, std::u16string_view caption) override;
  void SetControlWidth(FormId form, std::string_view control, int index, int widthTwips) override;
  void SetControlVisible(FormId form, std::string_view control, int index, bool visible) override;
  int ControlValue(FormId form, std::string_view control, int index) override;
  bool LoadPicture(FormId form, std::string_view control, int index, std::u16string_view path) override;
  ScreenMetrics Screen() override;

 private:
  std::unique_ptr<DesktopState> desktop_;
};

}  // namespace platform::win32

// The desktop side of the platform seam: the program's windows and forms,
// the notification-area icon, the window hook, menus, clipboard, sound and
// the processing of pending events.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

using WindowHandle = std::uintptr_t;  // 0 is no window
using IconHandle = std::uintptr_t;

// ---- Window messages and the hook.

inline constexpr std::uint32_t MessageClose = 0x0010;  // WM_CLOSE
inline constexpr std::uint32_t MessageQueryEndSession = 0x0011;
inline constexpr std::uint32_t MessageTrayCallback = 1024;  // WM_USER
inline constexpr std::uint32_t MouseMove = 512, LeftButtonDown = 513, LeftButtonUp = 514, LeftDoubleClick = 515,
                               RightButtonDown = 516, RightButtonUp = 517, RightDoubleClick = 518;
inline constexpr int WindowProcIndex = -4;  // GWL_WNDPROC

// The receiver of every message of a hooked window.
class WindowHook {
 public:
  virtual ~WindowHook() = default;
  virtual std::intptr_t WindowProc(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                                   std::intptr_t lParam) = 0;
};

class Windows {
 public:
  virtual ~Windows() = default;
  // The address of a window procedure that hands every message of `window`
  // to `hook`; it is what the hook installs with SetWindowLong.
  virtual std::intptr_t HookProcedure(WindowHandle window, WindowHook& hook) = 0;
  // SetWindowLongA (SetWindowLongPtrA on 64-bit Windows): the previous value.
  virtual std::intptr_t SetWindowLong(WindowHandle window, int index, std::intptr_t value) = 0;
  // CallWindowProcA.
  virtual std::intptr_t CallWindowProc(std::intptr_t procedure, WindowHandle window, std::uint32_t message,
                                       std::uintptr_t wParam, std::intptr_t lParam) = 0;
  // RegisterWindowMessageA.
  virtual std::uint32_t RegisterWindowMessage(std::string_view name) = 0;
  // SetWindowPos with HWND_TOPMOST or HWND_NOTOPMOST, keeping place and size.
  virtual void SetTopmost(WindowHandle window, bool onTop) = 0;
  // GetCursorPos, in screen pixels; false when it fails.
  virtual bool CursorPosition(int& x, int& y) = 0;
};

// ---- The notification-area icon.

// The first, 8-bit form of NOTIFYICONDATA, field for field.
struct NotifyIconRecord {
  std::uint32_t cbSize = 0;
  WindowHandle hWnd = 0;
  std::uint32_t uID = 0;
  std::uint32_t uFlags = 0;
  std::uint32_t uCallbackMessage = 0;
  IconHandle hIcon = 0;
  std::array<char, 64> szTip{};
};

inline constexpr std::uint32_t NotifyAdd = 0, NotifyModify = 1, NotifyDelete = 2;
inline constexpr std::uint32_t NotifyFlagMessage = 1, NotifyFlagIcon = 2, NotifyFlagTip = 4;

class Tray {
 public:
  virtual ~Tray() = default;
  // Shell_NotifyIconA.
  virtual bool NotifyIcon(std::uint32_t action, const NotifyIconRecord& record) = 0;
  // The size the platform's record has in its first form (88 on 32-bit).
  virtual std::uint32_t NotifyIconRecordSize() = 0;
};

// ---- Popup menus.

struct MenuItem {
  std::u16string caption;  // "-" is a separator
  bool checked = false;
};

inline constexpr int MenuCenterAlign = 4;  // TPM_CENTERALIGN

class Menus {
 public:
  virtual ~Menus() = default;
  // Shows a popup menu for `owner` at the current mouse x and at `yTwips`
  // below the top of the owner's coordinate space; returns the index of the
  // chosen item, or -1 when the menu was closed without a choice.
  virtual int ShowPopupMenu(WindowHandle owner, const std::vector<MenuItem>& items, int flags, int yTwips) = 0;
};

// ---- Clipboard, sound, events, the running program.

enum class ClipboardStatus { Ok, Busy, Failed };

struct ClipboardText {
  ClipboardStatus status = ClipboardStatus::Ok;
  std::u16string text;  // empty when the clipboard holds no text
};

class Clipboard {
 public:
  virtual ~Clipboard() = default;
  // The clipboard's plain text; waits about a second for another program
  // that holds the clipboard open.
  virtual ClipboardText ReadClipboardText() = 0;
  // Clears the clipboard and puts the text on it, as one action.
  virtual ClipboardStatus ReplaceClipboardText(std::u16string_view text) = 0;
};

class Sound {
 public:
  virtual ~Sound() = default;
  // Plays a wave file to its end; a missing file or no sound device plays
  // nothing.
  virtual void PlayWaveFile(std::u16string_view path) = 0;
  // The platform's default beep.
  virtual void Beep() = 0;
};

class Events {
 public:
  virtual ~Events() = default;
  // Lets the pending messages of the program run, then returns.
  virtual void DoEvents() = 0;
};

// What GetVersionExA reports.
struct WindowsVersion {
  std::uint32_t platformId = 2;  // 1: Windows 95, 98 and Me; 2: the NT family
  std::uint32_t major = 0, minor = 0, build = 0;
};

class Process {
 public:
  virtual ~Process() = default;
  virtual WindowsVersion GetVersionEx() = 0;
  // True when another instance of the program runs in this user session.
  virtual bool AnotherInstanceRunning() = 0;
  // The program icon as the notification area shows it, at the size the
  // system's DPI asks for; a form given it shows the program icon at the
  // sizes its own DPI asks for.
  virtual IconHandle ProgramIcon() = 0;
};

// ---- Forms built from a control table; sizes and places in twips.

enum class ControlKind { Label, Image, CheckBox, Button, Line };

struct ControlSpec {
  std::string name{};
  int index = -1;  // the element of a control array, -1 for a single control
  ControlKind kind = ControlKind::Label;
  int left = 0, top = 0, width = 0, height = 0;  // a line runs from (left, top) by (width, height)
  std::u16string caption{};
  std::u16string tooltip{};
  int tabIndex = -1;  // -1: no tab stop
  bool visible = true;
  std::u16string fontName{};  // empty: the dialog font
  double fontPoints = 0;
  bool stretchPicture = false;
  std::u16string pictureResource{};  // a picture stored with the program
  std::u16string cursorResource{};   // an image's own mouse pointer, stored with the program
};

enum class FormBorder { FixedSingle, FixedDialog };

struct FormSpec {
  std::u16string caption;
  int clientWidth = 0, clientHeight = 0;
  FormBorder border = FormBorder::FixedDialog;
  bool centerOnScreen = false;
  IconHandle icon = 0;
  std::u16string iconResource;  // the form's own icon, used when icon is 0
  bool showInTaskbar = false;
  std::vector<ControlSpec> controls;
};

// Why a form is being closed.
inline constexpr int UnloadByUser = 0, UnloadByCode = 1, UnloadBySession = 2, UnloadByTaskManager = 3;

class FormEvents {
 public:
  virtual ~FormEvents() = default;
  virtual void OnClick(std::string_view control, int index) = 0;
  // Returns true to refuse the close.
  virtual bool OnQueryUnload(int mode) = 0;
  virtual void OnUnload() = 0;
};

struct ScreenMetrics {
  int widthTwips = 0, heightTwips = 0;
  int twipsPerPixelX = 15, twipsPerPixelY = 15;
};

struct FormBounds {
  int left = 0, top = 0, width = 0, height = 0;  // outer edges, twips
};

using FormId = int;

class Forms {
 public:
  virtual ~Forms() = default;
  virtual FormId LoadForm(const FormSpec& spec, FormEvents& events) = 0;
  virtual WindowHandle FormWindow(FormId form) = 0;
  // A modal showing returns when the form has been unloaded.
  virtual void ShowForm(FormId form, bool modal) = 0;
  virtual void HideForm(FormId form) = 0;
  // Asks OnQueryUnload with UnloadByCode, then unloads and raises OnUnload.
  virtual void UnloadForm(FormId form) = 0;
  virtual void BringToFront(FormId form) = 0;
  virtual void SetFormCaption(FormId form, std::u16string_view caption) = 0;
  // The outer size; a height below the title bar's leaves just the title bar.
  virtual void SetFormSize(FormId form, int widthTwips, int heightTwips) = 0;
  virtual void SetFormPosition(FormId form, int leftTwips, int topTwips) = 0;
  virtual FormBounds Bounds(FormId form) = 0;
  virtual void SetControlCaption(FormId form, std::string_view control, int index, std::u16string_view caption) = 0;
  virtual void SetControlWidth(FormId form, std::string_view control, int index, int widthTwips) = 0;
  virtual void SetControlVisible(FormId form, std::string_view control, int index, bool visible) = 0;
  // A check box's value: 0 unticked, 1 ticked.
  virtual int ControlValue(FormId form, std::string_view control, int index) = 0;
  // Loads a picture file into an image; false when it cannot be read.
  virtual bool LoadPicture(FormId form, std::string_view control, int index, std::u16string_view path) = 0;
  virtual ScreenMetrics Screen() = 0;
};

}  // namespace platform

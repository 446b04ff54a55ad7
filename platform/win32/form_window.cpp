#include "platform/win32/form_window.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <numeric>

#include "platform/win32/dpi.h"
#include "platform/win32/text_fit.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/window_class.h"
#include "platform/win32/window_hook.h"
// After windows.h, which they need.
#include <commctrl.h>

namespace platform::win32 {
namespace {

constexpr wchar_t FormClassName[] = L"Velumor.Form";
constexpr int FirstControlId = 100;  // clear of IDOK and IDCANCEL, which the dialog keys send

DWORD FormStyle() { return WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN; }

DWORD FormExStyle(const FormSpec& spec) {
  DWORD exStyle = spec.border == FormBorder::FixedDialog ? WS_EX_DLGMODALFRAME : 0u;
  if (spec.showInTaskbar) exStyle |= WS_EX_APPWINDOW;
  return exStyle;
}

// The frame and title bar of the window, without any client area, as the
// window has them now: after a change of DPI Windows has drawn them anew.
SIZE TitleBarOnly(HWND window) {
  RECT outer{}, client{};
  GetWindowRect(window, &outer);
  GetClientRect(window, &client);
  return {(outer.right - outer.left) - client.right, (outer.bottom - outer.top) - client.bottom};
}

// The work area of the monitor the window is on, in screen pixels.
RECT WorkArea(HWND window) {
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  if (!GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor)) return {};
  return monitor.rcWork;
}

// Increments a counter for as long as it lives.
class CallCount {
 public:
  explicit CallCount(int& count) : count_(count) { ++count_; }
  ~CallCount() { --count_; }
  CallCount(const CallCount&) = delete;
  CallCount& operator=(const CallCount&) = delete;

 private:
  int& count_;
};

bool RegisterFormClass(WNDPROC procedure) {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = procedure;
  windowClass.hInstance = ProgramModule();
  // IDC_ARROW is a number, the same for the A and W functions.
  windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = FormClassName;
  return EnsureWindowClass(windowClass);
}

}  // namespace

FormWindow::FormWindow(const FormSpec& spec, FormEvents& events, HWND owner, ProgramIcons& programIcons,
                       CloseRequest closeRequest)
    : events_(&events),
      closeRequest_(std::move(closeRequest)),
      programIcons_(programIcons),
      givenIcon_(reinterpret_cast<HICON>(spec.icon)),
      iconResource_(WideText(spec.iconResource)),
      clientTwips_{spec.clientWidth, spec.clientHeight},
      scale_(ScreenScale::ForDpi(static_cast<int>(SystemDpi()))),
      fonts_(scale_) {
  if (!RegisterFormClass(&FormWindow::Procedure)) return;
  const DWORD style = FormStyle();
  const DWORD exStyle = FormExStyle(spec);
  givenClient_ = fittedClient_ = {scale_.ToPixelsX(spec.clientWidth), scale_.ToPixelsY(spec.clientHeight)};
  const SIZE outer = OuterSizeForDpi(givenClient_, style, exStyle, dpi());
  int left = CW_USEDEFAULT, top = 0;
  if (spec.centerOnScreen) {
    left = (GetSystemMetrics(SM_CXSCREEN) - outer.cx) / 2;
    top = (GetSystemMetrics(SM_CYSCREEN) - outer.cy) / 2;
  }
  // Owned by the hidden window: a form of its own would get a task bar button.
  const HWND formOwner = spec.showInTaskbar ? nullptr : owner;
  const std::wstring caption = WideText(spec.caption);
  window_.reset(CreateWindowExW(exStyle, FormClassName, caption.c_str(), style, left, top, outer.cx, outer.cy,
                                formOwner, nullptr, ProgramModule(), this));
  if (!window_) return;
  CreateControls(spec.controls);
  CreateTooltips();
  // A form that opens on a monitor of another DPI than the system's is laid
  // out for that one.
  ApplyDpi(DpiOfWindow(window_.get()), nullptr);
}

FormWindow::~FormWindow() {
  Release();
  DestroyWindow();
}

void FormWindow::Release() {
  events_ = nullptr;
  if (!window_) return;
  DetachWindowHook(window_.get());
  SetWindowLongPtrW(window_.get(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&FormWindow::Procedure));
}

void FormWindow::DestroyWindow() {
  tooltip_.reset();
  window_.reset();
}

void FormWindow::SetIcons() {
  IconPair icons;
  IconsForDpi own;
  if (programIcons_.Holds(givenIcon_)) {
    icons = programIcons_.ForDpi(dpi());
  } else if (givenIcon_ != nullptr) {
    icons = {givenIcon_, givenIcon_};
  } else if (!iconResource_.empty()) {
    own = IconsForDpi(iconResource_.c_str(), dpi());
    icons = own.get();
  }
  if (icons.big != nullptr) SendMessageW(window_.get(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icons.big));
  if (icons.title != nullptr) {
    SendMessageW(window_.get(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icons.title));
  }
  ownIcons_ = std::move(own);  // the last DPI's go once the window holds the new ones
}

void FormWindow::CreateControls(const std::vector<ControlSpec>& specs) {
  // Created in tab order, because the keyboard walks the children in the
  // order of their creation; controls without a tab position come last.
  std::vector<std::size_t> order(specs.size());
  std::iota(order.begin(), order.end(), std::size_t{0});
  const auto tabKey = [&](std::size_t i) { return specs[i].tabIndex < 0 ? INT_MAX : specs[i].tabIndex; };
  std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return tabKey(a) < tabKey(b); });

  controls_.reserve(specs.size());
  for (const std::size_t position : order) {
    const ControlSpec& spec = specs[position];
    FormControl control{spec,
                        FirstControlId + static_cast<int>(position),
                        GivenRect(spec, scale_),
                        fonts_.For(spec),
                        nullptr,
                        nullptr,
                        nullptr};
    control.window = CreateControlWindow(window_.get(), spec, control.id, control.given);
    if (control.window == nullptr) continue;
    SendMessageW(control.window, WM_SETFONT, reinterpret_cast<WPARAM>(control.font), FALSE);
    if (spec.kind == ControlKind::Image) {
      if (!spec.pictureResource.empty()) control.picture = LoadPictureResource(WideText(spec.pictureResource));
      if (!spec.cursorResource.empty()) {
        control.cursor = LoadCursorW(ProgramModule(), WideText(spec.cursorResource).c_str());
      }
    }
    if (firstFocus_ == nullptr && TakesFocus(spec) && spec.visible) firstFocus_ = control.window;
    controls_.push_back(std::move(control));
  }
}

void FormWindow::ApplyDpi(UINT dpi, const RECT* suggested) {
  scale_ = ScreenScale::ForDpi(static_cast<int>(dpi));
  ControlFonts fonts(scale_);
  for (FormControl& control : controls_) {
    control.font = fonts.For(control.spec);
    control.given = GivenRect(control.spec, scale_);
    SendMessageW(control.window, WM_SETFONT, reinterpret_cast<WPARAM>(control.font), FALSE);
  }
  fonts_ = std::move(fonts);  // the last DPI's fonts go once no control uses them
  givenClient_ = {scale_.ToPixelsX(clientTwips_.cx), scale_.ToPixelsY(clientTwips_.cy)};
  SetIcons();
  if (suggested != nullptr) {
    SetWindowPos(window_.get(), nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                 suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
  }
  if (outerTwips_) {
    SetOuterSize(outerTwips_->cx, outerTwips_->cy);
  } else {
    fittedClient_ = {-1, -1};  // sized anew, around the centre of the place it has
    FitToTexts();
  }
  InvalidateRect(window_.get(), nullptr, TRUE);
}

void FormWindow::FitToTexts() {
  struct Placement {
    SIZE growth{};
    POINT shift{};
  };
  std::vector<Placement> placements(controls_.size());
  for (std::size_t i = 0; i < controls_.size(); ++i) {
    const RECT& given = controls_[i].given;
    const SIZE size = {given.right - given.left, given.bottom - given.top};
    const SIZE fitting = FittingSize(controls_[i].window, controls_[i].spec.kind, WindowText(controls_[i].window),
                                     controls_[i].font, size, dpi());
    placements[i].growth = {fitting.cx - size.cx, fitting.cy - size.cy};
  }
  // Whatever starts below a grown control moves down by its growth, whatever
  // column it is in, so rows stay rows; whatever starts right of it in its
  // own row moves right. Controls further up or left are settled first.
  std::vector<std::size_t> order(controls_.size());
  std::iota(order.begin(), order.end(), std::size_t{0});
  const auto rect = [&](std::size_t i) -> const RECT& { return controls_[i].given; };
  std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return rect(a).top < rect(b).top; });
  for (const std::size_t c : order) {
    for (const std::size_t d : order) {
      if (d != c && rect(d).bottom <= rect(c).top) {
        placements[c].shift.y = std::max(placements[c].shift.y, placements[d].shift.y + placements[d].growth.cy);
      }
    }
  }
  std::stable_sort(order.begin(), order.end(),
                   [&](std::size_t a, std::size_t b) { return rect(a).left < rect(b).left; });
  for (const std::size_t c : order) {
    for (const std::size_t d : order) {
      const bool sameRow = rect(d).top < rect(c).bottom && rect(c).top < rect(d).bottom;
      if (d != c && sameRow && rect(d).right <= rect(c).left) {
        placements[c].shift.x = std::max(placements[c].shift.x, placements[d].shift.x + placements[d].growth.cx);
      }
    }
  }

  // The form grows by as much as its controls reach further than before.
  LONG givenRight = 0, givenBottom = 0, right = 0, bottom = 0;
  for (std::size_t i = 0; i < controls_.size(); ++i) {
    const RECT& given = controls_[i].given;
    givenRight = std::max(givenRight, given.right);
    givenBottom = std::max(givenBottom, given.bottom);
    right = std::max(right, given.right + placements[i].shift.x + placements[i].growth.cx);
    bottom = std::max(bottom, given.bottom + placements[i].shift.y + placements[i].growth.cy);
  }
  const SIZE client = {givenClient_.cx + std::max(0L, right - givenRight),
                       givenClient_.cy + std::max(0L, bottom - givenBottom)};

  for (std::size_t i = 0; i < controls_.size(); ++i) {
    const FormControl& control = controls_[i];
    const Placement& p = placements[i];
    int width = control.given.right - control.given.left + p.growth.cx;
    // A dividing line spans the wider form as well.
    if (control.spec.kind == ControlKind::Line) width += client.cx - givenClient_.cx;
    SetWindowPos(control.window, nullptr, control.given.left + p.shift.x, control.given.top + p.shift.y, width,
                 control.given.bottom - control.given.top + p.growth.cy, SWP_NOZORDER | SWP_NOACTIVATE);
  }
  if (client.cx == fittedClient_.cx && client.cy == fittedClient_.cy) return;

  RECT outer{};
  GetWindowRect(window_.get(), &outer);
  const SIZE frame = TitleBarOnly(window_.get());
  const SIZE size = {client.cx + frame.cx, client.cy + frame.cy};
  const LONG growX = size.cx - (outer.right - outer.left), growY = size.cy - (outer.bottom - outer.top);
  // Keeps its centre; a form at its monitor's top or left edge stays there.
  const RECT work = WorkArea(window_.get());
  SetWindowPos(window_.get(), nullptr, std::max(work.left, outer.left - growX / 2),
               std::max(work.top, outer.top - growY / 2), size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE);
  fittedClient_ = client;
}

void FormWindow::CreateTooltips() {
  const bool anyTooltip =
      std::any_of(controls_.begin(), controls_.end(), [](const FormControl& c) { return !c.spec.tooltip.empty(); });
  if (!anyTooltip) return;
  tooltip_.reset(CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                                 CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window_.get(), nullptr,
                                 ProgramModule(), nullptr));
  if (!tooltip_) return;
  for (const FormControl& control : controls_) {
    if (control.spec.tooltip.empty()) continue;
    std::wstring text = WideText(control.spec.tooltip);
    TTTOOLINFOW tool{};
    // The size that version 5 of the common controls accepts as well.
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.uFlags = TTF_SUBCLASS | TTF_IDISHWND;
    tool.hwnd = window_.get();
    tool.uId = reinterpret_cast<UINT_PTR>(control.window);
    tool.lpszText = text.data();  // copied by the tooltip
    SendMessageW(tooltip_.get(), TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  }
}

void FormWindow::Show() { ShowWindow(window_.get(), SW_SHOW); }

void FormWindow::ShowActive() {
  ShowWindow(window_.get(), SW_SHOW);
  SetForegroundWindow(window_.get());
}

void FormWindow::Hide() { ShowWindow(window_.get(), SW_HIDE); }

void FormWindow::BringToFront() {
  if (IsIconic(window_.get())) ShowWindow(window_.get(), SW_RESTORE);
  SetForegroundWindow(window_.get());
  BringWindowToTop(window_.get());
}

void FormWindow::SetCaption(std::u16string_view caption) { SetWindowTextW(window_.get(), WideText(caption).c_str()); }

void FormWindow::SetOuterSize(int widthTwips, int heightTwips) {
  outerTwips_ = SIZE{widthTwips, heightTwips};
  // A height below the frame and title bar leaves just those: client height 0.
  const SIZE titleBarOnly = TitleBarOnly(window_.get());
  const int width = std::max<int>(scale_.ToPixelsX(widthTwips), titleBarOnly.cx);
  const int height = std::max<int>(scale_.ToPixelsY(heightTwips), titleBarOnly.cy);
  SetWindowPos(window_.get(), nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// Places on the screen, and the room a form takes there, are counted in the
// system's twips per pixel, as the screen's size is (Win32Platform::Screen).
void FormWindow::SetPosition(int leftTwips, int topTwips) {
  const ScreenScale screen = ScreenScale::Current();
  SetWindowPos(window_.get(), nullptr, screen.ScreenPixelsX(leftTwips), screen.ScreenPixelsY(topTwips), 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

FormBounds FormWindow::Bounds() const {
  RECT rect{};
  if (!GetWindowRect(window_.get(), &rect)) return {};
  const ScreenScale screen = ScreenScale::Current();
  return {screen.ToTwipsX(rect.left), screen.ToTwipsY(rect.top), screen.ToTwipsX(rect.right - rect.left),
          screen.ToTwipsY(rect.bottom - rect.top)};
}

FormControl* FormWindow::FindControl(std::string_view name, int index) {
  for (FormControl& control : controls_) {
    if (control.spec.name == name && control.spec.index == index) return &control;
  }
  return nullptr;
}

void FormWindow::SetControlCaption(FormControl& control, std::u16string_view caption) {
  const std::wstring text = control.spec.kind == ControlKind::Label ? LabelText(caption) : WideText(caption);
  SetWindowTextW(control.window, text.c_str());
  FitToTexts();
}

void FormWindow::SetControlWidth(FormControl& control, int widthTwips) {
  control.spec.width = widthTwips;
  control.given = GivenRect(control.spec, scale_);
  FitToTexts();
  InvalidateRect(control.window, nullptr, TRUE);
}

void FormWindow::SetControlVisible(FormControl& control, bool visible) {
  ShowWindow(control.window, visible ? SW_SHOWNA : SW_HIDE);
}

int FormWindow::ControlValue(const FormControl& control) const {
  if (control.spec.kind != ControlKind::CheckBox) return 0;
  return SendMessageW(control.window, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0;
}

bool FormWindow::LoadPicture(FormControl& control, std::u16string_view path) {
  if (control.spec.kind != ControlKind::Image) return false;
  ComPtr<IPicture> picture = LoadPictureFile(WideText(path));
  if (!picture) return false;
  control.picture = std::move(picture);
  InvalidateRect(control.window, nullptr, TRUE);
  return true;
}

FormControl* FormWindow::ControlById(int id) {
  for (FormControl& control : controls_) {
    if (control.id == id) return &control;
  }
  return nullptr;
}

FormControl* FormWindow::ControlByWindow(HWND window) {
  for (FormControl& control : controls_) {
    if (control.window == window && window != nullptr) return &control;
  }
  return nullptr;
}

LRESULT CALLBACK FormWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    const auto* creation = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(creation->lpCreateParams));
  }
  auto* form = reinterpret_cast<FormWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (form == nullptr) return DefWindowProcW(window, message, wParam, lParam);
  const CallCount inUse(form->activeCalls_);
  return form->HandleMessage(window, message, wParam, lParam);
}

LRESULT FormWindow::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      OnCommand(wParam);
      return 0;
    case WM_DRAWITEM:
      DrawImage(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
      return TRUE;
    case WM_GETMINMAXINFO:
      // Windows keeps a captioned window at least as high as its smallest
      // tracking size, which is more than the title bar the strip needs.
      reinterpret_cast<MINMAXINFO*>(lParam)->ptMinTrackSize.y = TitleBarOnly(window).cy;
      return 0;
    case WM_DPICHANGED:
      // Moved to a monitor of another DPI, or that monitor's scale changed.
      ApplyDpi(HIWORD(wParam), reinterpret_cast<const RECT*>(lParam));
      return 0;
    case WM_SETCURSOR:
      // Children hand this to their parent first.
      if (const FormControl* control = ControlByWindow(reinterpret_cast<HWND>(wParam));
          control != nullptr && control->cursor != nullptr && LOWORD(lParam) == HTCLIENT) {
        SetCursor(control->cursor);
        return TRUE;
      }
      break;
    case WM_ACTIVATE:
      if (LOWORD(wParam) == WA_INACTIVE) {
        const HWND focus = GetFocus();
        if (focus != nullptr && IsChild(window, focus)) lastFocus_ = focus;
      }
      break;  // the default handling focuses the form, which passes it on below
    case WM_SETFOCUS: {
      const HWND target = lastFocus_ != nullptr && IsChild(window, lastFocus_) ? lastFocus_ : firstFocus_;
      if (target != nullptr && IsWindowVisible(target) && IsWindowEnabled(target)) SetFocus(target);
      return 0;
    }
    case WM_CLOSE:
      if (events_ != nullptr) closeRequest_(UnloadByUser);
      return 0;
    case WM_QUERYENDSESSION:
      return TRUE;
    case WM_ENDSESSION:
      if (wParam != FALSE && events_ != nullptr) closeRequest_(UnloadBySession);
      return 0;
    case WM_NCDESTROY:
      DetachWindowHook(window);
      SetWindowLongPtrW(window, GWLP_USERDATA, 0);
      // Windows destroys owned windows before their owner.
      (void)tooltip_.release();
      (void)window_.release();
      break;
    default:
      break;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

void FormWindow::OnCommand(WPARAM wParam) {
  const int id = LOWORD(wParam);
  const int notification = HIWORD(wParam);
  if (id == IDOK) {
    // Enter, which the dialog keys send as IDOK: the forms have no default
    // button, so a push button with the focus is pressed, as in a dialog.
    const FormControl* focused = ControlByWindow(GetFocus());
    if (focused != nullptr && focused->spec.kind == ControlKind::Button) {
      SendMessageW(focused->window, BM_CLICK, 0, 0);
    }
    return;
  }
  const FormControl* control = ControlById(id);
  if (control == nullptr || events_ == nullptr) return;
  const bool clicked = (control->spec.kind == ControlKind::Image && notification == STN_CLICKED) ||
                       (TakesFocus(control->spec) && notification == BN_CLICKED);
  if (clicked) events_->OnClick(control->spec.name, control->spec.index);
}

void FormWindow::DrawImage(const DRAWITEMSTRUCT& item) {
  FillRect(item.hDC, &item.rcItem, GetSysColorBrush(COLOR_BTNFACE));
  const FormControl* control = ControlByWindow(item.hwndItem);
  if (control == nullptr || !control->picture) return;
  DrawPicture(*control->picture, item.hDC, item.rcItem, control->spec.stretchPicture, scale_.dpiX);
}

}  // namespace platform::win32

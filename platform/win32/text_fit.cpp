#include "platform/win32/text_fit.h"

#include <algorithm>
#include <string>

#include "platform/win32/dpi.h"
#include "platform/win32/handles.h"
// After windows.h, which they need.
#include <uxtheme.h>
#include <vssym32.h>

namespace platform::win32 {
namespace {

// What a text needs in the font selected into the screen's device context.
class TextMeasure {
 public:
  explicit TextMeasure(HFONT font) : previous_(SelectObject(screen_.get(), font)) {}
  ~TextMeasure() { SelectObject(screen_.get(), previous_); }
  TextMeasure(const TextMeasure&) = delete;
  TextMeasure& operator=(const TextMeasure&) = delete;

  // The text broken into lines at `width`, as DrawText would draw it.
  SIZE Wrapped(std::wstring_view text, LONG width, UINT format) const {
    RECT rect{0, 0, std::max<LONG>(width, 1), 0};
    DrawTextW(screen_.get(), text.data(), static_cast<int>(text.size()), &rect, format | DT_WORDBREAK | DT_CALCRECT);
    return {rect.right, rect.bottom};
  }
  SIZE OneLine(std::wstring_view text, UINT format) const {
    RECT rect{0, 0, 1, 0};
    DrawTextW(screen_.get(), text.data(), static_cast<int>(text.size()), &rect, format | DT_SINGLELINE | DT_CALCRECT);
    return {rect.right, rect.bottom};
  }

 private:
  ScreenDeviceContext screen_;
  HGDIOBJ previous_;
};

// The visual style of a control's class, closed again when it goes out of scope.
class ButtonTheme {
 public:
  explicit ButtonTheme(HWND control) : theme_(control != nullptr ? OpenThemeData(control, L"Button") : nullptr) {}
  ~ButtonTheme() {
    if (theme_ != nullptr) CloseThemeData(theme_);
  }
  ButtonTheme(const ButtonTheme&) = delete;
  ButtonTheme& operator=(const ButtonTheme&) = delete;

  HTHEME get() const { return theme_; }

 private:
  HTHEME theme_;
};

// A static control wraps SS_LEFT text at its own width and draws it from its
// top left corner, with "&" shown as it is: the margin is kept right of the
// longest line and below the last one.
SIZE FittingLabel(const TextMeasure& measure, std::wstring_view text, SIZE given, LONG margin) {
  constexpr UINT format = DT_EXPANDTABS | DT_NOPREFIX;
  LONG width = given.cx;
  SIZE needed = measure.Wrapped(text, width, format);
  // Widened by what the longest line lacks. Wrapped at the wider width the
  // lines stay as they were unless a word moves up, so this ends at once.
  for (int tries = 0; tries < 4 && needed.cx + margin > width; ++tries) {
    width = needed.cx + margin;
    needed = measure.Wrapped(text, width, format);
  }
  return {std::max(width, needed.cx + margin), std::max(given.cy, needed.cy + margin)};
}

// `format` is how the control aligns its text: Wine breaks centred lines
// differently from left-aligned ones.
// The text is centred in the room inside the frame (a check box's starts
// right of its box), so a margin on both sides of each axis is kept.
SIZE FittingButton(const TextMeasure& measure, SIZE frame, UINT format, std::wstring_view text, SIZE given,
                   LONG margin) {
  const LONG lineHeight = std::max<LONG>(measure.OneLine(L"Ag", 0).cy, 1);
  const LONG lines = std::max<LONG>(1, (given.cy - frame.cy - 2 * margin) / lineHeight);
  const LONG height = std::max<LONG>(given.cy, lines * lineHeight + frame.cy + 2 * margin);
  // A button wraps its text at the room it has, then draws it into a box just
  // as wide as the widest line. Wine's DrawText breaks a line that fills such
  // a box exactly once more ("E-Mail an Norvane schreiben" became three lines
  // in two lines' height), so the text must fit at that width too.
  const auto fits = [&](LONG width) {
    const LONG room = width - frame.cx;
    const SIZE wrapped = measure.Wrapped(text, room, format);
    const SIZE drawn = measure.Wrapped(text, wrapped.cx, format);
    return wrapped.cx + 2 * margin <= room && drawn.cy <= lines * lineHeight;
  };
  if (fits(given.cx)) return {given.cx, height};
  // On one line it fits at last; in between, the narrowest width that keeps
  // the text within the lines the height allows.
  LONG narrow = given.cx, wide = std::max<LONG>(given.cx + 1, measure.OneLine(text, 0).cx + frame.cx + 2 * margin);
  while (wide - narrow > 1) {
    const LONG middle = narrow + (wide - narrow) / 2;
    (fits(middle) ? wide : narrow) = middle;
  }
  return {wide, height};
}

}  // namespace

int TextMargin(UINT dpi) { return std::max(2, MulDiv(2, static_cast<int>(dpi), DefaultDpi)); }

ButtonLook LookOf(HWND control, ControlKind kind, SIZE size, UINT dpi) {
  const int gap = MulDiv(6, static_cast<int>(dpi), DefaultDpi);  // from a check box's box to its text
  const ButtonTheme theme(control);
  const int part = kind == ControlKind::CheckBox ? BP_CHECKBOX : BP_PUSHBUTTON;
  const ScreenDeviceContext screen;
  RECT outer{0, 0, size.cx, size.cy}, content = outer;
  ButtonLook look;
  if (theme.get() == nullptr ||
      FAILED(GetThemeBackgroundContentRect(theme.get(), screen.get(), part, 1, &outer, &content))) {
    look.frame = kind == ControlKind::CheckBox
                     ? SIZE{MetricForDpi(SM_CXMENUCHECK, dpi) + gap, 0}
                     : SIZE{2 * (MetricForDpi(SM_CXEDGE, dpi) + 2), 2 * (MetricForDpi(SM_CYEDGE, dpi) + 1)};
    return look;
  }
  look.frame = {size.cx - (content.right - content.left), size.cy - (content.bottom - content.top)};
  if (kind == ControlKind::CheckBox) {
    SIZE box{13, 13};
    GetThemePartSize(theme.get(), screen.get(), part, 1, nullptr, TS_DRAW, &box);
    look.frame.cx += box.cx + gap;
  }
  LOGFONTW font{};
  if (SUCCEEDED(GetThemeFont(theme.get(), screen.get(), part, 1, TMT_FONT, &font))) {
    look.themeFont.reset(CreateFontIndirectW(&font));
  }
  return look;
}

SIZE FittingSize(HWND control, ControlKind kind, std::wstring_view text, HFONT font, SIZE given, UINT dpi) {
  if (text.empty() || font == nullptr) return given;
  const LONG margin = TextMargin(dpi);
  switch (kind) {
    case ControlKind::Label:
      return FittingLabel(TextMeasure(font), text, given, margin);
    case ControlKind::Button:
    case ControlKind::CheckBox: {
      const ButtonLook look = LookOf(control, kind, given, dpi);
      return FittingButton(TextMeasure(look.themeFont ? look.themeFont.get() : font), look.frame,
                           kind == ControlKind::Button ? DT_CENTER : 0, text, given, margin);
    }
    default:
      return given;
  }
}

}  // namespace platform::win32

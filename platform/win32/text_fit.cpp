#include "platform/win32/text_fit.h"

#include <algorithm>
#include <string>

#include "platform/win32/handles.h"

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

// The room a button's frame and focus rectangle, or a check box's box, take
// from its text; a push button's also above and below.
SIZE FrameOf(ControlKind kind) {
  if (kind == ControlKind::CheckBox) return {GetSystemMetrics(SM_CXMENUCHECK) + 6, 0};
  return {2 * (GetSystemMetrics(SM_CXEDGE) + 2), 2 * (GetSystemMetrics(SM_CYEDGE) + 1)};
}

SIZE FittingLabel(const TextMeasure& measure, std::wstring_view text, SIZE given) {
  // A static control draws SS_LEFT text so, with "&" shown as it is.
  const SIZE needed = measure.Wrapped(text, given.cx, DT_EXPANDTABS | DT_NOPREFIX);
  return {std::max(given.cx, needed.cx), std::max(given.cy, needed.cy)};
}

SIZE FittingButton(const TextMeasure& measure, ControlKind kind, std::wstring_view text, SIZE given) {
  const SIZE frame = FrameOf(kind);
  const LONG lineHeight = std::max<LONG>(measure.OneLine(L"Ag", 0).cy, 1);
  const LONG lines = std::max<LONG>(1, (given.cy - frame.cy) / lineHeight);
  const auto fits = [&](LONG width) {
    const SIZE needed = measure.Wrapped(text, width - frame.cx, DT_CENTER);
    return needed.cx <= width - frame.cx && needed.cy <= lines * lineHeight;
  };
  if (fits(given.cx)) return given;
  // On one line it fits at last; in between, the narrowest width that keeps
  // the text within the lines the height allows.
  LONG narrow = given.cx, wide = std::max<LONG>(given.cx + 1, measure.OneLine(text, 0).cx + frame.cx);
  while (wide - narrow > 1) {
    const LONG middle = narrow + (wide - narrow) / 2;
    (fits(middle) ? wide : narrow) = middle;
  }
  return {wide, std::max<LONG>(given.cy, lineHeight + frame.cy)};
}

}  // namespace

SIZE FittingSize(ControlKind kind, std::wstring_view text, HFONT font, SIZE given) {
  if (text.empty() || font == nullptr) return given;
  const TextMeasure measure(font);
  switch (kind) {
    case ControlKind::Label:
      return FittingLabel(measure, text, given);
    case ControlKind::Button:
    case ControlKind::CheckBox:
      return FittingButton(measure, kind, text, given);
    default:
      return given;
  }
}

}  // namespace platform::win32

// How large a label, button or check box must be to show its whole text in
// the font it is drawn with, with a margin around it. The forms' sizes were
// made for one font at one DPI; a wider system font (or Wine's stand-in for
// it), and fonts at other DPIs, which do not grow in step with the controls,
// need more room.
#pragma once

#include <string_view>

#include "platform/desktop.h"
#include "platform/win32/handles.h"
#include "platform/win32/windows_api.h"

namespace platform::win32 {

// The room kept free around a control's text at `dpi`: at least 2 pixels.
int TextMargin(UINT dpi);

// The smallest size, at least `given`, in which the control shows `text`
// whole at `dpi`, with TextMargin between the text and the control's edges
// (a button's: the inside of its frame). A label keeps its width and grows
// downwards (a word longer than the line widens it); a button or check box
// keeps the lines its height allows and grows sideways. Other kinds keep
// their size.
SIZE FittingSize(HWND control, ControlKind kind, std::wstring_view text, HFONT font, SIZE given, UINT dpi);

// How a button or check box of `size` draws its text: the room its frame (or
// box) takes, and the visual style's own font when the style names one, as
// Wine's themes do; without a style, the classic frame and the control's font.
struct ButtonLook {
  SIZE frame{};
  UniqueFont themeFont;
};
ButtonLook LookOf(HWND control, ControlKind kind, SIZE size, UINT dpi);

}  // namespace platform::win32

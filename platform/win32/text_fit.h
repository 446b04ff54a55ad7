// How large a label, button or check box must be to show its whole text in
// the font it is drawn with. The forms' sizes were made for one font; a wider
// system font (or Wine's stand-in for it) needs more room.
#pragma once

#include <string_view>

#include "platform/desktop.h"
#include "platform/win32/handles.h"
#include "platform/win32/windows_api.h"

namespace platform::win32 {

// The smallest size, at least `given`, in which the control shows `text`
// whole. A label keeps its width and grows downwards (a word longer than the
// line widens it); a button or check box keeps the lines its height allows
// and grows sideways. Other kinds keep their size.
SIZE FittingSize(HWND control, ControlKind kind, std::wstring_view text, HFONT font, SIZE given);

// How a button or check box of `size` draws its text: the room its frame (or
// box) takes, and the visual style's own font when the style names one, as
// Wine's themes do; without a style, the classic frame and the control's font.
struct ButtonLook {
  SIZE frame{};
  UniqueFont themeFont;
};
ButtonLook LookOf(HWND control, ControlKind kind, SIZE size);

}  // namespace platform::win32

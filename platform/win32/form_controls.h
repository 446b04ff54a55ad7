// The controls of a form's table as child windows of the form: their window
// classes and styles, their fonts and their texts.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/desktop.h"
#include "platform/win32/handles.h"
#include "platform/win32/picture.h"
#include "platform/win32/screen_scale.h"

namespace platform::win32 {

struct FormControl {
  ControlSpec spec;
  int id = 0;
  RECT given{};              // place and size from the table, in pixels: the least it gets
  HFONT font = nullptr;      // owned by the form's ControlFonts
  HWND window = nullptr;     // a child of the form, destroyed with it
  ComPtr<IPicture> picture;  // images only
  HCURSOR cursor = nullptr;  // an image's own pointer; a shared resource, never destroyed
};

// The control's place and size in the form's client area, in pixels.
RECT GivenRect(const ControlSpec& spec, const ScreenScale& scale);

// Creates the child window at `place`; its text and visibility come from its ControlSpec.
HWND CreateControlWindow(HWND form, const ControlSpec& spec, int id, const RECT& place);

// The text a control window shows now.
std::wstring WindowText(HWND window);

// Buttons and check boxes: the controls that keyboard focus and tab stops reach.
bool TakesFocus(const ControlSpec& spec);

// A label's text with every lone CR or LF made a CR LF, the line break a
// static control knows.
std::wstring LabelText(std::u16string_view caption);

// The fonts of one form: the system's message font, and the named fonts some
// controls ask for.
class ControlFonts {
 public:
  explicit ControlFonts(const ScreenScale& scale);
  ControlFonts(const ControlFonts&) = delete;
  ControlFonts& operator=(const ControlFonts&) = delete;
  ControlFonts(ControlFonts&&) = default;
  ControlFonts& operator=(ControlFonts&&) = default;

  HFONT For(const ControlSpec& spec);

 private:
  LOGFONTW messageFont_{};
  int dpiY_;
  UniqueFont standard_;
  std::vector<UniqueFont> named_;
};

}  // namespace platform::win32

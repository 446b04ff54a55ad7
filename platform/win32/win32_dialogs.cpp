// Dialogs: the modal message box, in its wide form so every character shows.
#include <algorithm>
#include <string>

#include "platform/win32/win32_platform.h"
#include "platform/win32/windows_api.h"

namespace platform::win32 {

int Win32Platform::MessageBox(std::u16string_view text, std::u16string_view caption, int style) {
  // A text with a zero of its own is shown up to it, as Windows would.
  const std::wstring shownText(text.begin(), std::find(text.begin(), text.end(), u'\0'));
  const std::wstring shownCaption(caption.begin(), std::find(caption.begin(), caption.end(), u'\0'));
  return MessageBoxW(nullptr, shownText.c_str(), shownCaption.c_str(), static_cast<UINT>(style));
}

}  // namespace platform::win32

// Dialogs: the modal message box, in its wide form so every character shows.
#include "platform/win32/wide_text.h"
#include "platform/win32/win32_platform.h"
#include "platform/win32/windows_api.h"

namespace platform::win32 {

int Win32Platform::MessageBox(std::u16string_view text, std::u16string_view caption, int style) {
  return MessageBoxW(nullptr, WideText(text).c_str(), WideText(caption).c_str(), static_cast<UINT>(style));
}

}  // namespace platform::win32

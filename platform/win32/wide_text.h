// Seam texts for the W-functions, which take zero-terminated wide strings.
#pragma once

#include <algorithm>
#include <string>
#include <string_view>

namespace platform::win32 {

// A text with a zero of its own is cut there, as Windows would cut it.
inline std::wstring WideText(std::u16string_view text) {
  return std::wstring(text.begin(), std::find(text.begin(), text.end(), u'\0'));
}

inline std::u16string SeamText(std::wstring_view text) { return std::u16string(text.begin(), text.end()); }

}  // namespace platform::win32

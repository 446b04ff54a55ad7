// Seam texts for the W-functions, which take zero-terminated wide strings.
#pragma once

#include <algorithm>
#include <optional>
#include <string>
#include <string_view>

namespace platform::win32 {

// A text with a zero of its own is cut there, as Windows would cut it.
inline std::wstring WideText(std::u16string_view text) {
  return std::wstring(text.begin(), std::find(text.begin(), text.end(), u'\0'));
}

// A path for the W-functions; nothing when it holds a zero of its own, which
// would cut it short and name another file.
inline std::optional<std::wstring> WidePath(std::u16string_view path) {
  if (path.find(u'\0') != std::u16string_view::npos) return std::nullopt;
  return std::wstring(path.begin(), path.end());
}

// One of the program's own ASCII names (a value name, a shell verb) for a
// W-function; bytes beyond ASCII are taken as Latin-1, never sign-extended.
inline std::wstring AsciiWide(std::string_view name) {
  std::wstring wide;
  for (const char c : name) wide.push_back(static_cast<wchar_t>(static_cast<unsigned char>(c)));
  return wide;
}

inline std::u16string SeamText(std::wstring_view text) { return std::u16string(text.begin(), text.end()); }

}  // namespace platform::win32

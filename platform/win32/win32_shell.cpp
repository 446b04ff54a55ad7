// Shell: documents and addresses opened with their associated program.
#include "platform/win32/wide_text.h"
#include "platform/win32/win32_platform.h"
#include "platform/win32/windows_api.h"
// After windows.h, which it needs.
#include <shellapi.h>

namespace platform::win32 {

void Win32Platform::Execute(std::string_view verb, std::u16string_view target, int showCommand) {
  const auto operation = ZeroTerminated(verb);
  const auto file = WidePath(target);
  if (!operation || !file) return;
  const std::wstring wideVerb = AsciiWide(*operation);
  ShellExecuteW(GetDesktopWindow(), wideVerb.c_str(), file->c_str(), nullptr, nullptr, showCommand);
}

}  // namespace platform::win32

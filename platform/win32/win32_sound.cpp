// Sound: wave files played to their end, and the default beep.
#include "platform/win32/wide_text.h"
#include "platform/win32/win32_platform.h"
#include "platform/win32/windows_api.h"
// After windows.h, which it needs.
#include <mmsystem.h>

namespace platform::win32 {

void Win32Platform::PlayWaveFile(std::u16string_view path) {
  const std::wstring file = WideText(path);
  // Without SND_NODEFAULT a missing file would play the system's default sound.
  PlaySoundW(file.c_str(), nullptr, SND_FILENAME | SND_SYNC | SND_NODEFAULT);
}

void Win32Platform::Beep() { MessageBeep(MB_OK); }

}  // namespace platform::win32

// Clipboard: plain text as CF_UNICODETEXT, waiting briefly for another
// program that holds the clipboard open.
#include <algorithm>
#include <cstring>

#include "platform/win32/desktop_state.h"
#include "platform/win32/handles.h"
#include "platform/win32/win32_platform.h"
#include "platform/win32/windows_api.h"

namespace platform::win32 {
namespace {

// The clipboard opened for `owner`, closed again when this goes out of scope.
// Another program may hold it open for a moment: about a second of tries.
class OpenedClipboard {
 public:
  explicit OpenedClipboard(HWND owner) {
    constexpr int tries = 20;
    constexpr DWORD pauseMilliseconds = 50;
    for (int attempt = 0; attempt < tries; ++attempt) {
      if (OpenClipboard(owner)) {
        open_ = true;
        return;
      }
      Sleep(pauseMilliseconds);
    }
  }
  ~OpenedClipboard() {
    if (open_) CloseClipboard();
  }
  OpenedClipboard(const OpenedClipboard&) = delete;
  OpenedClipboard& operator=(const OpenedClipboard&) = delete;

  bool IsOpen() const { return open_; }

 private:
  bool open_ = false;
};

// The text as the clipboard takes it: movable memory with a closing zero.
UniqueGlobal TextMemory(std::u16string_view text) {
  const std::size_t bytes = (text.size() + 1) * sizeof(char16_t);
  UniqueGlobal memory(GlobalAlloc(GMEM_MOVEABLE, bytes));
  if (!memory) return memory;
  const LockedGlobalMemory locked(memory.get());
  if (locked.data() == nullptr) return nullptr;
  std::memcpy(locked.data(), text.data(), text.size() * sizeof(char16_t));
  static_cast<char16_t*>(locked.data())[text.size()] = u'\0';
  return memory;
}

}  // namespace

ClipboardText Win32Platform::ReadClipboardText() {
  const OpenedClipboard clipboard(desktop_->owner.get());
  if (!clipboard.IsOpen()) return {ClipboardStatus::Busy, u""};
  // Windows offers 8-bit text in this format too.
  if (!IsClipboardFormatAvailable(CF_UNICODETEXT)) return {ClipboardStatus::Ok, u""};
  const HANDLE data = GetClipboardData(CF_UNICODETEXT);
  if (data == nullptr) return {ClipboardStatus::Failed, u""};
  const LockedGlobalMemory locked(data);
  if (locked.data() == nullptr) return {ClipboardStatus::Failed, u""};
  const auto* characters = static_cast<const char16_t*>(locked.data());
  const std::size_t capacity = locked.size() / sizeof(char16_t);
  return {ClipboardStatus::Ok, std::u16string(characters, std::find(characters, characters + capacity, u'\0'))};
}

ClipboardStatus Win32Platform::ReplaceClipboardText(std::u16string_view text) {
  // Made before the clipboard is cleared, so that a lack of memory changes
  // nothing.
  UniqueGlobal memory = TextMemory(text);
  if (!memory) return ClipboardStatus::Failed;
  const OpenedClipboard clipboard(desktop_->owner.get());
  if (!clipboard.IsOpen()) return ClipboardStatus::Busy;
  if (!EmptyClipboard()) return ClipboardStatus::Failed;
  if (SetClipboardData(CF_UNICODETEXT, memory.get()) == nullptr) return ClipboardStatus::Failed;
  memory.release();  // the clipboard owns it now
  return ClipboardStatus::Ok;
}

}  // namespace platform::win32

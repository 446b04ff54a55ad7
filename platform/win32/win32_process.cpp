// Process: the Windows version, the single instance and the program icon.
#include "platform/win32/desktop_state.h"
#include "platform/win32/dpi.h"
#include "platform/win32/win32_platform.h"
#include "platform/win32/windows_api.h"

namespace platform::win32 {
namespace {

static_assert(sizeof(OSVERSIONINFOA) == 148, "the version record GetVersionExA fills");

// "Local\" keeps the name in the user's session: other users on the same
// machine run their own instance.
constexpr wchar_t InstanceMutexName[] = L"Local\\Velumor.SingleInstance";
}  // namespace

bool SingleInstance::AnotherInstanceRunning() {
  if (!asked_) {
    asked_ = true;
    mutex_.reset(CreateMutexW(nullptr, FALSE, InstanceMutexName));
    // Access is denied when an instance started with other rights holds it.
    const DWORD error = GetLastError();
    another_ = mutex_ ? error == ERROR_ALREADY_EXISTS : error == ERROR_ACCESS_DENIED;
  }
  return another_;
}

WindowsVersion Win32Platform::GetVersionEx() {
  OSVERSIONINFOA info{};
  info.dwOSVersionInfoSize = sizeof info;
  if (!GetVersionExA(&info)) return {};
  return {info.dwPlatformId, info.dwMajorVersion, info.dwMinorVersion, info.dwBuildNumber};
}

bool Win32Platform::AnotherInstanceRunning() { return desktop_->instance.AnotherInstanceRunning(); }

IconHandle Win32Platform::ProgramIcon() {
  // The small image at the system's DPI: the notification area shows that one.
  return reinterpret_cast<IconHandle>(desktop_->icons.ForDpi(SystemDpi()).title);
}

}  // namespace platform::win32

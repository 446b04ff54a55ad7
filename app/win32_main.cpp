// velumor.exe: the tray program on the real Windows layer.
#include <ole2.h>

#include "app/program.h"
#include "platform/win32/win32_platform.h"
#include "platform/win32/windows_api.h"

namespace {

// COM for the picture loader and the shell; closed when the program ends.
class OleSession {
 public:
  OleSession() : ok_(SUCCEEDED(OleInitialize(nullptr))) {}
  ~OleSession() {
    if (ok_) OleUninitialize();
  }
  OleSession(const OleSession&) = delete;
  OleSession& operator=(const OleSession&) = delete;

 private:
  bool ok_;
};

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  const OleSession ole;
  platform::win32::Win32Platform os;
  app::Program program(os);
  if (!program.Start()) return 0;
  return os.RunMessageLoop();
}

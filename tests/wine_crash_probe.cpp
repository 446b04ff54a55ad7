// Crashes the two ways a Windows test program can, so that the runs under
// Wine show they fail at once and name the program and the fault:
//   (no argument)  after its work is reported, in a global object's
//                  destructor while the process ends;
//   window         in a window procedure called for a message sent from
//                  another thread, where Wine drops the exception and the
//                  program runs on to exit code 0.
#include <windows.h>

#include <cstdio>
#include <cstring>

namespace {

void WriteThroughNull() {
  // Both volatile: the compiler neither drops the store nor plants a trap instead.
  volatile int* volatile target = nullptr;
  *target = 1;
}

struct WritesThroughNullOnExit {
  bool armed = false;
  ~WritesThroughNullOnExit() {
    if (armed) WriteThroughNull();
  }
} atExit;

LRESULT CALLBACK FaultingProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_APP) WriteThroughNull();
  return DefWindowProcW(window, message, wParam, lParam);
}

DWORD WINAPI SendAndQuit(void* window) {
  SendMessageW(static_cast<HWND>(window), WM_APP, 0, 0);
  PostMessageW(static_cast<HWND>(window), WM_QUIT, 0, 0);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || std::strcmp(argv[1], "window") != 0) {
    atExit.armed = true;
    std::puts("[  PASSED  ] 1 test.");
    return 0;
  }
  WNDCLASSW type{};
  type.lpfnWndProc = FaultingProcedure;
  type.hInstance = GetModuleHandleW(nullptr);
  type.lpszClassName = L"wine_crash_probe";
  // A message-only window: no display needed.
  const HWND window = RegisterClassW(&type) ? CreateWindowExW(0, type.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                                              nullptr, type.hInstance, nullptr)
                                            : nullptr;
  if (!window) return 2;
  const HANDLE sender = CreateThread(nullptr, 0, SendAndQuit, window, 0, nullptr);
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
  if (WaitForSingleObject(sender, 10000) != WAIT_OBJECT_0) return 3;
  std::puts("[  PASSED  ] 1 test.");
  return 0;
}

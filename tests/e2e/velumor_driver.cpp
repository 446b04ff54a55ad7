// A small Windows program that drives the real velumor.exe in end-to-end
// tests the way a user would: it finds its windows, presses their buttons,
// ticks boxes and closes windows, and reports what they show.
//
// TITLE is a window's exact title, or its beginning followed by "*".
//
//   velumor_driver wait TITLE [MS]        a visible window with that title appears
//   velumor_driver texts TITLE            prints the window's title and its controls' texts
//   velumor_driver click TITLE CAPTION    presses the button or box with that caption
//   velumor_driver close TITLE            asks the window to close, as its close box does
//   velumor_driver menu-open              0 when no popup menu is visible, else 1
//   velumor_driver record FILE ARGS...    appends ARGS to FILE (a stand-in browser)
//
// Exit code 0 on success, 1 when the window did not show up in time.
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

// A visible window with a title (or caption) like the pattern: among the
// top-level windows, or among the children of `parent`.
struct Search {
  std::wstring pattern;
  HWND found = nullptr;
};

std::wstring TitleOf(HWND window) {
  wchar_t title[512] = L"";
  GetWindowTextW(window, title, 512);
  return title;
}

BOOL CALLBACK Match(HWND window, LPARAM parameter) {
  auto* search = reinterpret_cast<Search*>(parameter);
  const std::wstring title = TitleOf(window), pattern = search->pattern;
  const bool matches = !pattern.empty() && pattern.back() == L'*'
                           ? title.rfind(pattern.substr(0, pattern.size() - 1), 0) == 0
                           : title == pattern;
  if (!IsWindowVisible(window) || !matches) return TRUE;
  search->found = window;
  return FALSE;
}

HWND FindVisible(const std::wstring& pattern, HWND parent = nullptr) {
  Search search{pattern};
  if (parent) {
    EnumChildWindows(parent, Match, reinterpret_cast<LPARAM>(&search));
  } else {
    EnumWindows(Match, reinterpret_cast<LPARAM>(&search));
  }
  return search.found;
}

HWND WaitFor(const std::wstring& pattern, DWORD milliseconds) {
  const DWORD start = GetTickCount();
  for (;;) {
    if (HWND window = FindVisible(pattern)) return window;
    if (GetTickCount() - start > milliseconds) return nullptr;
    Sleep(1);
  }
}

BOOL CALLBACK PrintChild(HWND child, LPARAM) {
  wchar_t text[4096] = L"";
  GetWindowTextW(child, text, 4096);
  if (text[0] != 0) std::wprintf(L"%ls\n", text);
  return TRUE;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) return 2;
  const std::wstring command = argv[1];
  const std::wstring title = argc > 2 ? argv[2] : L"";
  const bool waits = command == L"wait" || command == L"texts" || command == L"close";
  const DWORD wait = waits && argc > 3 ? std::stoul(argv[3]) : 10000;

  if (command == L"wait") return WaitFor(title, wait) ? 0 : 1;
  if (command == L"texts") {
    HWND window = WaitFor(title, wait);
    if (!window) return 1;
    _setmode(_fileno(stdout), _O_U8TEXT);
    std::wprintf(L"%ls\n", TitleOf(window).c_str());
    EnumChildWindows(window, PrintChild, 0);
    return 0;
  }
  if (command == L"click" && argc > 3) {
    HWND window = WaitFor(title, 10000);
    if (!window) return 1;
    HWND control = FindVisible(argv[3], window);
    if (!control) return 1;
    SendMessageW(control, BM_CLICK, 0, 0);
    return 0;
  }
  if (command == L"close") {
    HWND window = WaitFor(title, wait);
    if (!window) return 1;
    PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    return 0;
  }
  if (command == L"menu-open") {
    HWND menu = FindWindowW(L"#32768", nullptr);
    std::printf("%d\n", menu && IsWindowVisible(menu) ? 1 : 0);
    return 0;
  }
  if (command == L"record" && argc > 2) {
    FILE* file = _wfopen(argv[2], L"a");
    if (!file) return 1;
    for (int i = 3; i < argc; ++i) {
      // In UTF-8: a path with letters beyond the code page arrives whole.
      std::vector<char> bytes(WideCharToMultiByte(CP_UTF8, 0, argv[i], -1, nullptr, 0, nullptr, nullptr) + 1, '\0');
      WideCharToMultiByte(CP_UTF8, 0, argv[i], -1, bytes.data(), static_cast<int>(bytes.size()), nullptr, nullptr);
      std::fprintf(file, "%s%s", bytes.data(), i + 1 < argc ? " " : "\n");
    }
    std::fclose(file);
    return 0;
  }
  return 2;
}

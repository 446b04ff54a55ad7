// A small Windows program that drives the real velumor.exe in end-to-end
// tests the way a user would: it finds its windows, presses their buttons and
// closes them, and reports what they show.
//
// TITLE is a window's exact title, or its beginning followed by "*".
//
//   velumor_driver texts TITLE [MS]       prints the texts of the window's controls
//   velumor_driver click TITLE CAPTION    presses the button or box with that caption
//   velumor_driver close TITLE            asks the window to close, as its close box does
//   velumor_driver menu LETTER            types the letter into the open popup menu
//   velumor_driver record FILE ARG        appends ARG to FILE in UTF-8 (a stand-in browser)
//
// Exit code 0 on success, 1 when the window (within MS, else 10 s) or the
// control did not show up, 3 when the program did not finish a press within 20 s.
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

// A visible window with a title (or caption) like the pattern.
struct Search {
  std::wstring pattern;
  HWND found = nullptr;
};

std::wstring TitleOf(HWND window) {
  wchar_t title[4096] = L"";
  GetWindowTextW(window, title, 4096);
  return title;
}

BOOL CALLBACK Match(HWND window, LPARAM parameter) {
  auto* search = reinterpret_cast<Search*>(parameter);
  const std::wstring title = TitleOf(window), pattern = search->pattern;
  const bool matches =
      pattern.ends_with(L'*') ? title.starts_with(pattern.substr(0, pattern.size() - 1)) : title == pattern;
  if (!IsWindowVisible(window) || !matches) return TRUE;
  search->found = window;
  return FALSE;
}

// What a control shows, asked of the control itself: the title Windows keeps
// for a window of another program is not what an edit box holds.
std::wstring ShownText(HWND control) {
  wchar_t text[4096] = L"";
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutW(control, WM_GETTEXT, 4096, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 2000,
                           &length)) {
    return TitleOf(control);
  }
  return text;
}

BOOL CALLBACK PrintChild(HWND child, LPARAM) {
  if (const std::wstring text = ShownText(child); !text.empty()) std::wprintf(L"%ls\n", text.c_str());
  return TRUE;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const std::wstring command = argc > 2 ? argv[1] : L"";
  if (command == L"record") {
    // In UTF-8: a path with letters beyond the code page arrives whole (after a byte order mark).
    FILE* file = _wfopen(argv[2], L"a, ccs=UTF-8");
    if (!file) return 1;
    std::fwprintf(file, L"%ls\n", argc > 3 ? argv[3] : L"");
    std::fclose(file);
    return 0;
  }
  if (command == L"menu") {
    // The menu's own loop reads the keyboard messages of the program's thread.
    const HWND menu = FindWindowW(L"#32768", nullptr);
    return menu && IsWindowVisible(menu) && PostMessageW(menu, WM_CHAR, argv[2][0], 0) ? 0 : 1;
  }
  // Among the top-level windows, for as long as the caller waits.
  Search window{argv[2]};
  const DWORD start = GetTickCount(), wait = command == L"texts" && argc > 3 ? std::stoul(argv[3]) : 10000;
  while (EnumWindows(Match, reinterpret_cast<LPARAM>(&window)) || !window.found) {  // FALSE once found
    if (GetTickCount() - start > wait) return 1;
    Sleep(1);
  }

  if (command == L"texts") {
    _setmode(_fileno(stdout), _O_U8TEXT);
    EnumChildWindows(window.found, PrintChild, 0);
    return 0;
  }
  if (command == L"click" && argc > 3) {
    Search control{argv[3]};
    EnumChildWindows(window.found, Match, reinterpret_cast<LPARAM>(&control));
    if (!control.found) return 1;
    // The press returns once the program has handled it; a program that hangs
    // in its handler fails the step instead of holding the driver.
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(control.found, BM_CLICK, 0, 0, SMTO_ABORTIFHUNG, 20000, &result)) {
      _setmode(_fileno(stderr), _O_U8TEXT);
      std::fwprintf(stderr, L"Zeitüberschreitung: \"%ls\" in \"%ls\" ist nach 20 s nicht fertig gedrückt\n", argv[3],
                    argv[2]);
      return 3;
    }
    return 0;
  }
  if (command == L"close") return PostMessageW(window.found, WM_SYSCOMMAND, SC_CLOSE, 0) ? 0 : 1;
  return 2;
}

// The real desktop layer under Wine, with a display: what the fake cannot
// show. Forms laid out from their control tables, texts measured in their
// fonts at every DPI, the hook, the unloading of forms and the message loop,
// modal showing, the clipboard with another holder, pictures and the single
// instance.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "app/Form1.h"
#include "app/encode_command.h"
#include "app/program.h"
#include "dialogs/InfoForm.h"
#include "dialogs/StartInfoDialog.h"
#include "platform/win32/dpi.h"
#include "platform/win32/text_fit.h"
#include "platform/win32/win32_platform.h"
#include "platform/win32/windows_api.h"
#include "support/RXSAMMLUNG2DIVFU.h"
// After windows.h, which it needs.
#include <ole2.h>

namespace {

using platform::ControlKind;
using platform::FormId;
using platform::win32::Win32Platform;

// A form's events as a log, with a refusal and actions to run on demand.
class RecordingEvents : public platform::FormEvents {
 public:
  std::vector<std::string> log;
  bool refuse = false;
  std::function<void()> onClick, onUnload;

  void OnClick(std::string_view control, int index) override {
    log.push_back("click " + std::string(control) + " " + std::to_string(index));
    if (onClick) onClick();
  }
  bool OnQueryUnload(int mode) override {
    log.push_back("query " + std::to_string(mode));
    return refuse;
  }
  void OnUnload() override {
    log.push_back("unload");
    if (onUnload) onUnload();
  }
};

HWND Window(Win32Platform& os, FormId form) { return reinterpret_cast<HWND>(os.FormWindow(form)); }

HWND Child(HWND form, const wchar_t* text) { return FindWindowExW(form, nullptr, nullptr, text); }

// Twips in pixels at the screen's own dots per inch, across or down.
long Pixels(int twips, int axis = LOGPIXELSX) {
  const HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, axis);
  ReleaseDC(nullptr, screen);
  return MulDiv(twips, dpi, 1440);
}

// Where a control sits in its form's client area: left, top, width, height.
std::array<long, 4> PlaceOf(HWND control) {
  RECT place{};
  GetWindowRect(control, &place);
  MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&place), 2);
  return {place.left, place.top, place.right - place.left, place.bottom - place.top};
}

// Takes a pending request to quit off the queue: its exit code, or -1.
int TakeQuitRequest() {
  MSG message{};
  return PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) ? static_cast<int>(message.wParam) : -1;
}

// Posts a close to the window if a test's own actions did not end its modal
// showing in time: a failure instead of a test that never ends.
void CALLBACK CloseOnTimeout(HWND window, UINT, UINT_PTR timer, DWORD) {
  KillTimer(window, timer);
  PostMessageW(window, WM_CLOSE, 0, 0);
}

// The notice's own control table: any form will do where the layout does not matter.
platform::FormSpec NoticeSpec() { return dialogs::StartInfoDialogLayout(0); }

// Tells a form that it is now on a monitor of `dpi`, as Windows does, with
// the place Windows would suggest: its size in step, its top left corner kept.
RECT ChangeDpi(HWND form, UINT from, UINT to) {
  RECT place{};
  GetWindowRect(form, &place);
  const RECT suggested{place.left, place.top, place.left + MulDiv(place.right - place.left, to, from),
                       place.top + MulDiv(place.bottom - place.top, to, from)};
  SendMessageW(form, WM_DPICHANGED, MAKEWPARAM(to, to), reinterpret_cast<LPARAM>(&suggested));
  return suggested;
}

TEST(Win32Forms, TheControlTableIsLaidOutInPixelsOfTheScreensDpiAndInTabOrderAndTheFormResizes) {
  Win32Platform os;
  RecordingEvents events;
  const FormId form = os.LoadForm(NoticeSpec(), events);
  const HWND window = Window(os, form);

  RECT client{};
  GetClientRect(window, &client);
  EXPECT_EQ((std::array{client.right, client.bottom}), (std::array{Pixels(4800), Pixels(3240, LOGPIXELSY)}));
  const HWND ok = Child(window, L"&OK");
  EXPECT_EQ(PlaceOf(ok), (std::array{Pixels(1493), Pixels(2760, LOGPIXELSY), Pixels(1815), Pixels(375, LOGPIXELSY)}));

  // The keyboard goes from tab position 0 to 1; the label is no stop.
  const HWND box = Child(window, L"Diesen &Hinweis in Zukunft nicht mehr anzeigen");
  EXPECT_EQ((std::array{GetNextDlgTabItem(window, nullptr, FALSE), GetNextDlgTabItem(window, ok, FALSE),
                        GetNextDlgTabItem(window, box, FALSE)}),
            (std::array{ok, box, ok}));

  // A lone CR or LF is a line break in the label.
  os.SetControlCaption(form, "InfoLbl", -1, u"a\rb\nc\r\nd");
  EXPECT_NE(Child(window, L"a\r\nb\r\nc\r\nd"), nullptr);

  // Centred on the screen, measured by its outer edges.
  const platform::FormBounds bounds = os.Bounds(form);
  const platform::ScreenMetrics screen = os.Screen();
  EXPECT_EQ(screen.twipsPerPixelX, 1440 / Pixels(1440));
  EXPECT_NEAR(bounds.left * 2 + bounds.width, screen.widthTwips, 2 * screen.twipsPerPixelX);
  EXPECT_NEAR(bounds.top * 2 + bounds.height, screen.heightTwips, 2 * screen.twipsPerPixelY);

  // A height below the title bar, as the progress strip's, leaves just the title bar.
  os.SetFormSize(form, 3000, 0);
  os.SetFormPosition(form, 1500, 3000);
  GetClientRect(window, &client);
  EXPECT_EQ(client.bottom, 0);
  // Read back from the outer edges in whole pixels: frame and title bar count.
  const platform::FormBounds strip = os.Bounds(form);
  EXPECT_EQ((std::array{strip.left, strip.top, strip.width}),
            (std::array{1500, 3000, 3000 / screen.twipsPerPixelX * screen.twipsPerPixelX}));
  EXPECT_GE(strip.height, GetSystemMetrics(SM_CYCAPTION) * screen.twipsPerPixelY);
  // At every DPI it keeps its width in twips and just its title bar.
  for (const auto& [from, to] : {std::pair{96u, 144u}, {144u, 192u}, {192u, 96u}}) {
    ChangeDpi(window, from, to);
    RECT outer{};
    GetWindowRect(window, &outer);
    GetClientRect(window, &client);
    EXPECT_EQ(outer.right - outer.left, MulDiv(3000, to, 1440)) << to << " DPI";
    EXPECT_EQ(client.bottom, 0) << to << " DPI";
  }
}

// Every label, button and check box of a form shows its whole text with at
// least this much room around it (a button's: inside its frame), at every DPI.
constexpr long TextMargin = 2;

// So it does, measured from outside with DrawText in the control's font, and the control fits the form.
void ExpectWholeTexts(HWND form, UINT dpi) {
  RECT client{};
  GetClientRect(form, &client);
  for (HWND child = GetWindow(form, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
    wchar_t className[16] = {}, text[1024] = {};
    GetClassNameW(child, className, 16);
    const int length = GetWindowTextW(child, text, 1024);
    const auto style = static_cast<DWORD>(GetWindowLongPtrW(child, GWL_STYLE));
    const bool button = std::wstring_view(className) == L"Button", checkBox = (style & BS_TYPEMASK) == BS_AUTOCHECKBOX;
    if (length == 0 || (!button && (style & SS_TYPEMASK) != SS_LEFT)) continue;
    const auto [left, top, width, height] = PlaceOf(child);
    EXPECT_TRUE(left >= 0 && top >= 0 && left + width <= client.right && top + height <= client.bottom)
        << "outside the form at " << dpi << " DPI: " << text;
    const platform::win32::ButtonLook look =
        platform::win32::LookOf(child, checkBox ? ControlKind::CheckBox : ControlKind::Button, {width, height}, dpi);
    const SIZE frame = button ? look.frame : SIZE{0, 0};
    HFONT font = reinterpret_cast<HFONT>(SendMessageW(child, WM_GETFONT, 0, 0));
    if (button && look.themeFont) font = look.themeFont.get();  // what the style draws with
    const HDC dc = GetDC(child);
    const HGDIOBJ previous = SelectObject(dc, font);
    const UINT format = DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS | (button ? 0 : DT_NOPREFIX) |
                        (button && !checkBox ? DT_CENTER : 0);  // Wine breaks centred lines differently
    RECT needed{0, 0, width - frame.cx, 0};
    DrawTextW(dc, text, length, &needed, format);
    // A button draws its text into a box as wide as the widest line.
    RECT drawn{0, 0, needed.right, 0};
    if (button) DrawTextW(dc, text, length, &drawn, format);
    SelectObject(dc, previous);
    ReleaseDC(child, dc);
    // A push button centres its text both ways, a check box centres it
    // upright right of its box; a label draws it from its top left corner.
    const long across = button && !checkBox ? 2 * TextMargin : TextMargin;
    const long upright = button ? 2 * TextMargin : TextMargin;
    EXPECT_LE(needed.right + across, width - frame.cx) << "too narrow at " << dpi << " DPI: " << text;
    EXPECT_LE(std::max(needed.bottom, drawn.bottom) + upright, height - frame.cy)
        << "too low at " << dpi << " DPI: " << text;
  }
}

// The side of an icon's image in pixels.
long IconSide(HICON icon) {
  ICONINFO info{};
  if (icon == nullptr || !GetIconInfo(icon, &info)) return 0;
  BITMAP bitmap{};
  GetObjectW(info.hbmColor != nullptr ? info.hbmColor : info.hbmMask, sizeof bitmap, &bitmap);
  if (info.hbmColor != nullptr) DeleteObject(info.hbmColor);
  DeleteObject(info.hbmMask);
  return bitmap.bmWidth;
}

// What scales with the DPI on its own: the icons, then control by control
// the font's height and a picture's size (fitting grows neither).
std::vector<long> Scaled(HWND form) {
  std::vector<long> sizes;
  for (const WPARAM icon : {ICON_SMALL, ICON_BIG}) {
    sizes.push_back(IconSide(reinterpret_cast<HICON>(SendMessageW(form, WM_GETICON, icon, 0))));
  }
  for (HWND child = GetWindow(form, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(child, WM_GETFONT, 0, 0)), sizeof font, &font);
    sizes.push_back(std::labs(font.lfHeight));
    if ((GetWindowLongPtrW(child, GWL_STYLE) & SS_TYPEMASK) == SS_OWNERDRAW) {
      const auto place = PlaceOf(child);
      sizes.insert(sizes.end(), {place[2], place[3]});
    }
  }
  return sizes;
}

// The form as the user meets it, then moved over monitors of 150 %, 200 %
// and back to 100 %: every text fits with its margin, what scales scales,
// and the form takes the place Windows suggests, around its centre.
void ExpectEveryDpi(HWND form) {
  ASSERT_EQ(platform::win32::DpiOfWindow(form), 96u) << "the test display runs at 100 %";
  ExpectWholeTexts(form, 96);
  const std::vector<long> at96 = Scaled(form);
  for (const auto& [from, dpi] : {std::pair{96u, 144u}, {144u, 192u}, {192u, 96u}}) {
    const RECT suggested = ChangeDpi(form, from, dpi);
    // Around the suggested place's centre, unless that would put it past the
    // screen's top or left edge (the about dialog at 200 % is larger than
    // the test display).
    RECT place{}, screen{};
    GetWindowRect(form, &place);
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &screen, 0);
    if (place.left > screen.left) {
      EXPECT_LE(std::labs((place.left + place.right) - (suggested.left + suggested.right)), 2) << dpi << " DPI";
    }
    if (place.top > screen.top) {
      EXPECT_LE(std::labs((place.top + place.bottom) - (suggested.top + suggested.bottom)), 2) << dpi << " DPI";
    }
    ExpectWholeTexts(form, dpi);
    // Each measure in step with its size at 96 DPI, to a pixel; the icons at
    // Windows' sizes for title bar and Alt+Tab, 16 and 32 pixels at 96 DPI.
    const std::vector<long> now = Scaled(form);
    ASSERT_EQ(now.size(), at96.size());
    EXPECT_EQ(std::vector(now.begin(), now.begin() + 2), (std::vector<long>{MulDiv(16, dpi, 96), MulDiv(32, dpi, 96)}))
        << "icons at " << dpi << " DPI";
    for (std::size_t i = 2; i < now.size(); ++i) {
      EXPECT_LE(std::labs(MulDiv(at96[i], dpi, 96) - now[i]), 1) << "font or picture " << i << " at " << dpi << " DPI";
    }
  }
}

TEST(Win32Forms, TheNoticesAndTheAboutDialogShowEveryTextWholeWithAMarginAtEveryDpi) {
  Win32Platform os;
  app::Program program(os);
  dialogs::StartInfoDialog& notice = program.dialogs.startInfoDialog();
  for (const std::u16string_view text : {app::StartNotice, common::ResultNotice}) {
    for (const bool picture : {false, true}) {
      SCOPED_TRACE(picture ? "notice with its picture" : "notice");
      notice.Load();
      if (picture) os.SetControlWidth(notice.id(), "InfoLbl", -1, dialogs::LabelWidthBesidePicture);
      os.SetControlCaption(notice.id(), "InfoLbl", -1, RXSAMMLUNG2DIVFU::FormatTemplate(text));
      ExpectEveryDpi(Window(os, notice.id()));
      notice.Unload();
    }
  }
  SCOPED_TRACE("about dialog");
  program.dialogs.infoForm().Show();
  ExpectEveryDpi(Window(os, program.dialogs.infoForm().id()));
  program.dialogs.infoForm().Unload();
  TakeQuitRequest();  // the last form gone ends the message loop; no other test's loop
}

// A main form and a notice on the real layer, each with its events; the events
// outlive the platform, which may still tell them of its end.
class TwoForms : public testing::Test {
 protected:
  RecordingEvents mainEvents, noticeEvents;
  std::unique_ptr<Win32Platform> os = std::make_unique<Win32Platform>();
  const FormId main = os->LoadForm(NoticeSpec(), mainEvents), notice = os->LoadForm(NoticeSpec(), noticeEvents);
  const HWND mainWindow = Window(*os, main), noticeWindow = Window(*os, notice);
};

// A hook as the program installs one: it logs what reaches it and passes it
// on to the procedure it replaced.
struct PassingHook : platform::WindowHook {
  Win32Platform* os;
  std::intptr_t previous = 0;
  std::vector<std::uint32_t> messages;

  explicit PassingHook(Win32Platform& platform) : os(&platform) {}
  std::intptr_t WindowProc(platform::WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                           std::intptr_t lParam) override {
    messages.push_back(message);
    return os->CallWindowProc(previous, window, message, wParam, lParam);
  }
};

TEST_F(TwoForms, TheHookSeesEveryMessageUntilTakenOutOrThePlatformEnds) {
  mainEvents.refuse = true;
  const platform::WindowHandle window = os->FormWindow(main);

  PassingHook hook(*os);
  const std::intptr_t procedure = os->HookProcedure(window, hook);
  hook.previous = os->SetWindowLong(window, platform::WindowProcIndex, procedure);
  ASSERT_NE(hook.previous, 0);

  // The hook hears the close box first and passes it on to the form. (The
  // tray's clicks and the strip's caption through the hook are end-to-end.)
  SendMessageW(mainWindow, WM_CLOSE, 0, 0);
  EXPECT_EQ(std::ranges::count(hook.messages, static_cast<std::uint32_t>(WM_CLOSE)), 1);
  EXPECT_EQ(mainEvents.log, std::vector<std::string>{"query 0"});

  // Taken out again, the hook hears nothing more and the form works as before.
  EXPECT_EQ(os->SetWindowLong(window, platform::WindowProcIndex, hook.previous), procedure);
  hook.messages.clear();
  SendMessageW(mainWindow, WM_CLOSE, 0, 0);
  EXPECT_TRUE(hook.messages.empty());
  EXPECT_EQ(mainEvents.log.size(), 2u);

  // Hooked again, with another form showing: as the platform ends, that
  // form's window closes first and tells the others so; no hook is called.
  os->SetWindowLong(window, platform::WindowProcIndex, procedure);
  os->ShowForm(notice, false);
  os->DoEvents();
  hook.messages.clear();
  os.reset();
  EXPECT_TRUE(hook.messages.empty());
  EXPECT_EQ(mainEvents.log.size(), 2u);
  EXPECT_TRUE(noticeEvents.log.empty());
}

TEST_F(TwoForms, UnloadingAsksFirstAndTheLastFormUnloadedEndsTheMessageLoop) {
  ASSERT_EQ(TakeQuitRequest(), -1);

  // A refusal keeps the form.
  mainEvents.refuse = true;
  os->UnloadForm(main);
  EXPECT_EQ(mainEvents.log, std::vector<std::string>{"query 1"});
  EXPECT_TRUE(IsWindow(mainWindow));

  // The notice's close box unloads it; the main form is still there.
  SendMessageW(noticeWindow, WM_CLOSE, 0, 0);
  EXPECT_EQ(noticeEvents.log, (std::vector<std::string>{"query 0", "unload"}));
  EXPECT_FALSE(IsWindow(noticeWindow));
  EXPECT_EQ(TakeQuitRequest(), -1);

  // The main form's window is still there for its unload handler, which
  // loads and unloads another form on its way out.
  mainEvents.refuse = false;
  RecordingEvents lateEvents;
  mainEvents.onUnload = [&] {
    EXPECT_TRUE(IsWindow(mainWindow));
    os->UnloadForm(os->LoadForm(NoticeSpec(), lateEvents));
  };
  os->UnloadForm(main);
  EXPECT_EQ(mainEvents.log, (std::vector<std::string>{"query 1", "query 1", "unload"}));
  EXPECT_EQ(lateEvents.log, (std::vector<std::string>{"query 1", "unload"}));
  EXPECT_FALSE(IsWindow(mainWindow));
  EXPECT_EQ(os->FormWindow(main), 0u);
  EXPECT_EQ(TakeQuitRequest(), 0);

  // Nothing of an unloaded form raises events.
  os->UnloadForm(main);
  EXPECT_EQ(mainEvents.log.size(), 3u);
}

TEST_F(TwoForms, AModalShowingFocusesTabPositionZeroAndDisablesTheOtherFormsUntilItIsUnloaded) {
  // A request to quit ends a showing, unloads nothing and stays for the outer loop.
  PostQuitMessage(3);
  os->ShowForm(notice, true);
  EXPECT_EQ(TakeQuitRequest(), 3);
  EXPECT_TRUE(IsWindow(noticeWindow));
  EXPECT_TRUE(IsWindowEnabled(mainWindow));
  EXPECT_TRUE(noticeEvents.log.empty());

  // What the user does once the notice is open again: ticks the box, presses Enter.
  PostMessageW(Child(noticeWindow, L"Diesen &Hinweis in Zukunft nicht mehr anzeigen"), BM_SETCHECK, BST_CHECKED, 0);
  PostMessageW(Child(noticeWindow, L"&OK"), WM_KEYDOWN, VK_RETURN, 1);
  noticeEvents.onClick = [&] {
    noticeEvents.log.push_back("main enabled " + std::to_string(IsWindowEnabled(mainWindow)));
    noticeEvents.log.push_back("ticked " + std::to_string(os->ControlValue(notice, "NeverShowAgainChk", -1)));
    os->UnloadForm(notice);
  };
  SetTimer(noticeWindow, 1, 5000, CloseOnTimeout);
  os->ShowForm(notice, true);
  EXPECT_EQ(noticeEvents.log,
            (std::vector<std::string>{"click OKButton -1", "main enabled 0", "ticked 1", "query 1", "unload"}));
  EXPECT_TRUE(IsWindowEnabled(mainWindow));
}

// The round trip is in the contract suite; here what only the real
// clipboard can stage: another holder, and a clipboard without text.
TEST(Win32Clipboard, AClipboardHeldOpenElsewhereIsBusyAndOneWithoutTextReadsEmpty) {
  Win32Platform os;
  const std::u16string text = u"vorher";
  ASSERT_EQ(os.ReplaceClipboardText(text), platform::ClipboardStatus::Ok);

  // Another thread holds the clipboard open for longer than the layer waits.
  auto opened = std::make_shared<std::atomic<int>>(-1);  // outlives a thread left behind
  std::thread holding([opened] {
    *opened = OpenClipboard(nullptr);
    Sleep(2500);
    CloseClipboard();  // does nothing where it was not opened
  });
  for (int waited = 0; *opened < 0 && waited < 5000; waited += 10) Sleep(10);
  if (*opened != TRUE) {
    holding.detach();
    FAIL() << "the other thread did not get the clipboard open within 5 s";
  }
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(os.ReadClipboardText().status, platform::ClipboardStatus::Busy);
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(800));
  EXPECT_EQ(os.ReplaceClipboardText(u"anders"), platform::ClipboardStatus::Busy);
  holding.join();
  EXPECT_EQ(os.ReadClipboardText().text, text);

  // A clipboard without text reads as an empty text.
  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  CloseClipboard();
  const platform::ClipboardText empty = os.ReadClipboardText();
  EXPECT_EQ(empty.status, platform::ClipboardStatus::Ok);
  EXPECT_EQ(empty.text, u"");
}

TEST(Win32Process, OnlyTheFirstInstanceRunsAloneUntilItEnds) {
  auto first = std::make_unique<Win32Platform>();
  EXPECT_FALSE(first->AnotherInstanceRunning());
  EXPECT_TRUE(Win32Platform().AnotherInstanceRunning());
  first.reset();
  EXPECT_FALSE(Win32Platform().AnotherInstanceRunning());
}

std::filesystem::path BesideTheTest(const wchar_t* name) {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  return std::filesystem::path(path).replace_filename(name);
}

TEST(Win32Forms, AnImageTakesAJpegAndRefusesWhatIsNoPicture) {
  ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
  {
    Win32Platform os;
    RecordingEvents events;
    const FormId form = os.LoadForm(NoticeSpec(), events);  // its picture box "SIDimage"

    EXPECT_TRUE(os.LoadPicture(form, "SIDimage", -1, BesideTheTest(L"win32_desktop_tests.jpg").u16string()));

    const std::filesystem::path garbage = BesideTheTest(L"win32_desktop_tests_garbage.jpg");
    std::ofstream(garbage, std::ios::binary) << "\xFF\xD8\xFF\xE0 kein Bild";
    EXPECT_FALSE(os.LoadPicture(form, "SIDimage", -1, garbage.u16string()));
    std::filesystem::remove(garbage);
    EXPECT_FALSE(os.LoadPicture(form, "SIDimage", -1, u"C:\\gibt\\es\\nicht.jpg"));
  }
  OleUninitialize();
}

}  // namespace

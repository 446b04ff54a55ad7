// The time from a left click on the icon to the block on the clipboard, for
// 1 kB, 100 kB and 1 MB texts, with the real window, hook, progress strip and
// clipboard; the sounds and the result notice are left out. Beside it, the
// encoding alone, to show what share of the time it takes.
#include <ole2.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "app/Form1.h"
#include "app/program.h"
#include "core/common.h"
#include "core/random.h"
#include "platform/win32/win32_platform.h"
#include "platform/win32/windows_api.h"
#include "support/RXSAMMLUNG.h"

namespace {

class SilentPlatform : public platform::win32::Win32Platform {
 public:
  void PlayWaveFile(std::u16string_view) override {}
};

std::u16string SampleText(std::size_t length) {
  const std::u16string piece = u"Schöne Grüße an info@example.com \u2013 Preis 5 \u20AC inkl. MwSt.\r\n";
  std::u16string text;
  while (text.size() < length) text.append(piece, 0, std::min(piece.size(), length - text.size()));
  return text;
}

double Milliseconds(std::chrono::steady_clock::duration d) {
  return std::chrono::duration<double, std::milli>(d).count();
}

}  // namespace

int wmain() {
  OleInitialize(nullptr);
  SilentPlatform os;
  app::Program program(os);
  // The notices stay away for this run; the user's own choices come back after it.
  const std::u16string sid1 = RXSAMMLUNG::GetAppSetting(os, u"_SID1");
  const std::u16string sid2 = RXSAMMLUNG::GetAppSetting(os, u"_SID2");
  RXSAMMLUNG::SaveAppSetting(os, u"_SID1", program.dialogs.VersionText(1));
  RXSAMMLUNG::SaveAppSetting(os, u"_SID2", program.dialogs.VersionText(1));
  if (!program.Start()) {
    std::puts("Velumor laeuft bereits; bitte erst beenden.");
    return 1;
  }
  const HWND window = reinterpret_cast<HWND>(program.form1().hWnd());

  std::puts("Text        Klick bis Zwischenablage   davon Kodierung");
  for (const std::size_t length : {std::size_t{1} << 10, std::size_t{100} << 10, std::size_t{1} << 20}) {
    const std::u16string text = SampleText(length);
    double click = 1e300, encode = 1e300;
    for (int round = 0; round < 5; ++round) {
      os.ReplaceClipboardText(text);
      const auto start = std::chrono::steady_clock::now();
      SendMessageW(window, WM_USER, 0, WM_LBUTTONDOWN);  // through the hook, as the shell sends it
      click = std::min(click, Milliseconds(std::chrono::steady_clock::now() - start));
      if (!os.ReadClipboardText().text.starts_with(u"<script")) {
        std::puts("Fehler: kein Block in der Zwischenablage");
        return 1;
      }
      common::PseudoRandom random(1);
      const auto encodeStart = std::chrono::steady_clock::now();
      const auto block = common::EncodeText(text, random);
      encode = std::min(encode, Milliseconds(std::chrono::steady_clock::now() - encodeStart));
    }
    std::printf("%5zu kB   %12.2f ms   %14.2f ms (%.0f %%)\n", length >> 10, click, encode, 100 * encode / click);
  }

  RXSAMMLUNG::SaveAppSetting(os, u"_SID1", sid1);
  RXSAMMLUNG::SaveAppSetting(os, u"_SID2", sid2);
  os.UnloadForm(program.form1().id());
  return 0;
}

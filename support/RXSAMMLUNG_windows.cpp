#include "support/RXSAMMLUNG_windows.h"

#include "support/RXSAMMLUNG2DIVFU.h"

namespace RXSAMMLUNG {

using RXSAMMLUNG2DIVFU::DecimalText;

void SetFormTopmost(platform::Platform& os, platform::FormId form, std::int16_t onTop) {
  os.SetTopmost(os.FormWindow(form), onTop != 0);
}

void CenterOnScreen(platform::Platform& os, platform::FormId form) {
  const platform::ScreenMetrics screen = os.Screen();
  const platform::FormBounds bounds = os.Bounds(form);
  os.SetFormPosition(form, (screen.widthTwips - bounds.width) / 2, (screen.heightTwips - bounds.height) / 2);
}

std::uint32_t WindowsVersionNumber(platform::Platform& os) {
  const platform::WindowsVersion v = os.GetVersionEx();
  // On Windows 95, 98 and Me the build field already holds major and minor
  // in its high word.
  if (v.platformId == 1) return v.build;
  return ((v.major & 255) << 24) + ((v.minor & 255) << 16) + (v.build & 65535);
}

std::u16string WindowsVersionText(platform::Platform& os) {
  const std::uint32_t packed = WindowsVersionNumber(os);
  return DecimalText(packed >> 24) + u"." + DecimalText((packed >> 16) & 255) + u"." + DecimalText(packed & 65535);
}

}  // namespace RXSAMMLUNG

// Twips and pixels. Forms and controls are measured in twips (1/1440 inch)
// and laid out in pixels of the screen's DPI; places on the screen are
// reported back in whole twips per pixel, as Windows counts 15 at 96 DPI.
#pragma once

#include "platform/win32/handles.h"
#include "platform/win32/windows_api.h"

namespace platform::win32 {

inline constexpr int TwipsPerInch = 1440;

struct ScreenScale {
  int dpiX = 96, dpiY = 96;

  static ScreenScale ForDpi(int dpi) { return {dpi, dpi}; }

  // The system's DPI, in which places on the screen are counted.
  static ScreenScale Current() {
    const ScreenDeviceContext screen;
    if (screen.get() == nullptr) return {};
    const int x = GetDeviceCaps(screen.get(), LOGPIXELSX);
    const int y = GetDeviceCaps(screen.get(), LOGPIXELSY);
    return {x > 0 ? x : 96, y > 0 ? y : 96};
  }

  int ToPixelsX(int twips) const { return MulDiv(twips, dpiX, TwipsPerInch); }
  int ToPixelsY(int twips) const { return MulDiv(twips, dpiY, TwipsPerInch); }
  int TwipsPerPixelX() const { return TwipsPerInch / dpiX; }
  int TwipsPerPixelY() const { return TwipsPerInch / dpiY; }
  int ToTwipsX(int pixels) const { return pixels * TwipsPerPixelX(); }
  int ToTwipsY(int pixels) const { return pixels * TwipsPerPixelY(); }
  // A screen coordinate that the logic made from pixels times twips per
  // pixel, back in the same pixels.
  int ScreenPixelsX(int twips) const { return twips / TwipsPerPixelX(); }
  int ScreenPixelsY(int twips) const { return twips / TwipsPerPixelY(); }
};

}  // namespace platform::win32

// The window helpers of the support module: the topmost band, centring a
// form, and the Windows version.
#pragma once

#include <cstdint>
#include <string>

#include "platform/platform.h"

namespace RXSAMMLUNG {

// Lifts the form into the topmost band, or puts it back; only the z-order
// changes.
void SetFormTopmost(platform::Platform& os, platform::FormId form, std::int16_t onTop);
// Places the form, measured from its outer edges, in the middle of the screen.
void CenterOnScreen(platform::Platform& os, platform::FormId form);
// Major version in bits 24 to 31, minor in 16 to 23, build in 0 to 15.
std::uint32_t WindowsVersionNumber(platform::Platform& os);
// Major, minor and build, joined by ".": "5.1.2600" for Windows XP.
std::u16string WindowsVersionText(platform::Platform& os);

}  // namespace RXSAMMLUNG

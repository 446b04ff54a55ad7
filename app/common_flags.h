// The module-level flags of `common` that carry requests between the
// handlers of the encode command and the tray menu, and the menu's point.
#pragma once

#include <cstdint>

namespace common {

// 16-bit Booleans: 0 false, -1 true; any non-zero value counts as true.
struct Flags {
  std::int16_t EncoderBusy = 0;      // an encoding runs; a second request is refused
  std::int16_t CancelRequested = 0;  // the user closed the progress strip
  std::int16_t ReopenMenu = 0;       // the autostart entry was toggled: show the menu again
};
inline constexpr std::int16_t True = -1, False = 0;

struct Point {
  int x = 0, y = 0;
};

}  // namespace common

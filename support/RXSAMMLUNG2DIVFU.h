// The program's paths; the text functions of the same module live in the core.
#pragma once

#include <string>

#include "core/RXSAMMLUNG2DIVFU_text.h"

namespace platform {
class Platform;
}

namespace RXSAMMLUNG2DIVFU {

// The running program's folder, always ending in exactly one backslash.
std::u16string AppFolder(platform::Platform& os);
// AppFolder, the program's name and the lower-case ".exe".
std::u16string AppFilePath(platform::Platform& os);

}  // namespace RXSAMMLUNG2DIVFU

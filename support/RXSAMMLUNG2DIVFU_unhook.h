// Putting Form1's own window procedure back at shutdown.
#pragma once

#include "app/program.h"

namespace RXSAMMLUNG2DIVFU {

// Only after NI_Hook; the icon must already be gone.
void NI_Unhook(app::Program& program);

}  // namespace RXSAMMLUNG2DIVFU

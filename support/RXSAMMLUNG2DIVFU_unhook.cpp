#include "support/RXSAMMLUNG2DIVFU_unhook.h"

namespace RXSAMMLUNG2DIVFU {

void NI_Unhook(app::Program& program) {
  program.os.SetWindowLong(program.ni.NI_Window, platform::WindowProcIndex, program.ni.NI_OldWindowProc);
}

}  // namespace RXSAMMLUNG2DIVFU

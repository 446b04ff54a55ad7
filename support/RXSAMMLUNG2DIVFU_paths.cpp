// Where the program's files lie: its folder and the full path of its file.
#include "platform/platform.h"
#include "support/RXSAMMLUNG2DIVFU.h"

namespace RXSAMMLUNG2DIVFU {

std::u16string AppFolder(platform::Platform& os) { return WithTrailingBackslash(os.ProgramFolder()); }

std::u16string AppFilePath(platform::Platform& os) {
  // Always the lower-case extension, whatever the real file's case.
  return AppFolder(os) + os.ProgramName() + u".exe";
}

}  // namespace RXSAMMLUNG2DIVFU

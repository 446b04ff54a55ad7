// Crashes after its work is reported, as a test program whose global object
// fails while the process ends: the run under Wine must end at once and name
// the program and the fault.
#include <cstdio>

namespace {

struct WritesThroughNullOnExit {
  ~WritesThroughNullOnExit() {
    // Both volatile: the compiler neither drops the store nor plants a trap instead.
    volatile int* volatile target = nullptr;
    *target = 1;
  }
} atExit;

}  // namespace

int main() {
  std::puts("[  PASSED  ] 1 test.");
  return 0;
}

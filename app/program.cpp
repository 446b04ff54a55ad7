#include "app/program.h"

#include "app/Form1.h"
#include "core/simd_kernels.h"

namespace app {

Program::Program(platform::Platform& platform)
    : os(platform), dialogs(platform), form1_(std::make_unique<Form1>(*this)) {}

Program::~Program() = default;

bool Program::Start() {
  // A vector path forced for a test that this processor cannot run: said
  // once, and the program does not start.
  if (const auto refusal = common::SimdChoiceError()) {
    os.MessageBox(*refusal, u"Velumor", platform::MessageBoxOk | platform::MessageBoxExclamation);
    return false;
  }
  return form1_->Load();
}

}  // namespace app

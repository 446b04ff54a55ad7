#include "app/program.h"

#include "app/Form1.h"

namespace app {

Program::Program(platform::Platform& platform)
    : os(platform), dialogs(platform), form1_(std::make_unique<Form1>(*this)) {}

Program::~Program() = default;

bool Program::Start() { return form1_->Load(); }

}  // namespace app

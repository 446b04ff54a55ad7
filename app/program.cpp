#include "app/program.h"

#include <version.h>

#include "app/Form1.h"
#include "dialogs/InfoForm.h"
#include "dialogs/StartInfoDialog.h"
#include "support/RXSAMMLUNG2DIVFU.h"

namespace app {

Program::Program(platform::Platform& platform)
    : os(platform),
      version{velumor_build::VersionMajor, velumor_build::VersionMinor, velumor_build::VersionRevision},
      form1_(std::make_unique<Form1>(*this)),
      startInfoDialog_(std::make_unique<dialogs::StartInfoDialog>(*this)),
      infoForm_(std::make_unique<dialogs::InfoForm>(*this)) {}

Program::~Program() = default;

bool Program::Start() { return form1_->Load(); }

std::u16string Program::VersionText(int flags) const {
  return RXSAMMLUNG2DIVFU::VersionText(flags, version.major, version.minor, version.revision);
}

}  // namespace app

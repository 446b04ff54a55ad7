#include "dialogs/dialogs.h"

#include <version.h>

#include "core/RXSAMMLUNG2DIVFU_text.h"
#include "dialogs/InfoForm.h"
#include "dialogs/StartInfoDialog.h"

namespace dialogs {

Dialogs::Dialogs(platform::Platform& platform)
    : os(platform),
      version{velumor_build::VersionMajor, velumor_build::VersionMinor, velumor_build::VersionRevision},
      startInfoDialog_(std::make_unique<StartInfoDialog>(*this)),
      infoForm_(std::make_unique<InfoForm>(*this)) {}

Dialogs::~Dialogs() = default;

std::u16string Dialogs::VersionText(int flags) const {
  return RXSAMMLUNG2DIVFU::VersionText(flags, version.major, version.minor, version.revision);
}

}  // namespace dialogs

// What the dialogs share: the platform, the running version, and the one
// instance of each dialog form.
#pragma once

#include <memory>
#include <string>

#include "platform/platform.h"

namespace dialogs {

class StartInfoDialog;
class InfoForm;

class Dialogs {
 public:
  explicit Dialogs(platform::Platform& os);
  ~Dialogs();
  Dialogs(const Dialogs&) = delete;
  Dialogs& operator=(const Dialogs&) = delete;

  platform::Platform& os;
  // The numbers of the version resource: major.minor.0.revision.
  struct Version {
    int major, minor, revision;
  } version;
  // The running version in the forms of VersionText.
  std::u16string VersionText(int flags) const;

  StartInfoDialog& startInfoDialog() { return *startInfoDialog_; }
  InfoForm& infoForm() { return *infoForm_; }

 private:
  std::unique_ptr<StartInfoDialog> startInfoDialog_;
  std::unique_ptr<InfoForm> infoForm_;
};

}  // namespace dialogs

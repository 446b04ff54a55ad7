#include "dialogs/StartInfoDialogModule.h"

#include "dialogs/StartInfoDialog.h"
#include "support/RXSAMMLUNG.h"
#include "support/RXSAMMLUNG2DIVFU.h"

namespace StartInfoDialogModule {

void ShowNotice(dialogs::Dialogs& dialogs, std::u16string_view text, std::u16string_view noticeId,
                std::u16string_view imageFile) {
  platform::Platform& os = dialogs.os;
  const std::u16string key = u"_SID" + std::u16string(noticeId);
  if (RXSAMMLUNG::GetAppSetting(os, key) == dialogs.VersionText(1)) return;

  dialogs::StartInfoDialog& dialog = dialogs.startInfoDialog();
  // The dialog exists once: a notice asked for while another is open (a
  // click during the start notice) would disturb it, so it is not shown.
  if (dialog.loaded()) return;
  dialog.Load();
  if (!imageFile.empty()) {
    const std::u16string path = RXSAMMLUNG2DIVFU::AppFolder(os) + std::u16string(imageFile);
    // A picture that cannot be read leaves the notice without one.
    if (RXSAMMLUNG::FileExists(os, path) &&
        os.LoadPicture(dialog.id(), dialogs::StartInfoDialogControl::SIDimage, -1, path)) {
      os.SetControlVisible(dialog.id(), dialogs::StartInfoDialogControl::SIDimage, -1, true);
      os.SetControlWidth(dialog.id(), dialogs::StartInfoDialogControl::InfoLbl, -1, dialogs::LabelWidthBesidePicture);
    }
  }
  dialog.Tag = noticeId;
  os.SetControlCaption(dialog.id(), dialogs::StartInfoDialogControl::InfoLbl, -1,
                       RXSAMMLUNG2DIVFU::FormatTemplate(text));
  os.ShowForm(dialog.id(), true);
}

void CloseNotice(dialogs::Dialogs& dialogs) { dialogs.startInfoDialog().Unload(); }

}  // namespace StartInfoDialogModule

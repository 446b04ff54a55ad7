// The notice: a text, an optional picture at the right, and a box for not
// showing the notice again under this version.
#pragma once

#include <string>

#include "dialogs/dialogs.h"

namespace dialogs {

inline constexpr std::u16string_view NeverShowAgainCaption = u"Diesen &Hinweis in Zukunft nicht mehr anzeigen";
// The controls the notice's code addresses by name.
namespace StartInfoDialogControl {
inline constexpr char InfoLbl[] = "InfoLbl", SIDimage[] = "SIDimage", NeverShowAgainChk[] = "NeverShowAgainChk",
                      OKButton[] = "OKButton";
}

// The label's width when a picture stands at its right.
inline constexpr int LabelWidthBesidePicture = 2475;

// The notice's form and controls, in twips.
platform::FormSpec StartInfoDialogLayout(platform::IconHandle icon);

class StartInfoDialog : public platform::FormEvents {
 public:
  explicit StartInfoDialog(Dialogs& dialogs) : dialogs_(dialogs) {}

  // Loads the form from its control table and runs Form_Load.
  void Load();
  bool loaded() const { return loaded_; }
  platform::FormId id() const { return id_; }

  void Form_Load();
  void OKButton_Click();
  void Unload();

  // The notice number while the dialog is open.
  std::u16string Tag;

  void OnClick(std::string_view control, int index) override;
  bool OnQueryUnload(int mode) override;
  void OnUnload() override;

 private:
  Dialogs& dialogs_;
  platform::FormId id_ = 0;
  bool loaded_ = false;
};

}  // namespace dialogs

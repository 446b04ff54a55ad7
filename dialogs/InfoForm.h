// The about dialog: the maker's banner, the product line with the version,
// and buttons for the update search, the maker's site, a mail and closing.
#pragma once

#include <string>

#include "dialogs/dialogs.h"

namespace dialogs {

// The controls the dialog's code addresses by name.
namespace InfoFormControl {
inline constexpr char Image1[] = "Image1", Label[] = "Label", Line1[] = "Line1", Btn[] = "Btn";
}
// The elements of the button array Btn.
enum InfoFormButton : std::int16_t { BtnMail = 0, BtnUpdateSearch = 1, BtnWebSite = 2, BtnClose = 3 };

// The language of the dialog's variable captions: 0 German, 1 English, 2 French.
inline constexpr int LanguageIndex = 0;

class InfoForm : public platform::FormEvents {
 public:
  explicit InfoForm(Dialogs& dialogs) : dialogs_(dialogs) {}

  // Loads and shows the dialog without blocking; an open one comes to the front.
  void Show();
  bool loaded() const { return loaded_; }
  platform::FormId id() const { return id_; }
  void Unload();

  void Form_Load();
  void Btn_Click(std::int16_t Index);
  void Image1_Click();

  // The addresses behind the mail and update-search buttons.
  std::u16string MailTarget();
  std::u16string UpdateSearchAddress();

  void OnClick(std::string_view control, int index) override;
  bool OnQueryUnload(int mode) override;
  void OnUnload() override;

 private:
  Dialogs& dialogs_;
  platform::FormId id_ = 0;
  bool loaded_ = false;
};

}  // namespace dialogs

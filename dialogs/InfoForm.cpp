#include "dialogs/InfoForm.h"

#include <version.h>

#include "core/windows1252.h"
#include "support/RXSAMMLUNG.h"
#include "support/RXSAMMLUNG2DIVFU.h"
#include "support/RXSAMMLUNG_windows.h"

namespace dialogs {
namespace {

using RXSAMMLUNG2DIVFU::ChooseText;

constexpr std::u16string_view Description = u"Sichert Ihre Webseiten gegen Adress- und Code-Diebe.";

constexpr std::u16string_view FurtherParagraphs =
    u"Velumor verwandelt kopierten Text \u2013 eine E-Mail-Adresse, einen Link oder einen ganzen HTML-Abschnitt "
    u"\u2013 in einen kleinen Skriptblock. Im Quelltext der Seite steht danach nur noch eine zufällige Folge von "
    u"Buchstaben: Jedes Zeichen ist auf zwei Trägerzeichen verteilt, und jeder Lauf wählt sie neu. "
    u"Adressensammler, die den Quelltext durchsuchen, finden nichts Verwertbares; der Browser Ihrer Besucher setzt "
    u"den Text beim Anzeigen wieder zusammen.\r\r"
    u"So geht es: Text markieren und kopieren, mit der linken Maustaste auf das Velumor-Symbol neben der Uhr "
    u"klicken und das Ergebnis mit Strg-V in den HTML-Quelltext Ihrer Seite einfügen.\r\r"
    u"Norvane Software entwickelt kleine Werkzeuge für Menschen, die Webseiten gestalten. Mit den Schaltflächen "
    u"unten suchen Sie nach einer neuen Version, besuchen unsere Webseite oder schreiben uns eine E-Mail.";

constexpr std::u16string_view UpdateSearchTemplate = u"/?find_update&app=%1&ver=%2&win=%3";

// Lower case for the letters of Latin-1, which is all an address holds.
std::u16string LowerCase(std::u16string text) {
  for (char16_t& c : text) {
    if ((c >= u'A' && c <= u'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7)) c = static_cast<char16_t>(c + 32);
  }
  return text;
}

platform::FormSpec Layout() {
  using platform::ControlKind;
  platform::FormSpec spec;
  spec.clientWidth = 9390;
  spec.clientHeight = 6360;
  spec.border = platform::FormBorder::FixedDialog;
  spec.iconResource = u"INFO_ICON";
  const std::u16string webAddress = windows1252::ToText(velumor_build::MakerHost);
  spec.controls = {
      {.name = InfoFormControl::Image1,
       .kind = ControlKind::Image,
       .left = 90,
       .top = 120,
       .width = 915,
       .height = 6135,
       .tooltip = u"Klicken Sie hier, um noch mehr interessante Norvane-Programme kennenzulernen ...",
       .stretchPicture = true,
       .pictureResource = u"INFO_BANNER",
       .cursorResource = u"INFO_POINTER"},
      {.name = InfoFormControl::Label,
       .index = 0,
       .kind = ControlKind::Label,
       .left = 1140,
       .top = 120,
       .width = 8115,
       .height = 5415,
       .tabIndex = 4,
       .fontName = u"Arial",
       .fontPoints = 9.75},
      {.name = InfoFormControl::Line1,
       .kind = ControlKind::Line,
       .left = 1140,
       .top = 5580,
       .width = 9300 - 1140,
       .height = 0},
      {.name = InfoFormControl::Btn,
       .index = BtnUpdateSearch,
       .kind = ControlKind::Button,
       .left = 1140,
       .top = 5700,
       .width = 2655,
       .height = 555,
       .caption = u"Auf Norvane nach neuer &Version dieser Software suchen",
       .tabIndex = 0},
      {.name = InfoFormControl::Btn,
       .index = BtnWebSite,
       .kind = ControlKind::Button,
       .left = 3900,
       .top = 5700,
       .width = 2475,
       .height = 555,
       .tooltip = u"... startet Ihren Internet-Browser mit dem Ziel " + webAddress,
       .tabIndex = 1},
      {.name = InfoFormControl::Btn,
       .index = BtnMail,
       .kind = ControlKind::Button,
       .left = 6480,
       .top = 5700,
       .width = 1575,
       .height = 555,
       .caption = u"&E-Mail an Norvane schreiben",
       .tabIndex = 2},
      {.name = InfoFormControl::Btn,
       .index = BtnClose,
       .kind = ControlKind::Button,
       .left = 8190,
       .top = 5700,
       .width = 1125,
       .height = 555,
       .tooltip = u"... bringt Sie zurück zum Programm",
       .tabIndex = 3},
  };
  return spec;
}

}  // namespace

void InfoForm::Show() {
  if (loaded_) {
    dialogs_.os.BringToFront(id_);
    return;
  }
  id_ = dialogs_.os.LoadForm(Layout(), *this);
  loaded_ = true;
  Form_Load();
  dialogs_.os.ShowForm(id_, false);
}

void InfoForm::Unload() {
  if (loaded_) dialogs_.os.UnloadForm(id_);
}

void InfoForm::Form_Load() {
  platform::Platform& os = dialogs_.os;
  os.SetFormCaption(id_, u"Info über " + std::u16string(RXSAMMLUNG::ApplicationTitle));
  os.SetControlCaption(id_, InfoFormControl::Btn, BtnWebSite,
                       ChooseText(LanguageIndex, {u"Norvane besuchen", u"Visit Norvane", u"Visitez Norvane"}));
  os.SetControlCaption(id_, InfoFormControl::Btn, BtnClose,
                       ChooseText(LanguageIndex, {u"&Schliessen", u"&Close", u"&Fermer"}));

  // Small screens get the dialog at their top left corner, where it fits best.
  const platform::ScreenMetrics screen = os.Screen();
  const int heightPixels = screen.heightTwips / screen.twipsPerPixelY;
  const int widthPixels = screen.widthTwips / screen.twipsPerPixelX;
  if (heightPixels <= 480 || widthPixels <= 640) {
    os.SetFormPosition(id_, 0, 0);
  } else {
    RXSAMMLUNG::CenterOnScreen(os, id_);
  }

  const std::u16string productLine = std::u16string(RXSAMMLUNG::ApplicationTitle) + dialogs_.VersionText(256) +
                                     u" \u2013" + RXSAMMLUNG2DIVFU::PickString(u" ", !Description.empty(), u"") +
                                     std::u16string(Description);
  os.SetControlCaption(id_, InfoFormControl::Label, 0, productLine + u"\r\r" + std::u16string(FurtherParagraphs));
}

std::u16string InfoForm::MailTarget() {
  return u"mailto:" + windows1252::ToText(velumor_build::MakerMail) + u"?subject=Ihre Software " +
         std::u16string(RXSAMMLUNG::ApplicationTitle) + dialogs_.VersionText(256) + u" unter Windows " +
         RXSAMMLUNG::WindowsVersionText(dialogs_.os);
}

std::u16string InfoForm::UpdateSearchAddress() {
  const std::u16string templateText =
      windows1252::ToText(velumor_build::MakerHost) + std::u16string(UpdateSearchTemplate);
  return LowerCase(RXSAMMLUNG2DIVFU::FormatTemplate(
      templateText,
      {RXSAMMLUNG::ApplicationTitle, dialogs_.VersionText(1), RXSAMMLUNG::WindowsVersionText(dialogs_.os)}));
}

void InfoForm::Btn_Click(std::int16_t Index) {
  switch (Index) {
    case BtnMail:
      RXSAMMLUNG::ShellOpen(dialogs_.os, MailTarget(), 0);
      break;
    case BtnUpdateSearch:
      RXSAMMLUNG::ShellOpen(dialogs_.os, UpdateSearchAddress(), 0);
      break;
    case BtnWebSite:
      RXSAMMLUNG::OpenMakerWebSite(dialogs_.os);
      break;
    case BtnClose:
      Unload();
      break;
    default:
      break;
  }
}

void InfoForm::Image1_Click() { RXSAMMLUNG::OpenMakerWebSite(dialogs_.os); }

void InfoForm::OnClick(std::string_view control, int index) {
  if (control == InfoFormControl::Btn) Btn_Click(static_cast<std::int16_t>(index));
  if (control == InfoFormControl::Image1) Image1_Click();
}

bool InfoForm::OnQueryUnload(int) { return false; }

void InfoForm::OnUnload() { loaded_ = false; }

}  // namespace dialogs

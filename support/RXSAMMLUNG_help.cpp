// The HTML help beside the program, and documents and addresses handed to
// the shell.
#include <version.h>

#include "core/windows1252.h"
#include "support/RXSAMMLUNG.h"
#include "support/RXSAMMLUNG2DIVFU.h"
#include "support/information_message.h"

namespace RXSAMMLUNG {
namespace {

constexpr int ShowNormal = 1, ShowMaximized = 3;

}  // namespace

void ShowHelp(platform::Platform& os, std::u16string_view fileName, bool confirm) {
  std::u16string page(fileName);
  if (page.empty() || !FileExists(os, page)) {
    page = FindHelpFile(os);
    if (page.empty()) {
      ShowInformation(os, u"Die Online-Hilfe konnte leider nicht gefunden werden ...");
      return;
    }
  }
  ShellOpen(os, page, 0);
  // The shell's outcome is not known here; the note only says where the page went.
  if (confirm) ShowInformation(os, u"HTML-Hilfetext wurde an den Standard-Browser geschickt ...");
}

std::u16string FindHelpFile(platform::Platform& os) {
  const std::u16string folder = RXSAMMLUNG2DIVFU::AppFolder(os);
  // Sub-folder outermost, then the base name, then the extension: the
  // program folder wins over "hilfe", "index" over "hilfe", ".htm" over ".html".
  for (const std::u16string_view subFolder : {u"", u"hilfe\\"}) {
    for (const std::u16string_view baseName : {u"index", u"hilfe"}) {
      for (const std::u16string_view suffix : {u"", u"l"}) {
        std::u16string candidate = folder;
        candidate.append(subFolder).append(baseName).append(u".htm").append(suffix);
        if (FileExists(os, candidate)) return candidate;
      }
    }
  }
  return {};
}

void ShellOpen(platform::Platform& os, std::u16string_view target, int showMode) {
  os.Execute("Open", target, showMode != 0 ? showMode : ShowNormal);
}

void OpenMakerWebSite(platform::Platform& os) {
  // A bare host name: the shell hands it to the browser as it is.
  ShellOpen(os, windows1252::ToText(velumor_build::MakerHost), ShowMaximized);
}

}  // namespace RXSAMMLUNG

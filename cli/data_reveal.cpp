#include "data_reveal.h"

namespace cli {

std::string DataElementRest(Reveal reveal, std::string_view shownHtml) {
  if (reveal == Reveal::Load) return "\">" + std::string(shownHtml) + "</span>";
  // Focusable, so a keyboard or screen-reader user reveals it by tabbing to it
  // or pressing Enter; without JavaScript the note says why nothing happens.
  return "\" data-velumor-reveal=\"interaction\" tabindex=\"0\" role=\"button\">" + std::string(shownHtml) +
         "<noscript> (dazu ist JavaScript n&#246;tig)</noscript></span>";
}

}  // namespace cli

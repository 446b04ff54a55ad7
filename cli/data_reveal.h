// When the data form shows its text: as soon as the page is ready, or only
// after the first sign of a person, so that a browser that merely loads the
// page (a harvester's headless browser) never gets it.
#pragma once

#include <string>
#include <string_view>

namespace cli {

enum class Reveal { Load, Interaction };

inline constexpr std::u16string_view DefaultPlaceholder = u"E-Mail-Adresse: bitte Seite benutzen";

// What follows the carriers in a data element: the rest of its start tag,
// what shows until velumor-decode.js replaces it, and its end tag. `shownHtml`
// is the fallback (Load) or the placeholder (Interaction), as FallbackHtml
// makes it.
std::string DataElementRest(Reveal reveal, std::string_view shownHtml);

}  // namespace cli

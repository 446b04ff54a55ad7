// What the data form needs besides its frame: the text that shows without
// JavaScript, and the script velumor-decode.js that replaces each element
// with what its carriers hold.
#pragma once

#include <string>
#include <string_view>

namespace common {

inline constexpr std::u16string_view DefaultFallback = u"*** Bitte aktivieren Sie JavaScript in Ihrem Browser ***";
// What an element that waits for a person shows until then.
inline constexpr std::u16string_view DefaultPlaceholder = u"E-Mail-Adresse: bitte Seite benutzen";
inline constexpr std::string_view DecoderFileName = "velumor-decode.js";

// The decoder script, as velumor-decode.js holds it.
std::string_view DecoderScriptText();

// A fallback text as plain ASCII HTML: markup characters and everything
// beyond ASCII as character references, so it suits a page in any encoding.
std::string FallbackHtml(std::u16string_view text);

}  // namespace common

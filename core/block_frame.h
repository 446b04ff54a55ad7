// What stands around a block's carriers, in either of its forms: the script
// block that writes the text into the page, or the data element that
// velumor-decode.js replaces with it.
#pragma once

#include <string>
#include <string_view>

namespace common {

// The tray program's block as stored, escaped; "@" is the slot for the
// carrier string.
inline constexpr std::u16string_view ScriptTemplate =
    u"<script language=\\hJavaScript\\h type=\\htext/javascript\\h>\\n\\l<!--\\n\\lvar c=\\h@\\h;"
    u"var s=\\h\\h;for(var i=0;i<c.length;)s+=String.fromCharCode(((c.charCodeAt(i++)&15)<<4)|"
    u"(c.charCodeAt(i++)&15));document.write(s);\\n\\l//-->\\n\\l</script>\\n\\l<noscript><br><b>"
    u"*** Bitte aktivieren Sie JavaScript in Ihrem Browser ***</b><br></noscript>\\n\\l";

// The data form's attribute, which holds the carriers.
inline constexpr std::string_view DataAttribute = "data-velumor";

// When the data form shows its text: as soon as the page is ready, or only
// after the first sign of a person, so that a browser that merely loads the
// page (a harvester's headless browser) never gets it.
enum class Reveal { Load, Interaction };

class BlockFrame {
 public:
  // The script block as the tray program writes it: six lines ending in CR LF.
  static const BlockFrame& Script();

  // The script block in running text: its lines end in `newline`, and no line
  // break follows the script or the notice, where it would show as a space
  // between the text and a following full stop.
  static BlockFrame InlineScript(std::string_view newline);

  // The data form, <ELEMENT data-velumor="CARRIERS">SHOWN</ELEMENT>; `shownHtml`
  // (ASCII HTML) is the fallback that shows where JavaScript does not run
  // (Load), or the placeholder that shows until a person acts (Interaction).
  static BlockFrame Data(std::string_view shownHtml, std::string_view element = "span", Reveal reveal = Reveal::Load);

  std::string_view Before() const { return before_; }  // up to the carriers
  std::string_view After() const { return after_; }    // after them

 private:
  BlockFrame(std::string before, std::string after) : before_(std::move(before)), after_(std::move(after)) {}

  std::string before_, after_;
};

}  // namespace common

#include "block_frame.h"

#include "RXSAMMLUNG2DIVFU_text.h"
#include "windows1252.h"

namespace common {

const BlockFrame& BlockFrame::Script() {
  static const BlockFrame script = [] {
    // Escapes are expanded before the carriers go in, so carriers are never
    // read as escape sequences.
    const std::string text = windows1252::FromText(RXSAMMLUNG2DIVFU::ExpandEscapes(ScriptTemplate));
    const std::size_t slot = text.find('@');
    return BlockFrame(text.substr(0, slot), text.substr(slot + 1));
  }();
  return script;
}

BlockFrame BlockFrame::InlineScript(std::string_view newline) {
  const auto lines = [&](std::string_view text) {
    std::string joined;
    for (std::size_t at = 0; at < text.size();) {
      const std::size_t crlf = std::min(text.find("\r\n", at), text.size());
      joined.append(text, at, crlf - at);
      if (crlf < text.size()) joined.append(newline);
      at = crlf + 2;
    }
    return joined;
  };
  std::string after(Script().After());
  after.erase(after.find("</script>\r\n") + 9, 2);
  after.resize(after.size() - 2);
  return BlockFrame(lines(Script().Before()), lines(after));
}

BlockFrame BlockFrame::Data(std::string_view shownHtml, std::string_view element, Reveal reveal) {
  std::string before, after;
  before.append("<").append(element).append(" ").append(DataAttribute).append("=\"");
  if (reveal == Reveal::Load) {
    after.append("\">").append(shownHtml);
  } else {
    // Focusable, so a keyboard or screen-reader user reveals it by tabbing to
    // it or pressing Enter; without JavaScript the note says why nothing happens.
    after.append("\" data-velumor-reveal=\"interaction\" tabindex=\"0\" role=\"button\">")
        .append(shownHtml)
        .append("<noscript> (dazu ist JavaScript n&#246;tig)</noscript>");
  }
  after.append("</").append(element).append(">");
  return BlockFrame(std::move(before), std::move(after));
}

}  // namespace common

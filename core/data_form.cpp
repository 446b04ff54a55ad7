#include "data_form.h"

#include "page_codes.h"
#include "utf16.h"

namespace common {

std::string FallbackHtml(std::u16string_view text) {
  std::string html;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const std::optional<char32_t> c = utf16::CodePointAt(text, i);
    if (!c) continue;
    if (*c < 0x80 && *c != '<' && *c != '>' && *c != '&' && *c != '"') {
      html.push_back(static_cast<char>(*c));
    } else {
      detail::EmitReference(*c, [&](char code) { html.push_back(code); });
    }
  }
  return html;
}

}  // namespace common

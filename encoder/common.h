// The nibble encoding: a text becomes a self-decoding script block in which
// every page code is spread over two carrier characters.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "page_codes.h"

namespace common {

// The stored, escaped block; "@" is the slot for the carrier string.
inline constexpr std::u16string_view ScriptTemplate =
    u"<script language=\\hJavaScript\\h type=\\htext/javascript\\h>\\n\\l<!--\\n\\lvar c=\\h@\\h;"
    u"var s=\\h\\h;for(var i=0;i<c.length;)s+=String.fromCharCode(((c.charCodeAt(i++)&15)<<4)|"
    u"(c.charCodeAt(i++)&15));document.write(s);\\n\\l//-->\\n\\l</script>\\n\\l<noscript><br><b>"
    u"*** Bitte aktivieren Sie JavaScript in Ihrem Browser ***</b><br></noscript>\\n\\l";

// A carrier for a nibble (0 to 15) from one random draw r in [0, 1): the
// upper bits come from k = int(r * 3.9), so the fourth column is drawn less
// often than the others. Backslash and DEL are replaced by "<" and "?".
template <class Random>
inline int NibbleToChar(const int& nibble, Random& random) {
  const int k = static_cast<int>(random.Next() * 3.9);
  int code = (64 + 16 * k) | nibble;
  if (code == 92 || code == 127) code = 48 | nibble;
  return code;
}

// The expanded template around its slot. The block is pure ASCII, so it is
// kept in 8-bit characters: half the memory for long texts.
std::string_view BlockHead();  // up to the "@"
std::string_view BlockTail();  // after the "@"

// Builds a block in one buffer: head, the carriers as they are added, tail.
class ScriptBlockBuilder {
 public:
  explicit ScriptBlockBuilder(std::size_t textLength);

  // Appends the carriers of the character at index i; the high nibble of
  // each code is drawn first.
  template <class Random>
  void AddCharacter(std::u16string_view text, std::size_t i, Random& random) {
    ForEachPageCode(text, i, [&](int code) {
      block_.push_back(static_cast<char>(NibbleToChar(code >> 4, random)));
      block_.push_back(static_cast<char>(NibbleToChar(code & 15, random)));
    });
  }

  std::string Finish() &&;

 private:
  std::string block_;
};

// The block for a whole text, or nothing when its self-check fails: a block
// is never handed out unless decoding it gives back the text.
template <class Random>
std::optional<std::string> EncodeText(std::u16string_view text, Random& random);

// True when the block holds exactly one script and that script writes the
// page text of `text`.
bool WritesText(std::string_view block, std::u16string_view text);

template <class Random>
std::optional<std::string> EncodeText(std::u16string_view text, Random& random) {
  ScriptBlockBuilder builder(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) builder.AddCharacter(text, i, random);
  std::string block = std::move(builder).Finish();
  if (!WritesText(block, text)) return std::nullopt;
  return block;
}

}  // namespace common

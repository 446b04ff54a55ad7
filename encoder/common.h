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
  const int code = (64 + 16 * k) | nibble;
  const bool replaced = (code == 92) | (code == 127);  // no branch: both are rare and random
  return replaced ? (48 | nibble) : code;
}

// The expanded template around its slot. The block is pure ASCII, so it is
// kept in 8-bit characters: half the memory for long texts.
std::string_view BlockHead();  // up to the "@"
std::string_view BlockTail();  // after the "@"

// Builds a block in one buffer: head, the carriers as they are added, tail.
class ScriptBlockBuilder {
 public:
  explicit ScriptBlockBuilder(std::size_t textLength);

  // Appends the carriers of the characters from index `begin` to `end`; the
  // high nibble of each code is drawn first.
  template <class Random>
  void AddCharacters(std::u16string_view text, std::size_t begin, std::size_t end, Random& random);

  std::string Finish() &&;

 private:
  std::string block_;
};

template <class Random>
void ScriptBlockBuilder::AddCharacters(std::u16string_view text, std::size_t begin, std::size_t end,
                                       Random& shared) {
  // A local copy of the generator: stores through char* may alias anything,
  // so with a reference every draw would wait for the last carrier's store.
  Random random = shared;
  // Room for two carriers a character; references, which need more, grow it.
  std::size_t used = block_.size();
  block_.resize(used + 2 * (end - begin));
  char* out = block_.data() + used;
  const auto put = [&](int code) {
    out[0] = static_cast<char>(NibbleToChar(code >> 4, random));
    out[1] = static_cast<char>(NibbleToChar(code & 15, random));
    out += 2;
  };
  for (std::size_t i = begin; i < end; ++i) {
    if (text[i] <= 0xFF) {
      put(text[i]);
      continue;
    }
    int codes[12];
    int count = 0;
    ForEachPageCode(text, i, [&](int code) { codes[count++] = code; });
    used = static_cast<std::size_t>(out - block_.data());
    block_.resize(used + 2 * count + 2 * (end - i - 1));
    out = block_.data() + used;
    for (int k = 0; k < count; ++k) put(codes[k]);
  }
  block_.resize(static_cast<std::size_t>(out - block_.data()));
  shared = std::move(random);
}

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
  builder.AddCharacters(text, 0, text.size(), random);
  std::string block = std::move(builder).Finish();
  if (!WritesText(block, text)) return std::nullopt;
  return block;
}

}  // namespace common

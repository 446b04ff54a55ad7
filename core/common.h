// The nibble encoding: a text becomes a self-decoding script block in which
// every page code is spread over two carrier characters.
#pragma once

#include <algorithm>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>

#include "carrier_blocks.h"
#include "page_codes.h"
#include "random.h"
#include "script_style_escapes.h"

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
  // The whole text, of which AddCharacters is given one part after another.
  explicit ScriptBlockBuilder(std::u16string_view text);

  // Appends the carriers of the characters from index `begin` to `end`; the
  // high nibble of each code is drawn first.
  template <class Random>
  void AddCharacters(std::u16string_view text, std::size_t begin, std::size_t end, Random& random);

  std::string Finish() &&;

  // The self-check, made as the carriers are written, while they are still
  // in the cache: every pair decodes to its page code, and no carrier can
  // end or escape the script's string. A block that fails it is not handed out.
  bool Faithful() const { return faithful_; }

 private:
  std::string block_;
  PageCodeWriter pageCodes_;
  bool faithful_ = true;
};

template <class Random>
void ScriptBlockBuilder::AddCharacters(std::u16string_view text, std::size_t begin, std::size_t end, Random& shared) {
  // A local copy of the generator: stores through char* may alias anything,
  // so with a reference every draw would wait for the last carrier's store.
  Random random = shared;
  constexpr bool FastPath = std::is_same_v<Random, PseudoRandom>;
  // Page codes and their carriers go through small buffers that stay in the
  // cache; the block itself is written once.
  constexpr std::size_t Chunk = 2048, LongestReference = 10;
  std::uint8_t codes[Chunk + LongestReference];
  char carriers[2 * (Chunk + LongestReference)];
  std::size_t pending = 0;

  const auto encodePending = [&](bool toTheEnd) {
    std::size_t done = 0;
    const auto encodeOne = [&] {
      carriers[2 * done] = static_cast<char>(NibbleToChar(codes[done] >> 4, random));
      carriers[2 * done + 1] = static_cast<char>(NibbleToChar(codes[done] & 15, random));
      ++done;
    };
    if constexpr (FastPath) {
      while (done < pending && !random.AtStepBoundary()) encodeOne();
      const std::size_t blocks = (pending - done) / 16 * 16;
      EncodeCodeBlocks(codes + done, blocks, carriers + 2 * done, random);
      done += blocks;
    }
    if (toTheEnd || !FastPath) {
      while (done < pending) encodeOne();
    }
    faithful_ = faithful_ && CarriersCarry(carriers, codes, done);
    block_.append(carriers, 2 * done);
    std::copy(codes + done, codes + pending, codes);
    pending -= done;
  };

  for (std::size_t i = begin; i < end;) {
    const std::size_t copied = CopyLatin1Run(text.data() + i, std::min(end - i, Chunk - pending), codes + pending);
    pending += copied;
    i += copied;
    if (i < end && text[i] > 0xFF) {
      pageCodes_.Emit(text, i++, [&](int code) { codes[pending++] = static_cast<std::uint8_t>(code); });
    }
    if (pending >= Chunk) encodePending(false);
  }
  encodePending(true);
  shared = std::move(random);
}

// The block for a whole text, or nothing when its self-check fails: a block
// is never handed out unless its carriers decode to the text's page codes.
template <class Random>
std::optional<std::string> EncodeText(std::u16string_view text, Random& random);

template <class Random>
std::optional<std::string> EncodeText(std::u16string_view text, Random& random) {
  ScriptBlockBuilder builder(text);
  builder.AddCharacters(text, 0, text.size(), random);
  if (!builder.Faithful()) return std::nullopt;
  return std::move(builder).Finish();
}

}  // namespace common

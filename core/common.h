// The nibble encoding: a text becomes a self-decoding script block in which
// every page code is spread over two carrier characters.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "block_frame.h"
#include "carrier_blocks.h"
#include "carrier_encoder.h"
#include "page_codes.h"
#include "random.h"
#include "script_style_escapes.h"

namespace common {

// Builds a block in one buffer: the frame's start, the carriers as they are
// added, the frame's end.
class ScriptBlockBuilder {
 public:
  // The whole text, of which AddCharacters is given one part after another.
  explicit ScriptBlockBuilder(std::u16string_view text, const BlockFrame& frame = BlockFrame::Script());

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
  std::string after_;
  PageCodeWriter pageCodes_;
  bool faithful_ = true;
};

template <class Random>
void ScriptBlockBuilder::AddCharacters(std::u16string_view text, std::size_t begin, std::size_t end, Random& random) {
  // Page codes and their carriers go through small buffers that stay in the
  // cache; the block itself is written once.
  constexpr std::size_t Chunk = 2048;
  std::uint8_t codes[Chunk + LongestPageCodes];
  char carriers[2 * (Chunk + LongestPageCodes)];
  for (std::size_t i = begin; i < end;) {
    const std::size_t count = pageCodes_.Fill(text, i, end, codes, Chunk);
    EncodeCarriers(codes, count, carriers, random);
    faithful_ = faithful_ && CarriersCarry(carriers, codes, count);
    block_.append(carriers, 2 * count);
  }
}

// The block for a whole text, or nothing when its self-check fails: a block
// is never handed out unless its carriers decode to the text's page codes.
template <class Random>
std::optional<std::string> EncodeText(std::u16string_view text, Random& random,
                                      const BlockFrame& frame = BlockFrame::Script()) {
  ScriptBlockBuilder builder(text, frame);
  builder.AddCharacters(text, 0, text.size(), random);
  if (!builder.Faithful()) return std::nullopt;
  return std::move(builder).Finish();
}

}  // namespace common

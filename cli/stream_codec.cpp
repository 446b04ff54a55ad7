#include "stream_codec.h"

#include <memory>

#include "encoder/common.h"
#include "encoder/decoder.h"
#include "utf8.h"

namespace cli {

StreamResult EncodeStreaming(std::string_view utf8, common::PseudoRandom& random, const ByteSink& sink,
                             std::size_t chunkUnits) {
  const std::string_view head = common::BlockHead(), tail = common::BlockTail();
  if (!sink(head)) return StreamResult::WriteFailed;
  const auto units = std::make_unique_for_overwrite<char16_t[]>(chunkUnits);
  for (std::size_t position = 0; position < utf8.size();) {
    const std::size_t count = DecodeUtf8Chunk(utf8, position, units.get(), chunkUnits);
    // The core builds, checks and frames each piece; only its carriers go out.
    const auto block = common::EncodeText(std::u16string_view(units.get(), count), random);
    if (!block) return StreamResult::SelfCheckFailed;
    if (!sink(std::string_view(*block).substr(head.size(), block->size() - head.size() - tail.size()))) {
      return StreamResult::WriteFailed;
    }
  }
  return sink(tail) ? StreamResult::Done : StreamResult::WriteFailed;
}

DecodeResult DecodeStreaming(std::string_view page, const ByteSink& sink) {
  const auto blocks = common::FindCarrierStrings(page);
  DecodeResult result{blocks.size(), true};
  constexpr std::size_t Piece = 64 * 1024;
  const auto out = std::make_unique_for_overwrite<char[]>(Piece + 4);
  std::size_t filled = 0;
  const auto flush = [&] {
    result.written = result.written && sink(std::string_view(out.get(), filled));
    filled = 0;
  };
  for (const std::string_view carriers : blocks) {
    for (std::size_t i = 0; i < carriers.size() && result.written; i += 2) {
      // Each code is the character with that code point: one or two bytes of UTF-8.
      const int code = common::DecodedCode(carriers, i);
      if (code < 0x80) {
        out[filled++] = static_cast<char>(code);
      } else {
        out[filled++] = static_cast<char>(0xC0 | (code >> 6));
        out[filled++] = static_cast<char>(0x80 | (code & 0x3F));
      }
      if (filled >= Piece) flush();
    }
    out[filled++] = '\n';
  }
  if (filled > 0) flush();
  return result;
}

}  // namespace cli

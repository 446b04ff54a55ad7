// Encoding and decoding as the output is made: the text goes through small
// buffers that are reused, and every piece is handed to the sink as soon as
// it is done, so memory does not grow with the text.
#pragma once

#include <cstddef>
#include <functional>
#include <string_view>

#include "encoder/random.h"

namespace cli {

// Takes the next piece of output; false when it could not be written.
using ByteSink = std::function<bool(std::string_view)>;

enum class StreamResult { Done, SelfCheckFailed, WriteFailed };

// UTF-16 units per piece: the text, its page codes and carriers stay in the cache.
inline constexpr std::size_t StreamChunkUnits = 16 * 1024;

// Writes the block for `utf8`, which FirstInvalidUtf8 must have found valid:
// the head, the carriers piece by piece, the tail. Each piece passes the
// self-check before it goes out; the first that fails stops the output.
StreamResult EncodeStreaming(std::string_view utf8, common::PseudoRandom& random, const ByteSink& sink,
                             std::size_t chunkUnits = StreamChunkUnits);

// Writes, for each block in the page, what its script writes into the page
// (in UTF-8) and a line break. Only the blocks are read, and they are ASCII,
// so the page around them may be in any 8-bit encoding. Writes nothing and
// returns 0 when the page holds no block.
struct DecodeResult {
  std::size_t blocks = 0;
  bool written = true;
};
DecodeResult DecodeStreaming(std::string_view page, const ByteSink& sink);

}  // namespace cli

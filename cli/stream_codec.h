// Encoding and decoding as the output is made: the text goes through small
// buffers that are reused, and every piece is handed to the sink as soon as
// it is done, so memory does not grow with the text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>
#include <variant>
#include <vector>

#include "core/random.h"

namespace cli {

// Takes the next piece of output; false when it could not be written.
using ByteSink = std::function<bool(std::string_view)>;

enum class StreamResult { Done, SelfCheckFailed, WriteFailed };

// Page codes per piece: the codes and their carriers stay in the cache.
inline constexpr std::size_t StreamChunkCodes = 64 * 1024;
// Bytes of UTF-8 per segment, the unit that two threads encode side by
// side: a text gets at least eight, each of 64 KB to 1 MB.
std::size_t SegmentBytesFor(std::size_t textBytes);

// A checked text cut into segments at character boundaries, with the number
// of page codes before each: where the generator stands at its start.
struct EncodingPlan {
  std::vector<std::string_view> segments;
  std::vector<std::uint64_t> codesBefore;
  std::uint64_t codes = 0;  // of the whole text
  // Pieces of a text get the page codes the whole text gets, unless the text
  // holds a script or style element: inside one the core writes characters
  // beyond Latin-1 as the language's escapes, which only the whole text
  // shows. False when the text may hold one ("<script" or "<style" in any case).
  bool piecesEncodeLikeTheWhole = true;
};

// Checks every byte of `utf8` (segments side by side), looks for scripts and
// styles, and plans the encoding; for invalid UTF-8 the offset of the first
// invalid sequence.
std::variant<EncodingPlan, std::size_t> PlanEncoding(std::string_view utf8, std::size_t segmentBytes);

// What goes before and after the carriers: by default the script block's
// head and tail.
struct BlockFrame {
  std::string_view before, after;
};

// Writes the block: the head, the carriers segment by segment in order, the
// tail. Segments are encoded on up to `threads` threads, each from the
// generator moved ahead to its start, so the block is the one that a single
// pass with `start` gives; within a piece, its two halves go side by side
// where the processor can. Each piece passes the self-check before it goes
// out; the first that fails stops the output.
StreamResult EncodeStreaming(const EncodingPlan& plan, const common::PseudoRandom& start, const ByteSink& sink,
                             std::size_t chunkCodes = StreamChunkCodes, unsigned threads = 2,
                             std::optional<BlockFrame> frame = std::nullopt);

// Writes, for each block in the page (both forms), what its script writes
// into the page (in UTF-8) and a line break. Only the blocks are read, and
// they are ASCII, so the page around them may be in any 8-bit encoding.
// Writes nothing when the page holds no block.
struct DecodeResult {
  std::size_t blocks = 0;
  bool written = true;
};
DecodeResult DecodeStreaming(std::string_view page, const ByteSink& sink);

}  // namespace cli

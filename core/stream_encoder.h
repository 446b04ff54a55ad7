// Long UTF-8 texts encoded as the output is made: the text goes through small
// buffers that are reused, and every piece is handed to the sink as soon as
// it is done, so memory does not grow with the text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <variant>
#include <vector>

#include "block_frame.h"
#include "byte_sink.h"
#include "random.h"

namespace common {

enum class StreamResult { Done, SelfCheckFailed, WriteFailed };

// Page codes per piece: the codes and their carriers stay in the cache.
inline constexpr std::size_t StreamChunkCodes = 64 * 1024;
// Bytes of UTF-8 per segment, the unit that threads encode side by side: a
// text gets at least eight, each of 64 KB to 1 MB.
std::size_t SegmentBytesFor(std::size_t textBytes);

// A checked text cut into segments at character boundaries, with the number
// of page codes before each: where the generator stands at its start.
struct EncodingPlan {
  std::string_view text;
  std::vector<std::string_view> segments;
  std::vector<std::uint64_t> codesBefore;
  std::uint64_t codes = 0;  // of the whole text
  // Pieces of a text get the page codes the whole text gets, unless the text
  // holds a script or style element: inside one, characters beyond Latin-1
  // go as the language's escapes, which only the whole text shows. False
  // when the text may hold one ("<script" or "<style" in any case).
  bool piecesEncodeLikeTheWhole = true;
};

// Checks every byte of `utf8` as read from a file (segments side by side),
// looks for scripts and styles, and plans the encoding in segments of
// `segmentBytes` (0: SegmentBytesFor); for invalid UTF-8 the offset of the
// first invalid sequence. A byte order mark, as some Windows editors write
// it, is no part of the text.
std::variant<EncodingPlan, std::size_t> PlanEncoding(std::string_view utf8, std::size_t segmentBytes = 0);

// Writes the block: the frame's start, the carriers segment by segment in
// order, the frame's end. Segments are encoded on up to `threads` threads (0:
// two, or one where the processor runs no more at once),
// each from the generator moved ahead to its start, so the block is the one
// that a single pass with `start` gives; within a piece, its parts go side
// by side where the processor can. Each piece passes the self-check before
// it goes out; the first that fails stops the output. A text with a script
// or style is encoded whole, as the tray program encodes it.
StreamResult EncodeStreaming(const EncodingPlan& plan, const PseudoRandom& start, const ByteSink& sink,
                             const BlockFrame& frame = BlockFrame::Script(), unsigned threads = 0,
                             std::size_t chunkCodes = StreamChunkCodes);

}  // namespace common

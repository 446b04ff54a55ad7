// The streaming encoder against the whole-text encoder: small segments and
// pieces on one to four threads give the same block from the same seed, the
// block decodes to the text's page codes, and invalid UTF-8 is refused at
// the offset of its first bad sequence. The first four bytes choose segment
// and piece size, threads, a failing write and the seed; the rest is the text.
#include <cstdint>
#include <string>
#include <variant>

#include "../tool_run.h"
#include "core/common.h"
#include "core/stream_encoder.h"
#include "core/utf8.h"
#include "reference.h"

namespace {

using reference::Check;

void CheckRefusal(std::string_view text, std::size_t segmentBytes, std::size_t firstInvalid) {
  const auto plan = common::PlanEncoding(text, segmentBytes);
  const auto* offset = std::get_if<std::size_t>(&plan);
  Check(offset && *offset == firstInvalid, "PlanEncoding: wrong offset of invalid UTF-8");
  const ToolRun run = Tool({}, std::string(text));
  Check(run.code == 1 && run.out.empty(), "invalid UTF-8 not refused");
  Check(run.err.find("Offset " + std::to_string(firstInvalid) + ")") != std::string::npos,
        "invalid UTF-8 refused with the wrong offset");
}

void CheckPlan(std::string_view text, const common::EncodingPlan& plan) {
  // A byte order mark is no text.
  std::size_t at = text.starts_with("\xEF\xBB\xBF") ? 3 : 0;
  std::uint64_t codes = 0;
  Check(plan.codesBefore.size() == plan.segments.size(), "a segment without its count");
  for (std::size_t i = 0; i < plan.segments.size(); ++i) {
    const std::string_view segment = plan.segments[i];
    Check(segment.data() == text.data() + at && !segment.empty(), "segments do not cover the text in order");
    Check(reference::WellFormedLength(text, at) > 0, "segment starts inside a character");
    Check(plan.codesBefore[i] == codes, "wrong count of page codes before a segment");
    codes += reference::PageCodes(reference::CodePoints(segment)).size();
    at += segment.size();
  }
  Check(at == text.size() && plan.codes == codes, "plan does not cover the text");
  Check(plan.piecesEncodeLikeTheWhole == !reference::ContainsScriptOrStyle(text),
        "script or style in the text not seen, or seen where there is none");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 4) return 0;
  const std::size_t segmentBytes = 1 + data[0] % 64;
  const std::size_t chunkCodes = (data[1] & 0x80) ? 4096 : 1 + (data[1] & 0x7F);
  const unsigned threads = 1 + data[2] % 4;
  const int failingWrite = data[2] >> 4;  // 0: every write succeeds
  const std::uint64_t seed = data[3] * 0x9E3779B97F4A7C15u;
  const std::string_view text(reinterpret_cast<const char*>(data + 4), size - 4);

  if (const auto bad = reference::FirstInvalid(text)) {
    CheckRefusal(text, segmentBytes, *bad);
    return 0;
  }
  const auto planned = common::PlanEncoding(text, segmentBytes);
  Check(std::holds_alternative<common::EncodingPlan>(planned), "valid UTF-8 refused");
  const common::EncodingPlan& plan = std::get<common::EncodingPlan>(planned);
  CheckPlan(text, plan);
  // A byte order mark is no text: the block is the rest's.
  const std::string_view body = text.substr(text.starts_with("\xEF\xBB\xBF") ? 3 : 0);
  if (body.empty()) return 0;

  common::PseudoRandom wholeRandom(seed);
  const std::optional<std::string> whole =
      common::EncodeText(std::get<std::u16string>(utf8::Decode(body)), wholeRandom);
  Check(whole.has_value(), "whole-text encoder: self-check failed");
  const ToolRun run = Tool({"--seed", std::to_string(seed)}, std::string(text));
  Check(run.code == 0 && run.out == *whole, "tool's block differs from the whole-text block");

  if (!plan.piecesEncodeLikeTheWhole) return 0;  // escapes in scripts and styles need the whole text
  const std::vector<char32_t> points = reference::CodePoints(body);
  Check(reference::DecodeCarriers(reference::CarriersOfScript(*whole)) == reference::PageCodes(points),
        "block does not decode to the text's page codes");
  Check(reference::AllCarriers(reference::CarriersOfScript(*whole)), "a carrier outside the carrier set");

  std::string streamed;
  int writes = 0;
  bool writtenAfterFailure = false;
  const common::ByteSink sink = [&](std::string_view piece) {
    ++writes;
    if (failingWrite != 0 && writes > failingWrite) writtenAfterFailure = true;
    if (writes == failingWrite) return false;
    streamed += piece;
    return true;
  };
  const common::StreamResult result = common::EncodeStreaming(plan, common::PseudoRandom(seed), sink,
                                                              common::BlockFrame::Script(), threads, chunkCodes);
  Check(!writtenAfterFailure, "written on after a write failed");
  if (failingWrite != 0 && writes >= failingWrite) {
    Check(result == common::StreamResult::WriteFailed, "a failed write not reported");
    Check(whole->starts_with(streamed), "streamed block differs before the failed write");
    return 0;
  }
  Check(result == common::StreamResult::Done, "streaming encoder did not finish");
  Check(streamed == *whole, "streamed block differs from the whole-text block");
  return 0;
}

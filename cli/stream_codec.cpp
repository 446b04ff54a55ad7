#include "stream_codec.h"

#include <algorithm>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "core/common.h"
#include "core/decoder.h"
#include "data_format.h"
#include "random_skip.h"
#include "utf8.h"

namespace cli {

namespace {

// Runs job(i) for i = 0 .. count-1 on up to `threads` threads, each taking
// every threads-th index in order.
template <class Job>
void SideBySide(std::size_t count, unsigned threads, const Job& job) {
  threads = static_cast<unsigned>(std::min<std::size_t>(std::max(threads, 1u), count));
  const auto worker = [&](unsigned first) {
    for (std::size_t i = first; i < count; i += threads) job(i);
  };
  std::vector<std::thread> helpers;
  for (unsigned t = 1; t < threads; ++t) helpers.emplace_back(worker, t);
  worker(0);
  for (std::thread& helper : helpers) helper.join();
}

// Hands the segments' carriers to the sink in segment order, whichever
// thread finishes first.
class InOrder {
 public:
  explicit InOrder(const ByteSink& sink) : sink_(sink) {}

  void Deliver(std::size_t index, std::string_view carriers, StreamResult made) {
    std::unique_lock lock(mutex_);
    turn_.wait(lock, [&] { return next_ == index; });
    if (result_ == StreamResult::Done) result_ = made;
    if (result_ == StreamResult::Done && !sink_(carriers)) result_ = StreamResult::WriteFailed;
    ++next_;
    turn_.notify_all();
  }
  bool Failed() {
    std::lock_guard lock(mutex_);
    return result_ != StreamResult::Done;
  }
  StreamResult Result() const { return result_; }

 private:
  const ByteSink& sink_;
  std::mutex mutex_;
  std::condition_variable turn_;
  std::size_t next_ = 0;
  StreamResult result_ = StreamResult::Done;
};

// The carriers of `count` page codes, as NibbleToChar gives them draw by
// draw. Whole rounds go through the vector path; with `part` set, a piece
// goes as `stretches` parts of up to that many codes side by side, each with
// the generator moved ahead past the ones before it.
void EncodePiece(const std::uint8_t* codes, std::size_t count, char* out, common::PseudoRandom& random, int stretches,
                 std::size_t part, const DrawSkipper& skipper) {
  std::size_t done = 0;
  const auto encodeOne = [&] {
    out[2 * done] = static_cast<char>(common::NibbleToChar(codes[done] >> 4, random));
    out[2 * done + 1] = static_cast<char>(common::NibbleToChar(codes[done] & 15, random));
    ++done;
  };
  while (done < count && !random.AtStepBoundary()) encodeOne();
  // A piece shorter than `stretches` parts (a segment's last) is shared out
  // in smaller parts, at the cost of a longer skip.
  const std::size_t each = std::min(part, (count - done) / (16 * stretches) * 16);
  if (stretches > 1 && each > 0) {
    common::PseudoRandom randoms[common::MostStretches] = {random, random, random, random};
    common::Stretch side[common::MostStretches];
    for (int k = 0; k < stretches; ++k) {
      if (k > 0) {
        randoms[k] = randoms[k - 1];
        skipper.Skip(randoms[k], 2 * each);
      }
      side[k] = {codes + done + k * each, out + 2 * (done + k * each), &randoms[k]};
    }
    common::EncodeCodeBlocksSideBySide(side, stretches, each);
    random = randoms[stretches - 1];
    done += stretches * each;
  }
  const std::size_t blocks = (count - done) / 16 * 16;
  common::EncodeCodeBlocks(codes + done, blocks, out + 2 * done, random);
  done += blocks;
  while (done < count) encodeOne();
}

}  // namespace

std::size_t SegmentBytesFor(std::size_t textBytes) {
  return std::clamp<std::size_t>(textBytes / 8, 64 * 1024, 1 << 20);
}

namespace {

// True when no "<script" or "<style" (in any case) starts in [begin, end)
// of `utf8`; the name may run on past `end`.
bool NoScriptOrStyleStartsIn(std::string_view utf8, std::size_t begin, std::size_t end) {
  const auto startsWith = [&](std::size_t at, std::string_view name) {
    if (utf8.size() - at < name.size()) return false;
    for (std::size_t k = 0; k < name.size(); ++k) {
      if ((utf8[at + k] | 0x20) != name[k]) return false;  // ASCII letters in either case
    }
    return true;
  };
  for (std::size_t at = utf8.find('<', begin); at < end; at = utf8.find('<', at + 1)) {
    if (startsWith(at + 1, "script") || startsWith(at + 1, "style")) return false;
  }
  return true;
}

}  // namespace

std::variant<EncodingPlan, std::size_t> PlanEncoding(std::string_view utf8, std::size_t segmentBytes) {
  EncodingPlan plan;
  for (std::size_t begin = 0; begin < utf8.size();) {
    std::size_t end = std::min(utf8.size(), begin + segmentBytes);
    // A segment starts at a character: UTF-8 finds its way back after continuation bytes.
    while (end < utf8.size() && (static_cast<unsigned char>(utf8[end]) & 0xC0) == 0x80) ++end;
    plan.segments.push_back(utf8.substr(begin, end - begin));
    begin = end;
  }
  std::vector<Utf8Check> checks(plan.segments.size());
  std::vector<char> plain(plan.segments.size());  // no script or style starts in the segment
  SideBySide(checks.size(), 2, [&](std::size_t i) {
    checks[i] = CheckUtf8(plan.segments[i]);
    const auto begin = static_cast<std::size_t>(plan.segments[i].data() - utf8.data());
    plain[i] = NoScriptOrStyleStartsIn(utf8, begin, begin + plan.segments[i].size());
  });
  plan.piecesEncodeLikeTheWhole = std::all_of(plain.begin(), plain.end(), [](char p) { return p != 0; });
  std::uint64_t codes = 0;
  for (std::size_t i = 0; i < checks.size(); ++i) {
    if (checks[i].firstInvalid)
      return static_cast<std::size_t>(plan.segments[i].data() - utf8.data()) + *checks[i].firstInvalid;
    plan.codesBefore.push_back(codes);
    codes += checks[i].pageCodes;
  }
  plan.codes = codes;
  return plan;
}

StreamResult EncodeStreaming(const EncodingPlan& plan, const common::PseudoRandom& start, const ByteSink& sink,
                             std::size_t chunkCodes, unsigned threads, std::optional<BlockFrame> frame) {
  const BlockFrame framing = frame.value_or(BlockFrame{common::BlockHead(), common::BlockTail()});
  if (!sink(framing.before)) return StreamResult::WriteFailed;
  const std::size_t count = plan.segments.size();
  // Codes per generator when a piece's parts go side by side.
  const int stretches = common::StretchesSideBySide();
  const std::size_t part = chunkCodes / (16 * stretches) * 16;
  // Two draws for each page code.
  const DrawSkipper skipper(std::max<std::uint64_t>(count > 1 ? 2 * plan.codesBefore.back() : 0, 2 * part));
  InOrder output(sink);
  SideBySide(count, threads, [&](std::size_t index) {
    const std::uint64_t codesAfter = index + 1 < count ? plan.codesBefore[index + 1] : plan.codes;
    const std::size_t carrierCount = static_cast<std::size_t>(2 * (codesAfter - plan.codesBefore[index]));
    thread_local std::string carriers;  // reused from segment to segment, never shrunk
    if (carriers.size() < carrierCount) carriers.resize(carrierCount);
    StreamResult made = StreamResult::Done;
    if (!output.Failed()) {
      common::PseudoRandom random = start;
      skipper.Skip(random, 2 * plan.codesBefore[index]);
      const std::string_view utf8 = plan.segments[index];
      const auto codes = std::make_unique_for_overwrite<std::uint8_t[]>(chunkCodes + PageCodesOverhang);
      char* out = carriers.data();
      for (std::size_t position = 0; position < utf8.size() && made == StreamResult::Done;) {
        const std::size_t n = PageCodesFromUtf8(utf8, position, codes.get(), chunkCodes);
        EncodePiece(codes.get(), n, out, random, stretches, part, skipper);
        // The self-check, while the piece is still in the cache.
        if (!common::CarriersCarry(out, codes.get(), n)) {
          made = StreamResult::SelfCheckFailed;
        }
        out += 2 * n;
      }
    }
    output.Deliver(index, std::string_view(carriers.data(), carrierCount), made);
  });
  if (output.Result() != StreamResult::Done) return output.Result();
  return sink(framing.after) ? StreamResult::Done : StreamResult::WriteFailed;
}

DecodeResult DecodeStreaming(std::string_view page, const ByteSink& sink) {
  const auto blocks = FindAllCarrierStrings(page);
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

#include "stream_encoder.h"

#include <algorithm>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "common.h"
#include "random_skip.h"
#include "utf8.h"
#include "utf8_page_codes.h"

namespace common {

namespace {

// Runs job(i) for i = 0 .. count-1 on up to `threads` threads, each taking
// every threads-th index in order.
template <class Job>
void OnThreads(std::size_t count, unsigned threads, const Job& job) {
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

std::variant<EncodingPlan, std::size_t> PlanEncoding(std::string_view file, std::size_t segmentBytes) {
  constexpr std::string_view ByteOrderMark = "\xEF\xBB\xBF";
  const std::size_t skipped = file.starts_with(ByteOrderMark) ? ByteOrderMark.size() : 0;
  const std::string_view utf8 = file.substr(skipped);
  if (segmentBytes == 0) segmentBytes = SegmentBytesFor(utf8.size());
  EncodingPlan plan;
  plan.text = utf8;
  for (std::size_t begin = 0; begin < utf8.size();) {
    std::size_t end = std::min(utf8.size(), begin + segmentBytes);
    // A segment starts at a character: UTF-8 finds its way back after continuation bytes.
    while (end < utf8.size() && utf8::IsContinuation(static_cast<unsigned char>(utf8[end]))) ++end;
    plan.segments.push_back(utf8.substr(begin, end - begin));
    begin = end;
  }
  std::vector<Utf8Check> checks(plan.segments.size());
  std::vector<char> plain(plan.segments.size());  // no script or style starts in the segment
  OnThreads(checks.size(), 2, [&](std::size_t i) {
    checks[i] = CheckUtf8(plan.segments[i]);
    const auto begin = static_cast<std::size_t>(plan.segments[i].data() - utf8.data());
    plain[i] = NoScriptOrStyleStartsIn(utf8, begin, begin + plan.segments[i].size());
  });
  plan.piecesEncodeLikeTheWhole = std::all_of(plain.begin(), plain.end(), [](char p) { return p != 0; });
  std::uint64_t codes = 0;
  for (std::size_t i = 0; i < checks.size(); ++i) {
    if (checks[i].firstInvalid)
      return static_cast<std::size_t>(plan.segments[i].data() - file.data()) + *checks[i].firstInvalid;
    plan.codesBefore.push_back(codes);
    codes += checks[i].pageCodes;
  }
  plan.codes = codes;
  return plan;
}

namespace {

// Scripts and styles in the text: their escapes need the whole text at once.
StreamResult EncodeWhole(std::string_view utf8, PseudoRandom random, const ByteSink& sink, const BlockFrame& frame) {
  const auto block = EncodeText(std::get<std::u16string>(utf8::Decode(utf8)), random, frame);
  if (!block) return StreamResult::SelfCheckFailed;
  return sink(*block) ? StreamResult::Done : StreamResult::WriteFailed;
}

}  // namespace

StreamResult EncodeStreaming(const EncodingPlan& plan, const PseudoRandom& start, const ByteSink& sink,
                             const BlockFrame& frame, unsigned threads, std::size_t chunkCodes) {
  if (!plan.piecesEncodeLikeTheWhole) return EncodeWhole(plan.text, start, sink, frame);
  if (threads == 0) threads = std::min(2u, std::max(1u, std::thread::hardware_concurrency()));
  if (!sink(frame.Before())) return StreamResult::WriteFailed;
  const std::size_t count = plan.segments.size();
  // Codes per generator when a piece's parts go side by side.
  const int stretches = StretchesSideBySide();
  const std::size_t part = chunkCodes / (16 * stretches) * 16;
  // Two draws for each page code.
  const DrawSkipper skipper(std::max<std::uint64_t>(count > 1 ? 2 * plan.codesBefore.back() : 0, 2 * part));
  const SideBySide sideBySide{&skipper, stretches, part};
  InOrder output(sink);
  OnThreads(count, threads, [&](std::size_t index) {
    const std::uint64_t codesAfter = index + 1 < count ? plan.codesBefore[index + 1] : plan.codes;
    const std::size_t carrierCount = static_cast<std::size_t>(2 * (codesAfter - plan.codesBefore[index]));
    thread_local std::string carriers;  // reused from segment to segment, never shrunk
    if (carriers.size() < carrierCount) carriers.resize(carrierCount);
    StreamResult made = StreamResult::Done;
    if (!output.Failed()) {
      PseudoRandom random = start;
      skipper.Skip(random, 2 * plan.codesBefore[index]);
      const std::string_view utf8 = plan.segments[index];
      const auto codes = std::make_unique_for_overwrite<std::uint8_t[]>(chunkCodes + PageCodesOverhang);
      char* out = carriers.data();
      for (std::size_t position = 0; position < utf8.size() && made == StreamResult::Done;) {
        const std::size_t n = PageCodesFromUtf8(utf8, position, codes.get(), chunkCodes);
        EncodeCarriers(codes.get(), n, out, random, &sideBySide);
        // The self-check, while the piece is still in the cache.
        if (!CarriersCarry(out, codes.get(), n)) made = StreamResult::SelfCheckFailed;
        out += 2 * n;
      }
    }
    output.Deliver(index, std::string_view(carriers.data(), carrierCount), made);
  });
  if (output.Result() != StreamResult::Done) return output.Result();
  return sink(frame.After()) ? StreamResult::Done : StreamResult::WriteFailed;
}

}  // namespace common

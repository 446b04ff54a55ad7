// Encoding throughput beside a plain copy of the same output size.
#include <benchmark/benchmark.h>

#include <cstring>
#include <string>

#include "encoder/common.h"
#include "encoder/random.h"

namespace {

// Mixed German text: mostly ASCII, some umlauts, an occasional euro sign.
std::u16string SampleText(std::size_t length) {
  const std::u16string piece = u"Schöne Grüße an info@example.com – Preis 5 € inkl. MwSt.\r\n";
  std::u16string text;
  text.reserve(length);
  while (text.size() < length) text.append(piece, 0, std::min(piece.size(), length - text.size()));
  return text;
}

void BM_Encode(benchmark::State& state) {
  const std::u16string text = SampleText(static_cast<std::size_t>(state.range(0)) / 2);
  common::PseudoRandom random(1);
  for (auto _ : state) {
    auto block = common::EncodeText(text, random);
    benchmark::DoNotOptimize(block);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * text.size() * 2);
  state.counters["chars/s"] =
      benchmark::Counter(static_cast<double>(text.size()), benchmark::Counter::kIsIterationInvariantRate);
}

// The floor: writing an output of the block's size.
void BM_CopySameOutputSize(benchmark::State& state) {
  const std::u16string text = SampleText(static_cast<std::size_t>(state.range(0)) / 2);
  common::PseudoRandom random(1);
  const std::string block = common::EncodeText(text, random).value();
  for (auto _ : state) {
    std::string copy(block.size(), '\0');
    std::memcpy(copy.data(), block.data(), block.size());
    benchmark::DoNotOptimize(copy);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * text.size() * 2);
}

}  // namespace

// Sizes are of the input text in UTF-16 bytes: 1 kB, 1 MB, 64 MB.
BENCHMARK(BM_Encode)->Arg(1 << 10)->Arg(1 << 20)->Arg(64 << 20)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CopySameOutputSize)->Arg(1 << 10)->Arg(1 << 20)->Arg(64 << 20)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();

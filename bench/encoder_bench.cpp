// Encoding throughput beside a plain copy of the same output size.
//
// Sizes are of the input text in UTF-16 bytes: 1 kB, 1 MB and 64 MB; MB/s
// below is input per second. Large blocks are kept by the allocator between
// iterations, as it keeps small ones anyway, so every size is measured with
// warm memory; set VELUMOR_BENCH_FRESH_MEMORY=1 to see the first-touch cost
// of fresh pages instead (the copy rows show that cost too).
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>
#include <string>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

#include "core/common.h"
#include "core/random.h"

namespace {

// Plain German text: ASCII and umlauts, all carried directly.
const std::u16string PlainPiece = u"Schöne Grüße an info@example.com - Preis 5 EUR inkl. MwSt.\r\n";
// The same with a dash and a euro sign, which go as character references.
const std::u16string TypographicPiece = u"Schöne Grüße an info@example.com – Preis 5 € inkl. MwSt.\r\n";

std::u16string SampleText(const std::u16string& piece, std::size_t length) {
  std::u16string text;
  text.reserve(length);
  while (text.size() < length) text.append(piece, 0, std::min(piece.size(), length - text.size()));
  return text;
}

void Encode(benchmark::State& state, const std::u16string& piece) {
  const std::u16string text = SampleText(piece, static_cast<std::size_t>(state.range(0)) / 2);
  common::PseudoRandom random(1);
  for (auto _ : state) {
    auto block = common::EncodeText(text, random);
    benchmark::DoNotOptimize(block);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size() * 2));
}

void BM_EncodePlain(benchmark::State& state) { Encode(state, PlainPiece); }
void BM_EncodeTypographic(benchmark::State& state) { Encode(state, TypographicPiece); }

// The floor: writing an output of the plain block's size.
void BM_CopySameOutputSize(benchmark::State& state) {
  const std::u16string text = SampleText(PlainPiece, static_cast<std::size_t>(state.range(0)) / 2);
  common::PseudoRandom random(1);
  const std::string block = common::EncodeText(text, random).value();
  for (auto _ : state) {
    std::string copy(block.size(), '\0');
    std::memcpy(copy.data(), block.data(), block.size());
    benchmark::DoNotOptimize(copy);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size() * 2));
}

}  // namespace

BENCHMARK(BM_EncodePlain)->Arg(1 << 10)->Arg(1 << 20)->Arg(64 << 20)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_EncodeTypographic)->Arg(1 << 10)->Arg(1 << 20)->Arg(64 << 20)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CopySameOutputSize)->Arg(1 << 10)->Arg(1 << 20)->Arg(64 << 20)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv) {
#if defined(__GLIBC__)
  if (std::getenv("VELUMOR_BENCH_FRESH_MEMORY") == nullptr) {
    mallopt(M_MMAP_THRESHOLD, 1 << 30);
    mallopt(M_TRIM_THRESHOLD, 1 << 30);
  }
#endif
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}

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
#include <vector>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

#include "core/common.h"
#include "core/random.h"
#include "core/simd_kernels.h"
#include "core/utf16.h"

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

// Each kernel set this processor runs, on its own: carriers for 1 MB of page
// codes (in as many stretches as it encodes side by side), and the UTF-8
// check and page codes of 1 MB of German text. MB/s are of codes or bytes.
void RegisterKernelBenchmarks() {
  constexpr std::size_t Codes = 1 << 20;
  const std::string german = utf16::EncodeUtf8(SampleText(PlainPiece, Codes / 2));
  for (const common::SimdKernels* kernels : common::CompiledKernels()) {
    if (!common::ProcessorOffers(kernels->path)) continue;
    const std::string name(kernels->name);
    benchmark::RegisterBenchmark(("BM_Carriers/" + name).c_str(), [kernels](benchmark::State& state) {
      const int n = kernels->sideBySide;
      const std::size_t each = Codes / n / 16 * 16;
      std::vector<std::uint8_t> codes(Codes, 'a');
      std::string out(2 * Codes, '\0');
      std::vector<common::PseudoRandom> randoms(n, common::PseudoRandom(1));
      std::vector<common::Stretch> stretches;
      for (int k = 0; k < n; ++k)
        stretches.push_back({codes.data() + k * each, out.data() + 2 * k * each, &randoms[k]});
      for (auto _ : state) {
        kernels->encodeSideBySide(stretches.data(), each);
        benchmark::DoNotOptimize(out.data());
      }
      state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * each * n));
    })->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark(("BM_Utf8Check/" + name).c_str(), [kernels, german](benchmark::State& state) {
      for (auto _ : state) {
        std::uint64_t pageCodes = 0;
        benchmark::DoNotOptimize(
            kernels->latin1Check(reinterpret_cast<const unsigned char*>(german.data()), german.size(), pageCodes));
        benchmark::DoNotOptimize(pageCodes);
      }
      state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * german.size()));
    })->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark(("BM_PageCodes/" + name).c_str(), [kernels, german](benchmark::State& state) {
      std::vector<std::uint8_t> codes(german.size() + common::Latin1CodesOverhang);
      for (auto _ : state) {
        std::size_t made = 0;
        benchmark::DoNotOptimize(kernels->latin1Codes(reinterpret_cast<const unsigned char*>(german.data()),
                                                      german.size(), codes.data(), german.size(), made));
        benchmark::DoNotOptimize(codes.data());
      }
      state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * german.size()));
    })->Unit(benchmark::kMicrosecond);
  }
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
  RegisterKernelBenchmarks();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}

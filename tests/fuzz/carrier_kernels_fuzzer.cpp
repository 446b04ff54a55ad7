// Every kernel set this processor runs, against NibbleToChar draw by draw:
// the carriers from a generator, alone and side by side, the carriers from
// given draws (so the fuzzer can put a draw on a column's edge), and the
// self-check, which must take the right carriers and refuse one changed.
// Byte 0 is the seed, bytes 1 and 2 the change; the rest gives the codes
// and, read four bytes at a time, the draws.
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "core/common.h"
#include "core/simd_kernels.h"
#include "reference.h"

namespace {

using reference::Check;

struct GivenDraws {
  const std::uint32_t* next;
  double Next() { return static_cast<double>(*next++) * 0x1.0p-32; }
};

template <class Random>
std::string NibbleCarriers(const std::uint8_t* codes, std::size_t count, Random& random) {
  std::string carriers;
  for (std::size_t i = 0; i < count; ++i) {
    carriers.push_back(static_cast<char>(common::NibbleToChar(codes[i] >> 4, random)));
    carriers.push_back(static_cast<char>(common::NibbleToChar(codes[i] & 15, random)));
  }
  return carriers;
}

// The carriers go into a buffer of exactly their size, so a kernel writing past it is seen.
std::unique_ptr<char[]> Room(std::size_t count) { return std::make_unique<char[]>(2 * count); }

void CheckFromGenerators(const common::SimdKernels& kernels, const std::uint8_t* codes, std::size_t count,
                         std::uint64_t seed) {
  std::vector<common::PseudoRandom> randoms, expectedRandoms;
  std::vector<std::unique_ptr<char[]>> outs;
  std::vector<common::Stretch> stretches;
  for (int k = 0; k < kernels.sideBySide; ++k) {
    randoms.emplace_back(seed + static_cast<std::uint64_t>(k));
    expectedRandoms.emplace_back(seed + static_cast<std::uint64_t>(k));
    outs.push_back(Room(count));
  }
  for (int k = 0; k < kernels.sideBySide; ++k) stretches.push_back({codes, outs[k].get(), &randoms[k]});

  common::PseudoRandom alone(seed), expectedAlone(seed);
  const auto aloneOut = Room(count);
  kernels.encodeOne({codes, aloneOut.get(), &alone}, count);
  Check(std::string(aloneOut.get(), 2 * count) == NibbleCarriers(codes, count, expectedAlone),
        "a kernel's carriers differ from NibbleToChar's");
  Check(alone.Next() == expectedAlone.Next(), "a kernel leaves its generator elsewhere");

  kernels.encodeSideBySide(stretches.data(), count);
  for (int k = 0; k < kernels.sideBySide; ++k) {
    Check(std::string(outs[k].get(), 2 * count) == NibbleCarriers(codes, count, expectedRandoms[k]),
          "a kernel's carriers side by side differ from NibbleToChar's");
    Check(randoms[k].Next() == expectedRandoms[k].Next(), "a kernel leaves a generator side by side elsewhere");
  }
}

void CheckFromDraws(const common::SimdKernels& kernels, const std::uint8_t* codes, std::size_t count,
                    const std::vector<std::uint32_t>& draws) {
  std::vector<std::unique_ptr<char[]>> outs;
  std::vector<common::DrawnStretch> stretches;
  for (int k = 0; k < kernels.sideBySide; ++k) {
    outs.push_back(Room(count));
    // Each stretch its own draws: the next 2 * count, wrapping around.
    stretches.push_back({draws.data() + k * 2 * count, codes, outs[k].get()});
  }
  kernels.encodeDrawn(stretches.data(), count);
  for (int k = 0; k < kernels.sideBySide; ++k) {
    GivenDraws given{stretches[k].draws};
    Check(std::string(outs[k].get(), 2 * count) == NibbleCarriers(codes, count, given),
          "a kernel's carriers from given draws differ from NibbleToChar's");
  }
}

void CheckSelfCheck(const common::SimdKernels& kernels, const std::uint8_t* codes, std::size_t count,
                    std::uint64_t seed, std::size_t changedAt, char changedTo) {
  common::PseudoRandom random(seed);
  std::string carriers = NibbleCarriers(codes, count, random);
  const auto exact = Room(count);
  std::memcpy(exact.get(), carriers.data(), carriers.size());
  Check(kernels.carriersCarry(exact.get(), codes, count), "a kernel's self-check refuses right carriers");
  exact[changedAt % (2 * count)] = changedTo;
  const std::string_view changed(exact.get(), 2 * count);
  const bool carry = reference::AllCarriers(changed) &&
                     reference::DecodeCarriers(changed) == std::string(reinterpret_cast<const char*>(codes), count);
  Check(kernels.carriersCarry(exact.get(), codes, count) == carry, "a kernel's self-check decides otherwise");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 4) return 0;
  const std::uint64_t seed = data[0] * 0x9E3779B97F4A7C15u;
  const std::size_t changedAt = data[1];
  const char changedTo = static_cast<char>(data[2]);
  const std::uint8_t* bytes = data + 3;
  const std::size_t available = size - 3;
  // The kernels take whole rounds of sixteen codes.
  const std::size_t count = available / 16 * 16;
  if (count == 0) return 0;
  const auto codes = std::make_unique<std::uint8_t[]>(count);
  std::memcpy(codes.get(), bytes, count);
  std::vector<std::uint32_t> draws(2 * count * common::MostStretches);
  for (std::size_t k = 0; k < draws.size(); ++k) {
    std::uint32_t draw = 0;
    for (std::size_t b = 0; b < 4; ++b) draw |= std::uint32_t{bytes[(4 * k + b) % available]} << (8 * b);
    draws[k] = draw;
  }
  for (const common::SimdKernels* kernels : common::CompiledKernels()) {
    if (!common::ProcessorOffers(kernels->path)) continue;
    CheckFromGenerators(*kernels, codes.get(), count, seed);
    CheckFromDraws(*kernels, codes.get(), count, draws);
    CheckSelfCheck(*kernels, codes.get(), count, seed, changedAt, changedTo);
  }
  return 0;
}

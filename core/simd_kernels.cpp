#include "simd_kernels.h"

#include <array>
#include <cstdlib>

#include "kernel_sets.h"

namespace common {

namespace {

constexpr std::array Compiled {
  &ScalarKernels,
#if defined(VELUMOR_KERNELS_SSE2)
      &Sse2Kernels,
#endif
#if defined(VELUMOR_KERNELS_AVX2)
      &Avx2Kernels,
#endif
#if defined(VELUMOR_KERNELS_AVX512)
      &Avx512Kernels,
#endif
};

constexpr std::array<std::string_view, 4> PathNames{"scalar", "sse2", "avx2", "avx512"};
constexpr std::array<std::string_view, 4> InstructionSets{"", "SSE2", "AVX2", "AVX-512 (F, BW, DQ)"};

const SimdKernels* Find(std::string_view name) {
  for (const SimdKernels* kernels : Compiled) {
    if (kernels->name == name) return kernels;
  }
  return nullptr;
}

std::u16string Widen(std::string_view ascii) { return std::u16string(ascii.begin(), ascii.end()); }

std::u16string OfferedList() {
  std::u16string list;
  for (const SimdKernels* kernels : Compiled) {
    if (!ProcessorOffers(kernels->path)) continue;
    if (!list.empty()) list += u", ";
    list += Widen(kernels->name);
  }
  return list;
}

std::string_view Requested() {
  const char* value = std::getenv("VELUMOR_SIMD");
  return value == nullptr ? std::string_view() : std::string_view(value);
}

}  // namespace

std::span<const SimdKernels* const> CompiledKernels() { return Compiled; }

bool ProcessorOffers(SimdPath path) {
#if defined(__i386__) || defined(__x86_64__)
  __builtin_cpu_init();  // may run before the library's own constructors
  switch (path) {
    case SimdPath::Scalar:
      return true;
    case SimdPath::Sse2:
      return __builtin_cpu_supports("sse2");
    case SimdPath::Avx2:
      // The library's answer already includes the operating system's saving
      // of the wide registers.
      return __builtin_cpu_supports("avx2") && __builtin_cpu_supports("popcnt");
    case SimdPath::Avx512:
      return __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
             __builtin_cpu_supports("avx512dq");
  }
  return false;
#else
  return path == SimdPath::Scalar;
#endif
}

std::optional<std::u16string> SimdChoiceError() {
  const std::string_view requested = Requested();
  if (requested.empty()) return std::nullopt;
  const std::u16string prefix = u"VELUMOR_SIMD=" + Widen(requested) + u": ";
  std::size_t index = 0;
  while (index < PathNames.size() && PathNames[index] != requested) ++index;
  if (index == PathNames.size()) {
    return prefix + u"unbekannter Rechenweg; möglich sind scalar, sse2, avx2 und avx512.";
  }
  if (Find(requested) == nullptr) {
    return prefix + u"dieser Rechenweg ist in dieses Programm nicht eingebaut (eingebaut: " + OfferedList() + u").";
  }
  if (!ProcessorOffers(static_cast<SimdPath>(index))) {
    return prefix + u"dieser Prozessor bietet " + Widen(InstructionSets[index]) + u" nicht (möglich hier: " +
           OfferedList() + u").";
  }
  return std::nullopt;
}

const SimdKernels& ActiveKernels() {
  static const SimdKernels& active = [&]() -> const SimdKernels& {
    if (!SimdChoiceError()) {
      if (const SimdKernels* chosen = Find(Requested())) return *chosen;
    }
    const SimdKernels* best = Compiled.front();
    for (const SimdKernels* kernels : Compiled) {
      if (ProcessorOffers(kernels->path)) best = kernels;
    }
    return *best;
  }();
  return active;
}

static_assert(PathNames.size() == InstructionSets.size());

}  // namespace common

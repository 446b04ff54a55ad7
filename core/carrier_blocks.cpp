#include "carrier_blocks.h"

#include "simd_kernels.h"

#if defined(__SSE2__)
#include <immintrin.h>
#endif

namespace common {

void EncodeCodeBlocks(const std::uint8_t* codes, std::size_t count, char* out, PseudoRandom& random) {
  ActiveKernels().encodeOne(Stretch{codes, out, &random}, count);
}

int StretchesSideBySide() { return ActiveKernels().sideBySide; }

void EncodeCodeBlocksSideBySide(const Stretch* stretches, int stretchCount, std::size_t count) {
  const SimdKernels& kernels = ActiveKernels();
  if (stretchCount == kernels.sideBySide) return kernels.encodeSideBySide(stretches, count);
  for (int k = 0; k < stretchCount; ++k) kernels.encodeOne(stretches[k], count);
}

bool CarriersCarry(const char* carriers, const std::uint8_t* codes, std::size_t count) {
  return ActiveKernels().carriersCarry(carriers, codes, count);
}

std::size_t CopyLatin1Run(const char16_t* text, std::size_t count, std::uint8_t* codes) {
  std::size_t i = 0;
#if defined(__SSE2__)
  const __m128i high = _mm_set1_epi16(static_cast<short>(0xFF00));
  for (; i + 8 <= count; i += 8) {
    const __m128i chars = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + i));
    if (_mm_movemask_epi8(_mm_cmpeq_epi16(_mm_and_si128(chars, high), _mm_setzero_si128())) != 0xFFFF) break;
    _mm_storel_epi64(reinterpret_cast<__m128i*>(codes + i), _mm_packus_epi16(chars, chars));
  }
#endif
  for (; i < count && text[i] <= 0xFF; ++i) codes[i] = static_cast<std::uint8_t>(text[i]);
  return i;
}

}  // namespace common

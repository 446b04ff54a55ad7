// The kernel sets, each defined in the source compiled for its instruction
// set. Only the table in simd_kernels.cpp and the sets themselves use this.
#pragma once

#include "simd_kernels.h"

namespace common {

extern const SimdKernels ScalarKernels;
extern const SimdKernels Sse2Kernels;
extern const SimdKernels Avx2Kernels;
extern const SimdKernels Avx512Kernels;

// The AVX2 kernels that the AVX-512 set shares: every processor with
// AVX-512 has AVX2.
namespace avx2 {
bool CarriersCarry(const char* carriers, const std::uint8_t* codes, std::size_t count);
std::size_t Latin1Check(const unsigned char* at, std::size_t available, std::uint64_t& pageCodes);
std::size_t Latin1Codes(const unsigned char* at, std::size_t available, std::uint8_t* codes, std::size_t wanted,
                        std::size_t& made);
}  // namespace avx2

}  // namespace common

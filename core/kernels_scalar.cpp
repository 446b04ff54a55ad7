// The reference kernels: one code, one draw, one byte at a time. Every
// vector kernel must give exactly what these give.
#include "common.h"
#include "kernel_sets.h"

namespace common {
namespace {

// Hands out given draws as NibbleToChar takes them.
class GivenDraws {
 public:
  explicit GivenDraws(const std::uint32_t* draws) : next_(draws) {}
  double Next() { return static_cast<double>(*next_++) * 0x1.0p-32; }

 private:
  const std::uint32_t* next_;
};

template <class Random>
void EncodeCodes(const std::uint8_t* codes, std::size_t count, char* out, Random& random) {
  for (std::size_t i = 0; i < count; ++i) {
    out[2 * i] = static_cast<char>(NibbleToChar(codes[i] >> 4, random));
    out[2 * i + 1] = static_cast<char>(NibbleToChar(codes[i] & 15, random));
  }
}

void EncodeOne(const Stretch& stretch, std::size_t count) {
  EncodeCodes(stretch.codes, count, stretch.out, *stretch.random);
}

void EncodeSideBySide(const Stretch* stretches, std::size_t count) { EncodeOne(stretches[0], count); }

void EncodeDrawn(const DrawnStretch* stretches, std::size_t count) {
  GivenDraws draws(stretches[0].draws);
  EncodeCodes(stretches[0].codes, count, stretches[0].out, draws);
}

bool Carry(const char* carriers, const std::uint8_t* codes, std::size_t count) {
  for (std::size_t i = 0; i < 2 * count; ++i) {
    const auto c = static_cast<unsigned char>(carriers[i]);
    if (c < 60 || c > 126 || c == 92) return false;
  }
  for (std::size_t i = 0; i < count; ++i) {
    if ((((carriers[2 * i] & 15) << 4) | (carriers[2 * i + 1] & 15)) != codes[i]) return false;
  }
  return true;
}

bool IsLatin1Pair(const unsigned char* at, std::size_t available) {
  return available >= 2 && (at[0] == 0xC2 || at[0] == 0xC3) && (at[1] & 0xC0) == 0x80;
}

std::size_t Latin1Check(const unsigned char* at, std::size_t available, std::uint64_t& pageCodes) {
  std::size_t taken = 0;
  while (taken < available) {
    const std::size_t length = at[taken] < 0x80 ? 1 : IsLatin1Pair(at + taken, available - taken) ? 2 : 0;
    if (length == 0) break;
    taken += length;
    ++pageCodes;
  }
  return taken;
}

std::size_t Latin1Codes(const unsigned char* at, std::size_t available, std::uint8_t* codes, std::size_t wanted,
                        std::size_t& made) {
  std::size_t taken = 0;
  while (taken < available && made < wanted) {
    if (at[taken] < 0x80) {
      codes[made++] = at[taken++];
    } else if (IsLatin1Pair(at + taken, available - taken)) {
      codes[made++] = static_cast<std::uint8_t>(((at[taken] & 3) << 6) | (at[taken + 1] & 0x3F));
      taken += 2;
    } else {
      break;
    }
  }
  return taken;
}

}  // namespace

const SimdKernels ScalarKernels{SimdPath::Scalar, "scalar", 1,           EncodeOne,  EncodeSideBySide,
                                EncodeDrawn,      Carry,    Latin1Check, Latin1Codes};

}  // namespace common

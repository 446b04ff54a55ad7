#include "utf8_page_codes.h"

#include "page_codes.h"
#include "utf8.h"

namespace common {

Utf8Check CheckUtf8(std::string_view bytes, const SimdKernels& kernels) {
  const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
  const std::size_t size = bytes.size();
  const auto latin1Check = kernels.latin1Check;
  Utf8Check check;
  std::size_t i = 0;
  while (i < size) {
    i += latin1Check(data + i, size - i, check.pageCodes);
    if (i == size) break;
    // A character the run left: any other, or one in a tail shorter than its vectors.
    const int length = utf8::ValidSequenceLength(bytes, i);
    if (length == 0) {
      check.firstInvalid = i;
      return check;
    }
    check.pageCodes += PageCodeCount(utf8::CodePointOf(data + i, length));
    i += length;
  }
  return check;
}

std::size_t PageCodesFromUtf8(std::string_view bytes, std::size_t& position, std::uint8_t* codes, std::size_t wanted,
                              const SimdKernels& kernels) {
  const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
  const std::size_t size = bytes.size();
  const auto latin1Codes = kernels.latin1Codes;
  std::size_t i = position, written = 0;
  while (i < size && written < wanted) {
    i += latin1Codes(data + i, size - i, codes, wanted, written);
    if (i == size || written >= wanted) break;
    const int length = utf8::SequenceLength(data[i]);
    ForEachPageCodeOf(utf8::CodePointOf(data + i, length),
                      [&](int code) { codes[written++] = static_cast<std::uint8_t>(code); });
    i += length;
  }
  position = i;
  return written;
}

}  // namespace common

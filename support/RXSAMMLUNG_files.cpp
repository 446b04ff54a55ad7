// The file-existence test: a directory search that counts ordinary files only.
#include <algorithm>
#include <cstdint>

#include "support/RXSAMMLUNG.h"

namespace RXSAMMLUNG {

bool FileExists(platform::Platform& os, std::u16string_view path) {
  if (path.empty()) return false;
  constexpr std::uint32_t notOrdinary =
      platform::AttributeDirectory | platform::AttributeHidden | platform::AttributeSystem;
  const auto found = os.MatchingAttributes(path);
  return std::any_of(found.begin(), found.end(),
                     [](std::uint32_t attributes) { return (attributes & notOrdinary) == 0; });
}

}  // namespace RXSAMMLUNG

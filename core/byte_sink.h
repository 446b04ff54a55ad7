// Where output goes piece by piece.
#pragma once

#include <functional>
#include <string_view>

namespace common {

// Takes the next piece of output; false when it could not be written.
using ByteSink = std::function<bool(std::string_view)>;

}  // namespace common

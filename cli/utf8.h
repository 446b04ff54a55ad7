// UTF-8 at the command line's edges; the program's texts are UTF-16.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <variant>

namespace cli {

struct Utf8Error {
  std::size_t byteOffset;  // where the first invalid sequence starts
};

// Strict decoding: overlong forms, encoded surrogates, code points above
// U+10FFFF and truncated sequences are errors.
std::variant<std::u16string, Utf8Error> DecodeUtf8(std::string_view bytes);

// A lone surrogate becomes U+FFFD.
std::string EncodeUtf8(std::u16string_view text);

}  // namespace cli

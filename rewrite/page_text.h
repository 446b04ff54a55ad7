// A piece of a page's bytes read as characters in place: each is decoded
// where it is looked at, so no decoded copy of the page is ever made.
#pragma once

#include <cstddef>
#include <string_view>

#include "core/utf8.h"
#include "core/windows1252.h"
#include "page_encoding.h"

namespace rewrite {

// Positions are byte offsets into the piece, always at a character's start.
// In UTF-8 a byte that starts no valid sequence is a character of its own,
// U+FFFD, as the browser reads it.
class PageText {
 public:
  PageText(std::string_view bytes, PageEncoding encoding) : bytes_(bytes), utf8_(encoding == PageEncoding::Utf8) {}

  std::size_t size() const { return bytes_.size(); }
  std::string_view bytes() const { return bytes_; }

  // The character at `i`.
  char32_t At(std::size_t i) const {
    const auto byte = static_cast<unsigned char>(bytes_[i]);
    if (!utf8_) return windows1252::Character(byte);
    if (byte < 0x80) return byte;
    const int length = utf8::ValidSequenceLength(bytes_, i);
    return length == 0 ? 0xFFFD : utf8::CodePointOf(reinterpret_cast<const unsigned char*>(bytes_.data()) + i, length);
  }

  // Where the character after the one at `i` starts.
  std::size_t Next(std::size_t i) const {
    if (!utf8_ || static_cast<unsigned char>(bytes_[i]) < 0x80) return i + 1;
    const int length = utf8::ValidSequenceLength(bytes_, i);
    return i + (length == 0 ? 1 : length);
  }

  // Where the character before `i` (> 0) starts: the valid sequence that ends
  // at `i`, else the byte before it alone. A valid sequence starts with a lead
  // byte, never inside another one, so this is where reading forward from the
  // piece's start puts it as well.
  std::size_t Previous(std::size_t i) const {
    if (utf8_ && static_cast<unsigned char>(bytes_[i - 1]) >= 0x80) {
      for (std::size_t back = 2; back <= 4 && back <= i; ++back) {
        if (utf8::ValidSequenceLength(bytes_, i - back) == static_cast<int>(back)) return i - back;
      }
    }
    return i - 1;
  }

 private:
  std::string_view bytes_;
  bool utf8_;
};

}  // namespace rewrite

// Reading blocks back: what a block's script hands to document.write.
#pragma once

#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "block_frame.h"
#include "byte_sink.h"

namespace common {

// The decoding loop of the block's script, as it stands after the carriers.
inline constexpr std::string_view DecoderScript =
    "\";var s=\"\";for(var i=0;i<c.length;)s+=String.fromCharCode(((c.charCodeAt(i++)&15)<<4)|"
    "(c.charCodeAt(i++)&15));document.write(s);";
inline constexpr std::string_view CarrierOpening = "var c=\"";

// The carrier strings of all blocks in a page, both forms, in page order. A
// script block is recognised by its carrier variable followed by the decoding
// loop, so line breaks around it may have been changed by an editor; a data
// element by its attribute, which holds no quotation mark but the last.
// Blocks are ASCII, so a page in bytes may be in any 8-bit encoding.
template <class CharT>
std::vector<std::basic_string_view<CharT>> FindCarrierStrings(std::basic_string_view<CharT> page) {
  const auto widened = [](std::string_view ascii) { return std::basic_string<CharT>(ascii.begin(), ascii.end()); };
  const std::basic_string<CharT> opening = widened(CarrierOpening), script = widened(DecoderScript);
  std::vector<std::basic_string_view<CharT>> found;
  for (std::size_t at = page.find(opening); at != page.npos; at = page.find(opening, at)) {
    const std::size_t begin = at + opening.size();
    const std::size_t end = page.find(CharT('"'), begin);
    if (end == page.npos) break;
    if (page.substr(end, script.size()) == script) {
      found.push_back(page.substr(begin, end - begin));
      at = end + script.size();
    } else {
      at = begin;
    }
  }
  const std::basic_string<CharT> attribute = widened(DataAttribute) + widened("=\"");
  for (std::size_t at = page.find(attribute); at != page.npos; at = page.find(attribute, at)) {
    const std::size_t begin = at + attribute.size(), end = page.find(CharT('"'), begin);
    if (end == page.npos) break;
    found.push_back(page.substr(begin, end - begin));
    at = end;
  }
  std::sort(found.begin(), found.end(), [](auto a, auto b) { return a.data() < b.data(); });
  return found;
}

inline std::vector<std::string_view> FindCarrierStrings(std::string_view page) {
  return FindCarrierStrings<char>(page);
}

// The code that the pair starting at index i yields. Like the script, a
// missing second carrier (an odd length) counts as 0.
template <class CharT>
int DecodedCode(std::basic_string_view<CharT> carriers, std::size_t i) {
  const int high = static_cast<int>(carriers[i]) & 15;
  const int low = i + 1 < carriers.size() ? static_cast<int>(carriers[i + 1]) & 15 : 0;
  return (high << 4) | low;
}

// Each code becomes the character with that code point.
template <class CharT>
std::u16string DecodeCarriers(std::basic_string_view<CharT> carriers) {
  std::u16string text;
  text.reserve((carriers.size() + 1) / 2);
  for (std::size_t i = 0; i < carriers.size(); i += 2) {
    text.push_back(static_cast<char16_t>(DecodedCode(carriers, i)));
  }
  return text;
}

// Writes, for each block in the page (both forms), what its script writes
// into the page (in UTF-8) and a line break. Only the blocks are read, so the
// page around them may be in any 8-bit encoding. Writes nothing when the
// page holds no block.
struct DecodeResult {
  std::size_t blocks = 0;
  bool written = true;
};
DecodeResult DecodeStreaming(std::string_view page, const ByteSink& sink);

}  // namespace common

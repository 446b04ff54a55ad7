// Characters beyond Latin-1 inside <script> and <style> elements of the text.
//
// The block writes such characters as HTML character references, but the
// browser reads references only in ordinary text and attribute values: inside
// a script or a style they would stay literal ("&#8364;" instead of "€"). There
// they go as the language's own escapes instead: "\u20AC" in scripts (a
// surrogate pair as two), "\20AC " in styles.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "page_codes.h"

namespace common {

enum class RawTextLanguage : unsigned char { Script, Style };

// The contents of one script or style element: text indices [begin, end).
struct RawTextContents {
  std::size_t begin;
  std::size_t end;
  RawTextLanguage language;
};

// The contents of the script and style elements of an HTML text, in text
// order, found the way the browser's tokenizer finds them: not inside
// comments, nor inside title, textarea and the other elements whose content
// is not markup.
std::vector<RawTextContents> FindScriptAndStyleContents(std::u16string_view text);

namespace detail {
template <class Sink>
void EmitHex(unsigned value, int minimumDigits, Sink& sink) {
  char digits[8];
  int count = 0;
  while (value != 0 || count < minimumDigits) {
    digits[count++] = "0123456789ABCDEF"[value & 15];
    value >>= 4;
  }
  while (count > 0) sink(digits[--count]);
}
}  // namespace detail

// The page codes of a text: references in ordinary text, escapes inside
// scripts and styles. A text without such elements gets exactly the codes of
// ForEachPageCode.
class PageCodeWriter {
 public:
  explicit PageCodeWriter(std::u16string_view text) : contents_(FindScriptAndStyleContents(text)) {}

  // The page codes of text[i] on, up to `end`, whole characters only: stops
  // once it has `wanted` codes. `codes` has room for wanted +
  // LongestPageCodes - 1; returns how many it wrote and moves `i` on.
  std::size_t Fill(std::u16string_view text, std::size_t& i, std::size_t end, std::uint8_t* codes,
                   std::size_t wanted) const;

  // Calls sink(code) for each page code of the character at index i.
  template <class Sink>
  void Emit(std::u16string_view text, std::size_t i, Sink&& sink) const {
    const RawTextContents* element = contents_.empty() || text[i] <= 0xFF ? nullptr : ElementAt(i);
    if (element == nullptr) {
      ForEachPageCode(text, i, sink);
    } else if (element->language == RawTextLanguage::Script) {
      // Each 16-bit unit on its own: the script's strings are UTF-16 too.
      sink('\\');
      sink('u');
      detail::EmitHex(text[i], 4, sink);
    } else {
      EmitStyleEscape(text, i, sink);
    }
  }

 private:
  const RawTextContents* ElementAt(std::size_t i) const;

  template <class Sink>
  static void EmitStyleEscape(std::u16string_view text, std::size_t i, Sink& sink) {
    const std::optional<char32_t> codePoint = utf16::CodePointAt(text, i);
    if (!codePoint) return;  // the escape went out with the first half
    // The space ends the escape, so a following hex digit is not read into it.
    sink('\\');
    detail::EmitHex(*codePoint, 1, sink);
    sink(' ');
  }

  std::vector<RawTextContents> contents_;
};

}  // namespace common

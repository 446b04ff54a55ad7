// Where a page's source holds what --rewrite replaces, found by the HTML5
// parser from its source positions.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace rewrite {

// Byte offsets into the page: a whole <a href="mailto:..."> element from its
// start tag to the end of its end tag, or a piece of ordinary text as its
// source holds it (character references not yet decoded).
struct HtmlSpan {
  std::size_t begin;
  std::size_t end;
  std::string address;  // of a link, for the listing
  bool insideSelect;    // in a select list, where no element but an option may stand
  // A link without an end tag of its own (one the parser closes, as a link
  // inside a link): the span is its start tag alone.
  bool open = false;
};

// What a stretch of the page holds, and what the page says of itself.
struct PageSpans {
  std::vector<HtmlSpan> links;  // in page order
  std::vector<HtmlSpan> texts;  // those that hold an "@"
  std::string declaredCharset;  // from <meta charset> or http-equiv, lower case; empty when none
  // Where a <meta charset> would go: after the page's own <head> or <html>
  // start tag, else before the first tag or text of its source.
  std::size_t declarationPlace = 0;
  std::size_t end = 0;  // where the stretch ends
};

// A large page is read a stretch at a time (see html_stretches.h), so that
// memory does not grow with it.
inline constexpr std::size_t StretchBytes = 1 << 20;

// Texts are not taken from inside script, style, textarea, title, template, noscript and the
// other elements whose content is not markup, nor from comments, attributes,
// SVG or MathML, nor from elements that carry a data block already; nor are
// links found there. A mailto link the parser made (a copy of an open one) is
// left alone. Calls `take` with each stretch's spans
// in page order, until it returns false; false when the parser fails.
bool FindSpans(std::string_view page, const std::function<bool(const PageSpans&)>& take,
               std::size_t stretchBytes = StretchBytes);

}  // namespace rewrite

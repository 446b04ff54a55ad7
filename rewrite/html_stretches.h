// A page parsed a stretch at a time, so that the parser's tree never holds
// more than a stretch of a large page. A stretch ends only where the parser
// stands as at the start of a page's body: after an element of the body
// (or of a plain container in it) closed by its own end tag, with no
// formatting element left open or repaired before it. Parsing the rest from
// there as a fragment of the body finds the same texts and links in the same
// places as parsing the page whole.
#pragma once

#include <gumbo.h>

#include <cstddef>
#include <functional>
#include <string_view>

namespace rewrite {

struct HtmlStretch {
  const GumboOutput* tree;  // the page's tree for the first stretch, else the fragment's
  const GumboNode* last;    // the stretch's last node in tree order, its subtree included; nullptr: all of it
  std::size_t end;          // where the stretch ends in the page
  bool first;
};

enum class AfterStretch { Next, Stop, WholePage };

// Calls `visit` for each stretch in page order, each about `stretchBytes` or
// longer where the page has no place to end one. WholePage, after the first
// stretch, parses the page again as one. False when the parser fails.
bool ForEachStretch(std::string_view page, std::size_t stretchBytes,
                    const std::function<AfterStretch(const HtmlStretch&)>& visit);

}  // namespace rewrite

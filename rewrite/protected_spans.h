// What of a stretch becomes blocks: its mailto links whole, and the addresses
// in its texts.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "html_spans.h"
#include "page_encoding.h"

namespace rewrite {

struct ProtectedSpan {
  std::size_t begin, end;      // byte offsets into the page
  const std::string* address;  // a link's, as its href names it; nothing for an address in a text
  bool insideSelect;
  bool open = false;  // a link's start tag alone (see HtmlSpan)
};

// The links and the addresses in the texts, in page order.
std::vector<ProtectedSpan> SpansToProtect(std::string_view page, const PageSpans& found, PageEncoding encoding);

// A span's address in UTF-8, for the listing.
std::string AddressOf(std::string_view page, const ProtectedSpan& span, PageEncoding encoding);

}  // namespace rewrite

// E-mail addresses standing in the ordinary text of a page.
#pragma once

#include <cstddef>
#include <vector>

#include "page_text.h"

namespace rewrite {

struct AddressMatch {
  std::size_t begin;  // byte offsets in the piece
  std::size_t end;
};

// The addresses in a piece of page text as its source holds it. Only what is
// plainly an address counts: a local part and a domain of at least two labels
// whose last is a word of letters. So "@media", "@name", "user@localhost",
// "pkg@1.2.3", "logo@2x.png", "@name@host.social", "git@host.org:repo" and
// addresses inside URLs ("https://host/~a@b.org") are left alone.
std::vector<AddressMatch> FindAddresses(const PageText& text);

}  // namespace rewrite

// How --rewrite reads a page's bytes, decided once: a rewritten page must be
// read the same way the next time, by this tool and by the browser.
#pragma once

#include <string>
#include <string_view>
#include <variant>

namespace rewrite {

enum class PageEncoding { Utf8, Windows1252 };

// The page's encoding as the browser would take it, from its byte order mark
// or `declared` (the charset of its <meta>, lower case, empty when none), or
// the German reason why it is not supported.
std::variant<PageEncoding, std::string> EncodingOf(std::string_view page, const std::string& declared);

// The <meta> that must go into the rewritten page so that it is still read as
// `encoding`; empty when the rewritten bytes say so themselves.
std::string_view DeclarationKeeping(PageEncoding encoding, std::string_view rewritten, const std::string& declared);

}  // namespace rewrite

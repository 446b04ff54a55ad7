// How --rewrite reads a page's bytes, decided once: a rewritten page must be
// read the same way the next time, by this tool and by the browser.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

namespace rewrite {

enum class PageEncoding { Utf8, Windows1252 };

struct PageReading {
  PageEncoding encoding;
  // For a page read as Windows-1252 only for those of its bytes that are no
  // UTF-8 (it declares no encoding): where the first of them stands.
  std::optional<std::size_t> firstNonUtf8;
};

// The page's encoding as the browser would take it, from its byte order mark
// or `declared` (the charset of its <meta>, lower case, empty when none), or
// the German reason why it is not supported.
std::variant<PageReading, std::string> EncodingOf(std::string_view page, const std::string& declared);

// The <meta> that keeps a page read as `encoding`.
std::string_view DeclarationOf(PageEncoding encoding);

}  // namespace rewrite

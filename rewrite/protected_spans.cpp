#include "protected_spans.h"

#include <algorithm>

#include "address_pattern.h"
#include "core/utf8.h"
#include "core/windows1252.h"
#include "page_text.h"

namespace rewrite {
namespace {

// The parser's text can run over a tag it ignored (a second <body>, a stray
// end tag). Where one starts at `at`, the offset after it; else `at`.
std::size_t IgnoredTagEnd(std::string_view text, std::size_t at) {
  if (at + 1 >= text.size()) return at;
  const char next = text[at + 1];
  const char lower = static_cast<char>(next | 0x20);
  const bool tag = (lower >= 'a' && lower <= 'z') || next == '/';
  if (!tag && next != '!' && next != '?') return at;
  for (std::size_t i = at + 1; i < text.size(); ++i) {
    if (text[i] == '>') return i + 1;
    if (!tag || text[i] != '=') continue;
    // A quoted attribute value may hold a ">".
    std::size_t value = i + 1;
    while (value < text.size() && (text[value] == ' ' || text[value] == '\t' || text[value] == '\n')) ++value;
    if (value < text.size() && (text[value] == '"' || text[value] == '\'')) {
      const std::size_t close = text.find(text[value], value + 1);
      if (close == text.npos) return text.size();
      i = close;
    }
  }
  return text.size();
}

// The addresses of a text as the browser has it: the pieces between ignored
// tags each on their own, as a tag takes no part in the text around it.
// Offsets are the text's.
template <class Take>
void AddressesBesideIgnoredTags(std::string_view text, PageEncoding encoding, const Take& take) {
  const auto search = [&](std::size_t begin, std::size_t end) {
    for (const AddressMatch& match : FindAddresses(PageText(text.substr(begin, end - begin), encoding))) {
      take(begin + match.begin, begin + match.end);
    }
  };
  std::size_t pieceBegin = 0;
  for (std::size_t at = text.find('<'); at != text.npos; at = text.find('<', at + 1)) {
    const std::size_t tagEnd = IgnoredTagEnd(text, at);
    if (tagEnd == at) continue;
    search(pieceBegin, at);
    pieceBegin = tagEnd;
    at = tagEnd - 1;
  }
  if (pieceBegin < text.size()) search(pieceBegin, text.size());
}

}  // namespace

std::vector<ProtectedSpan> SpansToProtect(std::string_view page, const PageSpans& found, PageEncoding encoding) {
  std::vector<ProtectedSpan> spans;
  for (const HtmlSpan& link : found.links) spans.push_back({link.begin, link.end, &link.address, link.insideSelect});
  for (const HtmlSpan& piece : found.texts) {
    AddressesBesideIgnoredTags(page.substr(piece.begin, piece.end - piece.begin), encoding,
                               [&](std::size_t begin, std::size_t end) {
                                 spans.push_back({piece.begin + begin, piece.begin + end, nullptr, piece.insideSelect});
                               });
  }
  std::sort(spans.begin(), spans.end(),
            [](const ProtectedSpan& a, const ProtectedSpan& b) { return a.begin < b.begin; });
  return spans;
}

std::string AddressOf(std::string_view page, const ProtectedSpan& span, PageEncoding encoding) {
  if (span.address != nullptr) return *span.address;
  const std::string_view bytes = page.substr(span.begin, span.end - span.begin);
  return encoding == PageEncoding::Utf8 ? std::string(bytes) : utf8::EncodeUtf8(windows1252::ToText(bytes));
}

}  // namespace rewrite

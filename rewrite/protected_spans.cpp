#include "protected_spans.h"

#include <algorithm>

#include "address_pattern.h"
#include "core/utf8.h"
#include "core/windows1252.h"
#include "page_text.h"

namespace rewrite {
namespace {

bool IsHtmlSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\f' || c == '\r'; }

// The parser's text can run over a tag it ignored (a second <body>, a stray
// end tag). Where one starts at `at`, the offset after it, read as the
// browser's tokenizer reads a tag (a "=" in a tag's name is part of the
// name; only a quoted attribute value may hold a ">"); else `at`.
std::size_t IgnoredTagEnd(std::string_view text, std::size_t at) {
  std::size_t i = at + 1;
  const bool endTag = i < text.size() && text[i] == '/';
  i += endTag ? 1 : 0;
  if (i >= text.size()) return at;
  if (const char lower = static_cast<char>(text[i] | 0x20); lower < 'a' || lower > 'z') {
    // "<!", "<?" and "</" before anything but a letter: skipped up to the next ">".
    if (!endTag && text[i] != '!' && text[i] != '?') return at;
    const std::size_t close = text.find('>', i);
    return close == text.npos ? text.size() : close + 1;
  }
  enum class In {
    Name,
    BeforeAttribute,
    AttributeName,
    AfterAttributeName,
    BeforeValue,
    Quoted,
    Unquoted,
    AfterQuoted
  };
  In state = In::Name;
  char quote = 0;
  for (; i < text.size(); ++i) {
    const char c = text[i];
    if (state == In::Quoted) {
      if (c == quote) state = In::AfterQuoted;
      continue;
    }
    if (c == '>') return i + 1;
    const bool space = IsHtmlSpace(c);
    switch (state) {
      case In::Name:
        if (space || c == '/') state = In::BeforeAttribute;
        break;
      case In::Unquoted:
        if (space) state = In::BeforeAttribute;
        break;
      case In::BeforeValue:
        if (c == '"' || c == '\'') {
          state = In::Quoted;
          quote = c;
        } else if (!space) {
          state = In::Unquoted;
        }
        break;
      case In::AttributeName:
        if (c == '=') state = In::BeforeValue;
        if (space) state = In::AfterAttributeName;
        if (c == '/') state = In::BeforeAttribute;
        break;
      case In::AfterAttributeName:
        if (c == '=') state = In::BeforeValue;
        if (c == '/') state = In::BeforeAttribute;
        if (!space && c != '=' && c != '/') state = In::AttributeName;
        break;
      default:  // before an attribute, after a quoted value: "=" starts a name here
        state = space || c == '/' ? In::BeforeAttribute : In::AttributeName;
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
  for (const HtmlSpan& link : found.links)
    spans.push_back({link.begin, link.end, &link.address, link.insideSelect, link.open});
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

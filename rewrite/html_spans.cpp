#include "html_spans.h"

#include <algorithm>

#include "core/block_frame.h"
#include "html_stretches.h"

namespace rewrite {
namespace {

const std::string DataAttributeName(common::DataAttribute);

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }

std::string LowerAscii(std::string_view text) {
  std::string lower(text);
  std::transform(lower.begin(), lower.end(), lower.begin(), Lower);
  return lower;
}

std::string_view Trimmed(std::string_view text) {
  const auto space = [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f'; };
  while (!text.empty() && space(text.front())) text.remove_prefix(1);
  while (!text.empty() && space(text.back())) text.remove_suffix(1);
  return text;
}

const char* AttributeValue(const GumboElement& element, const char* name) {
  const GumboAttribute* attribute = gumbo_get_attribute(&element.attributes, name);
  return attribute ? attribute->value : nullptr;
}

// The charset named in a Content-Type value: "text/html; charset=utf-8".
std::string CharsetOfContentType(std::string_view content) {
  const std::string lower = LowerAscii(content);
  const std::size_t at = lower.find("charset=");
  if (at == lower.npos) return {};
  std::string_view value = std::string_view(lower).substr(at + 8);
  if (!value.empty() && (value.front() == '"' || value.front() == '\'')) value.remove_prefix(1);
  return std::string(value.substr(0, value.find_first_of("\"'; \t")));
}

class SpanFinder {
 public:
  // Takes nothing after `last` and its subtree (nothing: the whole tree).
  SpanFinder(std::string_view page, const GumboNode* last, PageSpans& result)
      : page_(page), last_(last), result_(result) {}

  void Visit(const GumboNode* node, bool insideSelect) {
    if (done_) return;
    VisitNode(node, insideSelect);
    if (node == last_) done_ = true;
  }

 private:
  void VisitNode(const GumboNode* node, bool insideSelect) {
    if (node->type == GUMBO_NODE_TEXT) {
      VisitText(node->v.text, insideSelect);
      return;
    }
    if (node->type != GUMBO_NODE_ELEMENT && node->type != GUMBO_NODE_DOCUMENT) return;  // comments, template
    const GumboVector* children = &node->v.document.children;
    if (node->type == GUMBO_NODE_ELEMENT) {
      const GumboElement& element = node->v.element;
      if (element.tag_namespace != GUMBO_NAMESPACE_HTML || IsUntouchable(element.tag)) return;
      if (element.tag == GUMBO_TAG_META) NoteCharset(element);
      if (AttributeValue(element, DataAttributeName.c_str()) != nullptr) return;
      if (element.tag == GUMBO_TAG_A && IsMailto(element) && VisitMailto(node, insideSelect)) return;
      insideSelect = insideSelect || element.tag == GUMBO_TAG_SELECT;
      children = &element.children;
    }
    for (unsigned i = 0; i < children->length; ++i)
      Visit(static_cast<const GumboNode*>(children->data[i]), insideSelect);
  }

  static bool IsUntouchable(GumboTag tag) {
    switch (tag) {
      case GUMBO_TAG_SCRIPT:
      case GUMBO_TAG_STYLE:
      case GUMBO_TAG_TEXTAREA:
      case GUMBO_TAG_TITLE:
      case GUMBO_TAG_TEMPLATE:
      case GUMBO_TAG_NOSCRIPT:
      case GUMBO_TAG_XMP:
      case GUMBO_TAG_IFRAME:
      case GUMBO_TAG_NOEMBED:
      case GUMBO_TAG_NOFRAMES:
      case GUMBO_TAG_PLAINTEXT:
        return true;
      default:
        return false;
    }
  }

  static bool IsMailto(const GumboElement& element) {
    const char* href = AttributeValue(element, "href");
    return href != nullptr && LowerAscii(Trimmed(href).substr(0, 7)) == "mailto:";
  }

  void NoteCharset(const GumboElement& meta) {
    if (!result_.declaredCharset.empty()) return;  // the first declaration counts
    if (const char* charset = AttributeValue(meta, "charset")) {
      result_.declaredCharset = LowerAscii(Trimmed(charset));
      return;
    }
    const char* equiv = AttributeValue(meta, "http-equiv");
    const char* content = AttributeValue(meta, "content");
    if (equiv != nullptr && content != nullptr && LowerAscii(Trimmed(equiv)) == "content-type") {
      result_.declaredCharset = CharsetOfContentType(content);
    }
  }

  std::size_t OffsetOf(const char* at) const { return static_cast<std::size_t>(at - page_.data()); }

  // True when the span takes in the link's content.
  bool VisitMailto(const GumboNode* node, bool insideSelect) {
    const GumboElement& element = node->v.element;
    const std::string_view start(element.original_tag.data, element.original_tag.length);
    const std::string_view end(element.original_end_tag.data, element.original_end_tag.length);
    // Copies of a link the parser made stand in the source as that link.
    constexpr unsigned Repaired = GUMBO_INSERTION_BY_PARSER | GUMBO_INSERTION_RECONSTRUCTED_FORMATTING_ELEMENT |
                                  GUMBO_INSERTION_ADOPTION_AGENCY_CLONED | GUMBO_INSERTION_ADOPTION_AGENCY_MOVED;
    if (start.empty() || (node->parse_flags & Repaired) != 0) return false;
    const bool ownEndTag = end.size() >= 4 && LowerAscii(end.substr(0, 3)) == "</a" &&
                           (end[3] == '>' || end[3] == '/' || end[3] == ' ' || end[3] == '\t' || end[3] == '\n' ||
                            end[3] == '\r' || end[3] == '\f') &&
                           end.data() > start.data();
    std::string_view address = Trimmed(AttributeValue(element, "href")).substr(7);
    address = address.substr(0, address.find('?'));
    const std::size_t begin = OffsetOf(start.data());
    const std::size_t spanEnd = ownEndTag ? OffsetOf(end.data()) + end.size() : begin + start.size();
    result_.links.push_back({begin, spanEnd, std::string(address), insideSelect, !ownEndTag});
    return ownEndTag;
  }

  void VisitText(const GumboText& text, bool insideSelect) {
    const std::string_view source(text.original_text.data, text.original_text.length);
    if (source.find('@') == source.npos) return;
    const std::size_t begin = OffsetOf(source.data());
    result_.texts.push_back({begin, begin + source.size(), {}, insideSelect});
  }

  std::string_view page_;
  const GumboNode* last_;
  PageSpans& result_;
  bool done_ = false;
};

// The offset of the first node below `node` that stands in the source with a
// start tag or text of its own; the doctype and comments are no such nodes.
std::size_t FirstInSource(const GumboNode* node, std::string_view page) {
  const auto offset = [&](const char* at) { return static_cast<std::size_t>(at - page.data()); };
  const GumboVector* children = nullptr;
  std::size_t first = page.size();
  switch (node->type) {
    case GUMBO_NODE_TEXT:
    case GUMBO_NODE_WHITESPACE:
      return offset(node->v.text.original_text.data);
    case GUMBO_NODE_DOCUMENT:
      children = &node->v.document.children;
      break;
    case GUMBO_NODE_ELEMENT:
    case GUMBO_NODE_TEMPLATE:
      if (node->v.element.original_tag.length > 0) first = offset(node->v.element.original_tag.data);
      children = &node->v.element.children;
      break;
    default:
      return first;
  }
  for (unsigned i = 0; i < children->length; ++i) {
    first = std::min(first, FirstInSource(static_cast<const GumboNode*>(children->data[i]), page));
  }
  return first;
}

std::size_t DeclarationPlace(const GumboOutput& output, std::string_view page) {
  const auto after = [&](const GumboElement& element) {
    return static_cast<std::size_t>(element.original_tag.data - page.data()) + element.original_tag.length;
  };
  const GumboElement& html = output.root->v.element;
  for (unsigned i = 0; i < html.children.length; ++i) {
    const auto* child = static_cast<const GumboNode*>(html.children.data[i]);
    if (child->type == GUMBO_NODE_ELEMENT && child->v.element.tag == GUMBO_TAG_HEAD &&
        child->v.element.original_tag.length > 0) {
      return after(child->v.element);
    }
  }
  if (html.original_tag.length > 0) return after(html);
  return FirstInSource(output.document, page);
}

// Whether a declaration may stand after `from`: the first one in the page
// counts, so a stretch cannot be read before it is known.
bool MetaAfter(std::string_view page, std::size_t from) {
  for (std::size_t at = page.find('<', from); at != page.npos; at = page.find('<', at + 1)) {
    std::string name(page.substr(at + 1, 4));
    if (LowerAscii(name) == "meta") return true;
  }
  return false;
}

}  // namespace

bool FindSpans(std::string_view page, const std::function<bool(const PageSpans&)>& take, std::size_t stretchBytes) {
  PageSpans spans;
  return ForEachStretch(page, stretchBytes, [&](const HtmlStretch& stretch) {
    spans.links.clear();
    spans.texts.clear();
    if (stretch.first) spans.declaredCharset.clear();
    SpanFinder(page, stretch.last, spans).Visit(stretch.tree->document, false);
    if (stretch.first) {
      if (spans.declaredCharset.empty() && MetaAfter(page, stretch.end)) return AfterStretch::WholePage;
      spans.declarationPlace = DeclarationPlace(*stretch.tree, page);
    }
    spans.end = stretch.end;
    return take(spans) ? AfterStretch::Next : AfterStretch::Stop;
  });
}

}  // namespace rewrite

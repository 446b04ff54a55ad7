#include "html_stretches.h"

#include <memory>
#include <optional>

namespace rewrite {
namespace {

struct OutputDeleter {
  const GumboOptions* options;
  void operator()(GumboOutput* output) const { gumbo_destroy_output(options, output); }
};

// Elements whose content the parser reads like the body's: a stretch may end
// inside them, and the parse from there goes on as in the body.
bool IsPlainContainer(GumboTag tag) {
  switch (tag) {
    case GUMBO_TAG_DIV:
    case GUMBO_TAG_MAIN:
    case GUMBO_TAG_SECTION:
    case GUMBO_TAG_ARTICLE:
    case GUMBO_TAG_HEADER:
    case GUMBO_TAG_FOOTER:
    case GUMBO_TAG_NAV:
    case GUMBO_TAG_ASIDE:
    case GUMBO_TAG_CENTER:
    case GUMBO_TAG_BLOCKQUOTE:
    case GUMBO_TAG_FIGURE:
      return true;
    default:
      return false;
  }
}

// The elements the parser keeps in its list of open formatting elements
// until their own end tag: one closed otherwise stays there and comes back.
bool IsFormatting(GumboTag tag) {
  switch (tag) {
    case GUMBO_TAG_A:
    case GUMBO_TAG_B:
    case GUMBO_TAG_BIG:
    case GUMBO_TAG_CODE:
    case GUMBO_TAG_EM:
    case GUMBO_TAG_FONT:
    case GUMBO_TAG_I:
    case GUMBO_TAG_NOBR:
    case GUMBO_TAG_S:
    case GUMBO_TAG_SMALL:
    case GUMBO_TAG_STRIKE:
    case GUMBO_TAG_STRONG:
    case GUMBO_TAG_TT:
    case GUMBO_TAG_U:
      return true;
    default:
      return false;
  }
}

constexpr unsigned Repaired = GUMBO_INSERTION_BY_PARSER | GUMBO_INSERTION_RECONSTRUCTED_FORMATTING_ELEMENT |
                              GUMBO_INSERTION_ADOPTION_AGENCY_CLONED | GUMBO_INSERTION_ADOPTION_AGENCY_MOVED;

bool IsElement(const GumboNode* node) { return node->type == GUMBO_NODE_ELEMENT || node->type == GUMBO_NODE_TEMPLATE; }

// Whether the parser left anything behind in the subtree that acts on what
// follows: a formatting element still listed, or a repaired element.
bool LeavesNothingOpen(const GumboNode* node) {
  if (!IsElement(node)) return true;
  const GumboElement& element = node->v.element;
  if ((node->parse_flags & (Repaired & ~GUMBO_INSERTION_BY_PARSER)) != 0) return false;
  if (IsFormatting(element.tag) && (node->parse_flags & (GUMBO_INSERTION_IMPLICIT_END_TAG | Repaired)) != 0) {
    return false;
  }
  for (unsigned i = 0; i < element.children.length; ++i) {
    if (!LeavesNothingOpen(static_cast<const GumboNode*>(element.children.data[i]))) return false;
  }
  return true;
}

// Where the element's own end tag ends, when it has one.
std::optional<const char*> OwnEndTagEnd(const GumboNode* node) {
  const GumboElement& element = node->v.element;
  if (element.original_tag.length == 0 || element.original_end_tag.length == 0 ||
      (node->parse_flags & (Repaired | GUMBO_INSERTION_IMPLICIT_END_TAG)) != 0) {
    return std::nullopt;
  }
  return element.original_end_tag.data + element.original_end_tag.length;
}

bool IsVoid(GumboTag tag) {
  switch (tag) {
    case GUMBO_TAG_AREA:
    case GUMBO_TAG_BASE:
    case GUMBO_TAG_BR:
    case GUMBO_TAG_COL:
    case GUMBO_TAG_EMBED:
    case GUMBO_TAG_HR:
    case GUMBO_TAG_IMG:
    case GUMBO_TAG_INPUT:
    case GUMBO_TAG_LINK:
    case GUMBO_TAG_META:
    case GUMBO_TAG_PARAM:
    case GUMBO_TAG_SOURCE:
    case GUMBO_TAG_TRACK:
    case GUMBO_TAG_WBR:
      return true;
    default:
      return false;
  }
}

struct Cut {
  const GumboNode* last = nullptr;
  const char* at = nullptr;
};

// The last place among the children of `parent` (and of plain containers
// open there) where a stretch may end. `clean` turns false at the first child
// that is open at the parse's end or leaves something open, after which no
// place is found.
void FindCut(const GumboNode* parent, unsigned parsedLength, int depth, bool& clean, Cut& cut) {
  const GumboVector& children = parent->v.element.children;
  for (unsigned i = 0; i < children.length && clean; ++i) {
    const auto* child = static_cast<const GumboNode*>(children.data[i]);
    if (!IsElement(child)) continue;
    const GumboElement& element = child->v.element;
    const bool ownStartTag = element.original_tag.length > 0 && (child->parse_flags & Repaired) == 0;
    if (element.end_pos.offset >= parsedLength) {  // closed only by the parse's end
      if (depth < 4 && ownStartTag && IsPlainContainer(element.tag))
        FindCut(child, parsedLength, depth + 1, clean, cut);
      clean = false;
    } else if (!LeavesNothingOpen(child)) {
      clean = false;
    } else if (const auto end = OwnEndTagEnd(child)) {
      cut = {child, *end};
    } else if (ownStartTag && IsVoid(element.tag)) {
      cut = {child, element.original_tag.data + element.original_tag.length};
    }
    // Else closed by another tag: no place to end right after it, but nothing is left open.
  }
}

// The node whose children a stretch is cut between: the body of a page, the
// root of a fragment.
const GumboNode* Top(const GumboOutput& output, bool first) {
  if (!first) return output.root;
  const GumboVector& children = output.root->v.element.children;
  for (unsigned i = 0; i < children.length; ++i) {
    const auto* child = static_cast<const GumboNode*>(children.data[i]);
    if (IsElement(child) && child->v.element.tag == GUMBO_TAG_BODY) return child;
  }
  return nullptr;
}

}  // namespace

bool ForEachStretch(std::string_view page, std::size_t stretchBytes,
                    const std::function<AfterStretch(const HtmlStretch&)>& visit) {
  GumboOptions document = kGumboDefaultOptions;
  document.max_errors = 0;  // the page's own faults are none of our business
  GumboOptions fragment = document;
  fragment.fragment_context = GUMBO_TAG_BODY;
  std::size_t start = 0, length = stretchBytes;
  while (start < page.size() || start == 0) {
    const bool first = start == 0;
    const std::size_t end = length >= page.size() - start ? page.size() : start + length;
    const GumboOptions& options = first ? document : fragment;
    const std::unique_ptr<GumboOutput, OutputDeleter> tree(
        gumbo_parse_with_options(&options, page.data() + start, end - start), OutputDeleter{&options});
    if (!tree) return false;
    Cut cut;
    if (end < page.size()) {
      bool clean = true;
      if (const GumboNode* top = Top(*tree, first)) FindCut(top, static_cast<unsigned>(end - start), 0, clean, cut);
      if (cut.last == nullptr) {
        length *= 4;  // no place to end it: a longer one, soon the rest of the page
        continue;
      }
    }
    const std::size_t stretchEnd = cut.last ? static_cast<std::size_t>(cut.at - page.data()) : page.size();
    const AfterStretch then = visit(HtmlStretch{tree.get(), cut.last, stretchEnd, first});
    if (then == AfterStretch::Stop) return true;
    if (then == AfterStretch::WholePage && stretchEnd < page.size()) {
      start = 0;
      length = page.size();
      continue;
    }
    if (stretchEnd == page.size()) return true;
    start = stretchEnd;
    length = stretchBytes;
  }
  return true;
}

}  // namespace rewrite

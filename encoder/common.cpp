#include "common.h"

#include <algorithm>

#include "decoder.h"
#include "support/RXSAMMLUNG2DIVFU.h"
#include "windows1252.h"

namespace common {
namespace {

struct ExpandedTemplate {
  std::string head;
  std::string tail;
};

const ExpandedTemplate& Expanded() {
  static const ExpandedTemplate expanded = [] {
    // Escapes are expanded before the carriers go in, so carriers are never
    // read as escape sequences.
    const std::string text = windows1252::FromText(RXSAMMLUNG2DIVFU::ExpandEscapes(ScriptTemplate));
    const std::size_t slot = text.find('@');
    return ExpandedTemplate{text.substr(0, slot), text.substr(slot + 1)};
  }();
  return expanded;
}

}  // namespace

std::string_view BlockHead() { return Expanded().head; }
std::string_view BlockTail() { return Expanded().tail; }

ScriptBlockBuilder::ScriptBlockBuilder(std::size_t textLength) {
  block_.reserve(BlockHead().size() + 2 * textLength + BlockTail().size());
  block_ = BlockHead();
}

std::string ScriptBlockBuilder::Finish() && {
  block_ += BlockTail();
  return std::move(block_);
}

std::u16string PageText(std::u16string_view text) {
  std::u16string page;
  page.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    ForEachPageCode(text, i, [&](int code) { page.push_back(static_cast<char16_t>(code)); });
  }
  return page;
}

bool WritesText(std::string_view block, std::u16string_view text) {
  const auto scripts = FindCarrierStrings(block);
  if (scripts.size() != 1) return false;
  const std::string_view carriers = scripts.front();
  std::size_t next = 0;
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t pairs = std::min(text.size() - i, (carriers.size() - next) / 2);
    const std::size_t same = DecodedPrefixLength(carriers.data() + next, text.data() + i, pairs);
    next += 2 * same;
    i += same;
    if (i == text.size()) break;
    // A reference, a difference or the end of the carriers: one character
    // the careful way.
    bool matches = true;
    ForEachPageCode(text, i++, [&](int code) {
      matches = matches && next < carriers.size() && DecodedCode(carriers, next) == code;
      next += 2;
    });
    if (!matches) return false;
  }
  return next == carriers.size();
}

}  // namespace common

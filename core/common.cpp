#include "common.h"

#include "core/RXSAMMLUNG2DIVFU_text.h"
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

ScriptBlockBuilder::ScriptBlockBuilder(std::u16string_view text) : pageCodes_(text) {
  block_.reserve(BlockHead().size() + 2 * text.size() + BlockTail().size());
  block_ = BlockHead();
}

std::string ScriptBlockBuilder::Finish() && {
  block_ += BlockTail();
  return std::move(block_);
}

}  // namespace common

#include "common.h"

namespace common {

ScriptBlockBuilder::ScriptBlockBuilder(std::u16string_view text, const BlockFrame& frame)
    : after_(frame.After()), pageCodes_(text) {
  block_.reserve(frame.Before().size() + 2 * text.size() + frame.After().size());
  block_ = frame.Before();
}

std::string ScriptBlockBuilder::Finish() && {
  block_ += after_;
  return std::move(block_);
}

}  // namespace common

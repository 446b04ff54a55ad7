// One page of --rewrite: its links and addresses found a stretch at a time,
// and the page written anew around their blocks as they are found. The page
// is read once and never copied.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <variant>

#include "core/block_frame.h"
#include "core/random.h"
#include "html_spans.h"

namespace rewrite {

enum class BlockFormat { Script, Data };

struct RewriteSettings {
  BlockFormat format = BlockFormat::Script;
  std::string fallbackHtml;  // what the data form shows: fallback or placeholder
  bool dryRun = false;
  common::Reveal reveal = common::Reveal::Load;  // for the data form
};

// Why the data form leaves an address where it is.
enum class LeftAlone {
  InSelectList,  // where no element but an option may stand
  OpenLink,      // a link's start tag alone: an element cannot stand for it
};

// What a page's rewrite hands on as it goes.
struct PageEvents {
  // A span that becomes a block, in page order: the line of its start (from
  // 1) and its address.
  std::function<void(std::size_t line, std::string_view address)> protect;
  // One the chosen form cannot protect in its place.
  std::function<void(std::size_t line, std::string_view address, LeftAlone why)> leaveAlone;
  // The rewritten page, piece by piece; false when it cannot be written. Not
  // called in a dry run, nor for a page with nothing to protect.
  std::function<bool(std::string_view bytes)> write;
};

struct PageResult {
  std::size_t protectedSpans = 0;
  std::string_view addedDeclaration;  // the <meta charset> that keeps the page read as before; empty when none
  bool writeFailed = false;
};

// The page rewritten, or the German reason why it cannot be; what was
// written of it then is not to be used.
std::variant<PageResult, std::string> RewritePage(std::string_view page, const RewriteSettings& settings,
                                                  common::PseudoRandom& random, const PageEvents& events,
                                                  std::size_t stretchBytes = StretchBytes);

}  // namespace rewrite

// velumor-encode --rewrite: every mailto link and every address in the
// ordinary text of a site's pages becomes a block, in place.
#pragma once

#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "core/random.h"
#include "data_format.h"

namespace cli {

enum class BlockFormat { Script, Data };

struct RewriteSettings {
  BlockFormat format = BlockFormat::Script;
  std::string dataRest;  // what follows the carriers in the data form, from DataElementRest
  bool dryRun = false;
};

struct ProtectedSpan {
  std::size_t line;  // 1-based, of the span's start
  std::string address;
};

struct RewrittenPage {
  std::string bytes;  // the page with its spans replaced; every other byte as it was
  std::vector<ProtectedSpan> spans;
  std::vector<ProtectedSpan> leftAlone;  // addresses the chosen form cannot protect in their place
  std::string addedDeclaration;          // the <meta charset> that keeps the page read as before; empty when none
};

// One page's bytes rewritten, or the German reason why it cannot be.
std::variant<RewrittenPage, std::string> RewritePage(std::string_view page, const RewriteSettings& settings,
                                                     common::PseudoRandom& random);

// Rewrites the pages of the files and folders (recursing into *.html and
// *.htm); each changed file goes through `write`. Returns the exit code:
// 0 all done, 1 when a file could not be read, parsed or written.
int RunRewrite(const std::vector<std::string>& paths, const RewriteSettings& settings, std::uint64_t seed,
               const FileWriter& write, std::ostream& out, std::ostream& err);

}  // namespace cli

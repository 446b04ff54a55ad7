// velumor-encode --rewrite: every mailto link and every address in the
// ordinary text of a site's pages becomes a block, in place.
#pragma once

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "page_rewrite.h"

namespace rewrite {

// A page's replacement as it is written: it takes the page's place on
// commit, and is thrown away without it.
struct PageOutput {
  std::function<bool(std::string_view bytes)> write;
  std::function<bool()> commit;
};

// The command line's access to the pages' files.
struct PageFiles {
  // Hands the whole file to `use`; false when it cannot be read.
  std::function<bool(const std::string& path, const std::function<void(std::string_view page)>& use)> read;
  // The replacement of a file, or a German message naming it when it cannot be made.
  std::function<std::variant<PageOutput, std::string>(const std::string& path)> replace;
};

// Rewrites the pages of the files and folders (recursing into *.html and
// *.htm), each read once and written as it is rewritten. Returns the exit
// code: 0 all done, 1 when a file could not be read, parsed or written.
int RunRewrite(const std::vector<std::string>& paths, const RewriteSettings& settings, std::uint64_t seed,
               const PageFiles& files, std::ostream& out, std::ostream& err);

}  // namespace rewrite

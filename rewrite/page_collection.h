// The pages --rewrite works on: the files named, and the *.html and *.htm
// files below the folders named. A symbolic link is followed only where it
// stays inside the folders named, so that no file outside them changes.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace rewrite {

struct CollectedPages {
  std::vector<std::string> pages;  // in the order named, each folder's in name order; each file once
  bool failed = false;             // a path named is no file or folder, or a folder cannot be read whole
};

// Paths in UTF-8. What is left out on purpose is reported to `err` too.
CollectedPages CollectPages(const std::vector<std::string>& paths, std::ostream& err);

}  // namespace rewrite

// The rewritten page as it is made: the page's own bytes up to each span,
// the span's block, the bytes after the last. Nothing is held but a small
// buffer, and the spans whose bytes would decide whether the page must now
// declare its encoding.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/block_frame.h"
#include "core/random.h"
#include "page_encoding.h"

namespace rewrite {

class PageWriter {
 public:
  struct Frames {
    common::BlockFrame text, link;
  };

  // Without `frames` (a dry run) nothing is written.
  PageWriter(std::string_view page, const PageReading& reading, std::size_t declarationPlace, const Frames* frames,
             common::PseudoRandom& random, const std::function<bool(std::string_view)>& write);

  // The next span in page order, starting on `line`, becomes a block; a
  // German reason when it cannot, or when writing fails (then WriteFailed()).
  std::optional<std::string> Protect(std::size_t begin, std::size_t end, bool link, std::size_t line);

  // The bytes after the last span.
  std::optional<std::string> Finish();

  bool WriteFailed() const { return writeFailed_; }
  std::string_view AddedDeclaration() const { return declaration_; }

 private:
  struct Span {
    std::size_t begin, end;
    bool link;
  };

  // Whether the page's own bytes from `checked_` to `until` keep it read as
  // Windows-1252: one of them is no UTF-8.
  bool StaysWindows1252(std::size_t until);
  std::optional<std::string> Release();
  std::optional<std::string> Encode(const Span& span);
  bool Emit(std::string_view bytes);
  bool Flush();
  std::optional<std::string> Failed();

  std::string_view page_;
  PageEncoding encoding_;
  bool undecided_;            // whether the page must declare its encoding is not known yet
  std::size_t firstNonUtf8_;  // while undecided
  std::size_t declarationPlace_;
  const Frames* frames_;  // nothing in a dry run
  common::PseudoRandom& random_;
  const std::function<bool(std::string_view)>& write_;

  std::size_t spans_ = 0;
  std::vector<Span> pending_;  // spans held while undecided
  std::size_t checked_ = 0;    // the page's own bytes before this are checked
  std::size_t copied_ = 0;     // and written
  std::string_view declaration_;
  std::string buffer_;
  bool writeFailed_ = false;
};

}  // namespace rewrite

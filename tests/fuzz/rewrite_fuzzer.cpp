// --rewrite of one page of any HTML: no crash; every byte outside the blocks
// it puts in (and the declaration of the encoding it may add) stays as it
// was; each block carries the page codes of the piece of the page it stands
// for; a second run changes nothing. Byte 0 chooses the form (bit 0: data)
// and the seed; the rest is the page.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "core/block_frame.h"
#include "core/common.h"
#include "core/data_form.h"
#include "core/decoder.h"
#include "core/script_style_escapes.h"
#include "core/windows1252.h"
#include "reference.h"
#include "rewrite/page_rewrite.h"

namespace {

using reference::Check;

// How a block looks in the rewritten page: the lines of the script end like
// the page's own, and nothing breaks the line after the script and the
// notice, where it would show as a space in running text.
struct BlockShape {
  std::string before, after;  // around the carriers
};

BlockShape ScriptShape(std::string_view page) {
  const std::size_t lf = page.find('\n');
  const bool crlf = lf != page.npos && lf > 0 && page[lf - 1] == '\r';
  // The block's own lines end in CR LF, and it has no other CR.
  const auto lines = [crlf](std::string text) {
    if (!crlf) std::erase(text, '\r');
    return text;
  };
  std::string tail(common::BlockFrame::Script().After());
  tail.erase(tail.find("</script>") + 9, 2);
  tail.resize(tail.size() - 2);
  return {lines(std::string(common::BlockFrame::Script().Before())), lines(tail)};
}

// The characters of page[begin, end) in UTF-8 (nothing when it is not) or Windows-1252.
std::optional<std::u16string> Text(std::string_view piece, bool utf8) {
  if (!utf8) return windows1252::ToText(piece);
  if (reference::FirstInvalid(piece)) return std::nullopt;
  return reference::Utf16(reference::CodePoints(piece));
}

// The page codes the core gives a text, escapes in scripts and styles included.
std::string CoreCodes(std::u16string_view text) {
  const common::PageCodeWriter writer(text);
  std::string codes;
  for (std::size_t i = 0; i < text.size(); ++i)
    writer.Emit(text, i, [&](int c) { codes.push_back(static_cast<char>(c)); });
  return codes;
}

// Where the piece of the page that starts at `begin` and has the page codes
// `codes` ends, read as UTF-8 or as Windows-1252.
std::optional<std::size_t> PlainSpanEnd(std::string_view page, std::size_t begin, const std::string& codes, bool utf8) {
  std::string made;
  std::size_t at = begin;
  while (made.size() < codes.size() && at < page.size()) {
    const int length = utf8 ? reference::WellFormedLength(page, at) : 1;
    if (length == 0) break;
    const char32_t c =
        utf8 ? reference::CodePointAt(page, at, length) : windows1252::Character(static_cast<unsigned char>(page[at]));
    made += reference::PageCodesOf(c);
    at += static_cast<std::size_t>(length);
  }
  if (made == codes) return at;
  return std::nullopt;
}

std::optional<std::size_t> SpanEnd(std::string_view page, std::size_t begin, const std::string& codes) {
  for (const bool utf8 : {true, false}) {
    if (const auto end = PlainSpanEnd(page, begin, codes, utf8)) return end;
  }
  // A script or style inside a link: its characters go as the language's
  // escapes, which start with a backslash.
  if (codes.find('\\') == codes.npos) return std::nullopt;
  for (const bool utf8 : {true, false}) {
    for (std::size_t end = begin + 1; end <= page.size(); ++end) {
      const auto text = Text(page.substr(begin, end - begin), utf8);
      if (text && CoreCodes(*text) == codes) return end;
    }
  }
  return std::nullopt;
}

// Walks the rewritten page along the original: bytes that match are copied;
// a block that starts where the original has no such block was put in for
// a piece of the original, and so was the declaration of the encoding, once.
class Walk {
 public:
  Walk(std::string_view page, std::string_view rewritten, std::string_view declaration)
      : page_(page), rewritten_(rewritten), declaration_(declaration) {}

  // Returns how many blocks were put in.
  std::size_t CheckOnlySpansReplaced(const std::vector<BlockShape>& shapes) {
    std::size_t inserted = 0;
    while (j_ < rewritten_.size()) {
      // The nearest block of any of the shapes.
      std::size_t next = rewritten_.size();
      const BlockShape* shape = &shapes.front();
      for (const BlockShape& candidate : shapes) {
        const std::size_t at = rewritten_.find(candidate.before, j_);
        if (at < next) {
          next = at;
          shape = &candidate;
        }
      }
      Copied(next);
      if (j_ == rewritten_.size()) break;
      const std::size_t carriersBegin = j_ + shape->before.size();
      const std::size_t carriersEnd = rewritten_.find('"', carriersBegin);
      const bool block = carriersEnd != rewritten_.npos && rewritten_.substr(carriersEnd).starts_with(shape->after);
      const std::size_t blockEnd = block ? carriersEnd + shape->after.size() : j_ + 1;
      if (!block || page_.substr(i_).starts_with(rewritten_.substr(j_, blockEnd - j_))) {  // as the original has it
        Copied(blockEnd);
        continue;
      }
      const std::string_view carriers = rewritten_.substr(carriersBegin, carriersEnd - carriersBegin);
      Check(reference::AllCarriers(carriers), "a carrier outside the carrier set");
      const std::optional<std::size_t> end = SpanEnd(page_, i_, reference::DecodeCarriers(carriers));
      Check(end.has_value(), "a block does not carry the piece of the page it replaced");
      i_ = *end;
      j_ = blockEnd;
      ++inserted;
    }
    Check(i_ == page_.size(), "the end of the page is missing");
    Check(declaration_.empty(), "the declaration said to be added is missing");
    return inserted;
  }

 private:
  // The rewritten bytes up to `end` are the original's, but for the declaration.
  void Copied(std::size_t end) {
    while (j_ < end) {
      const bool declarationHere = !declaration_.empty() && rewritten_.substr(j_).starts_with(declaration_);
      if (declarationHere && !page_.substr(i_).starts_with(declaration_)) {
        j_ += declaration_.size();
        declaration_ = {};
      } else if (i_ < page_.size() && page_[i_] == rewritten_[j_]) {
        ++i_;
        ++j_;
      } else {
        Check(declarationHere, "a byte outside the blocks changed");
        j_ += declaration_.size();
        declaration_ = {};
      }
    }
  }

  std::string_view page_, rewritten_, declaration_;
  std::size_t i_ = 0, j_ = 0;
};

// The page and its rewrites, for the report of a failed check.
struct Shown {
  std::string_view page, once;
  std::string twice;
} shown;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const bool dataForm = data[0] & 1;
  const std::string_view page(reinterpret_cast<const char*>(data + 1), size - 1);
  const std::string fallback = common::FallbackHtml(common::DefaultFallback);
  const rewrite::RewriteSettings settings{dataForm ? rewrite::BlockFormat::Data : rewrite::BlockFormat::Script,
                                          fallback, false};
  common::PseudoRandom random(data[0]);
  // The page rewritten whole; its result, or the reason it was refused.
  const auto rewritten = [&](std::string_view from, std::string& bytes, std::size_t& listed) {
    bytes.clear();
    listed = 0;
    const rewrite::PageEvents events{[&](std::size_t, std::string_view) { ++listed; },
                                     [](std::size_t, std::string_view, rewrite::LeftAlone) {},
                                     [&](std::string_view piece) {
                                       bytes += piece;
                                       return true;
                                     }};
    auto result = rewrite::RewritePage(from, settings, random, events);
    if (const auto* done = std::get_if<rewrite::PageResult>(&result); done && done->protectedSpans == 0) {
      bytes = std::string(from);
    }
    return result;
  };
  std::string onceBytes;
  std::size_t onceListed = 0;
  const auto first = rewritten(page, onceBytes, onceListed);
  if (const auto* reason = std::get_if<std::string>(&first)) {
    Check(!reason->empty(), "a page refused without a reason");
    return 0;
  }
  const rewrite::PageResult& once = std::get<rewrite::PageResult>(first);
  shown = {page, onceBytes, {}};
  reference::ShowOnFailure() = [] {
    reference::Show("page", shown.page);
    reference::Show("once", shown.once);
    if (!shown.twice.empty()) reference::Show("twice", shown.twice);
  };
  // Text becomes a span, a link an <a> of its own.
  const std::vector<BlockShape> shapes =
      dataForm ? std::vector<BlockShape>{{"<span data-velumor=\"", "\">" + fallback + "</span>"},
                                         {"<a data-velumor=\"", "\">" + fallback + "</a>"}}
               : std::vector<BlockShape>{ScriptShape(page)};
  Check(once.addedDeclaration.empty() || once.addedDeclaration.starts_with("<meta charset="),
        "what is added is no declaration of the encoding");
  Walk walk(page, onceBytes, once.addedDeclaration);
  Check(walk.CheckOnlySpansReplaced(shapes) == onceListed, "blocks and listed spans differ");

  std::string twiceBytes;
  std::size_t twiceListed = 0;
  const auto second = rewritten(onceBytes, twiceBytes, twiceListed);
  if (const auto* reason = std::get_if<std::string>(&second)) shown.twice = "refused: " + *reason;
  Check(std::holds_alternative<rewrite::PageResult>(second), "the rewritten page is refused");
  shown.twice = twiceBytes;
  Check(twiceListed == 0 && twiceBytes == onceBytes, "a second run changes the page");
  return 0;
}

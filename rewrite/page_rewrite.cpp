#include "page_rewrite.h"

#include <algorithm>
#include <optional>

#include "core/block_frame.h"
#include "page_encoding.h"
#include "page_writer.h"
#include "protected_spans.h"

namespace rewrite {
namespace {

std::string_view NewlineOf(std::string_view page) {
  const std::size_t lf = page.find('\n');
  return lf != page.npos && lf > 0 && page[lf - 1] == '\r' ? "\r\n" : "\n";
}

PageWriter::Frames FramesFor(const RewriteSettings& settings, std::string_view page) {
  if (settings.format == BlockFormat::Data) {
    // A link's start tag closes a link the page left open, as the adoption
    // rules of the browser's parser have it; a span does not, and the open
    // link would take in the decoded one and all after it. So a link's block
    // is an <a> of its own, which the parser treats as it treated the link.
    return {common::BlockFrame::Data(settings.fallbackHtml, "span", settings.reveal),
            common::BlockFrame::Data(settings.fallbackHtml, "a", settings.reveal)};
  }
  const common::BlockFrame inline_ = common::BlockFrame::InlineScript(NewlineOf(page));
  return {inline_, inline_};
}

}  // namespace

std::variant<PageResult, std::string> RewritePage(std::string_view page, const RewriteSettings& settings,
                                                  common::PseudoRandom& random, const PageEvents& events,
                                                  std::size_t stretchBytes) {
  std::optional<PageEncoding> encoding;
  std::optional<PageWriter::Frames> frames;
  std::optional<PageWriter> writer;
  std::optional<std::string> failure;
  PageResult result;
  std::size_t line = 1, lineCountedTo = 0;
  const bool parsed = FindSpans(
      page,
      [&](const PageSpans& found) {
        if (!writer) {
          const auto reading = EncodingOf(page, found.declaredCharset);
          if (const auto* reason = std::get_if<std::string>(&reading)) {
            failure = *reason;
            return false;
          }
          encoding = std::get<PageReading>(reading).encoding;
          if (!settings.dryRun) frames = FramesFor(settings, page);
          writer.emplace(page, std::get<PageReading>(reading), found.declarationPlace, frames ? &*frames : nullptr,
                         random, events.write);
        }
        for (const ProtectedSpan& span : SpansToProtect(page, found, *encoding)) {
          line += static_cast<std::size_t>(std::count(page.begin() + lineCountedTo, page.begin() + span.begin, '\n'));
          lineCountedTo = span.begin;
          if (settings.format == BlockFormat::Data && (span.insideSelect || span.open)) {
            events.leaveAlone(line, AddressOf(page, span, *encoding),
                              span.open ? LeftAlone::OpenLink : LeftAlone::InSelectList);
            continue;
          }
          failure = writer->Protect(span.begin, span.end, span.address != nullptr, line);
          if (failure) return false;
          events.protect(line, AddressOf(page, span, *encoding));
          ++result.protectedSpans;
        }
        return true;
      },
      stretchBytes);
  if (!parsed) return std::string("der HTML-Parser kann sie nicht lesen");
  if (!failure && writer) failure = writer->Finish();
  if (failure) {
    if (writer && writer->WriteFailed()) return PageResult{result.protectedSpans, {}, true};
    return *failure;
  }
  if (writer) result.addedDeclaration = writer->AddedDeclaration();
  return result;
}

}  // namespace rewrite

#include "site_rewrite.h"

#include <algorithm>
#include <optional>
#include <ostream>

#include "address_pattern.h"
#include "core/common.h"
#include "core/windows1252.h"
#include "html_spans.h"
#include "input_bytes.h"
#include "page_collection.h"
#include "page_encoding.h"
#include "utf8.h"

namespace cli {
namespace {

std::string_view NewlineOf(std::string_view page) {
  const std::size_t lf = page.find('\n');
  return lf != page.npos && lf > 0 && page[lf - 1] == '\r' ? "\r\n" : "\n";
}

// The script block as it goes into running text: its lines end like the
// page's, and no line break follows the script or the noscript notice, where
// it would show as a space between the address and a following full stop.
std::string InlineBlock(std::string block, std::string_view newline) {
  const std::size_t scriptEnd = block.find("</script>\r\n");
  block.erase(scriptEnd + 9, 2);
  block.resize(block.size() - 2);
  std::string lines;
  for (std::size_t at = 0; at < block.size();) {
    const std::size_t crlf = std::min(block.find("\r\n", at), block.size());
    lines.append(block, at, crlf - at);
    if (crlf < block.size()) lines.append(newline);
    at = crlf + 2;
  }
  return lines;
}

// A piece of the page as text, with the byte offset of every 16-bit unit and
// of the piece's end. A byte that is no UTF-8 stands for U+FFFD.
struct DecodedPiece {
  std::u16string text;
  std::vector<std::size_t> offsets;
};

DecodedPiece DecodeWithOffsets(std::string_view page, std::size_t begin, std::size_t end, PageEncoding encoding) {
  DecodedPiece piece;
  for (std::size_t i = begin; i < end;) {
    const auto lead = static_cast<unsigned char>(page[i]);
    std::size_t length = 1;
    if (encoding == PageEncoding::Utf8 && lead >= 0x80) {
      length = lead >= 0xC2 && lead <= 0xDF   ? 2
               : lead >= 0xE0 && lead <= 0xEF ? 3
               : lead >= 0xF0 && lead <= 0xF4 ? 4
                                              : 0;
      auto decoded = length > 0 && i + length <= end ? DecodeUtf8(page.substr(i, length)) : Utf8Error{0};
      if (auto* units = std::get_if<std::u16string>(&decoded)) {
        for (const char16_t unit : *units) piece.text.push_back(unit), piece.offsets.push_back(i);
      } else {
        piece.text.push_back(u'\uFFFD'), piece.offsets.push_back(i);
        length = 1;
      }
    } else {
      piece.text.push_back(encoding == PageEncoding::Utf8 ? lead : windows1252::Character(lead));
      piece.offsets.push_back(i);
    }
    i += length;
  }
  piece.offsets.push_back(end);
  return piece;
}

// The parser's text can run over a tag it ignored (a second <body>, a stray
// end tag). Where one starts at `at`, the index after it; else `at`.
std::size_t IgnoredTagEnd(std::u16string_view text, std::size_t at) {
  if (at + 1 >= text.size()) return at;
  const char16_t next = text[at + 1];
  const char16_t lower = next | 0x20;
  const bool tag = (lower >= u'a' && lower <= u'z') || next == u'/';
  if (!tag && next != u'!' && next != u'?') return at;
  for (std::size_t i = at + 1; i < text.size(); ++i) {
    if (text[i] == u'>') return i + 1;
    if (!tag || text[i] != u'=') continue;
    // A quoted attribute value may hold a ">".
    std::size_t value = i + 1;
    while (value < text.size() && (text[value] == u' ' || text[value] == u'\t' || text[value] == u'\n')) ++value;
    if (value < text.size() && (text[value] == u'"' || text[value] == u'\'')) {
      const std::size_t close = text.find(text[value], value + 1);
      if (close == text.npos) return text.size();
      i = close;
    }
  }
  return text.size();
}

// The addresses of a text as the browser has it: the pieces between ignored
// tags each on their own, as a tag takes no part in the text around it.
std::vector<AddressMatch> AddressesBesideIgnoredTags(std::u16string_view text) {
  std::vector<AddressMatch> found;
  const auto search = [&](std::size_t begin, std::size_t end) {
    for (const AddressMatch& match : FindAddresses(text.substr(begin, end - begin))) {
      found.push_back({begin + match.begin, begin + match.end});
    }
  };
  std::size_t pieceBegin = 0;
  for (std::size_t at = text.find(u'<'); at != text.npos; at = text.find(u'<', at + 1)) {
    const std::size_t tagEnd = IgnoredTagEnd(text, at);
    if (tagEnd == at) continue;
    search(pieceBegin, at);
    pieceBegin = tagEnd;
    at = tagEnd - 1;
  }
  if (pieceBegin < text.size()) search(pieceBegin, text.size());
  return found;
}

// The links, and the addresses in the texts, in page order.
std::vector<HtmlSpan> SpansToReplace(std::string_view page, const PageSpans& found, PageEncoding encoding) {
  std::vector<HtmlSpan> spans = found.links;
  for (const HtmlSpan& piece : found.texts) {
    const DecodedPiece decoded = DecodeWithOffsets(page, piece.begin, piece.end, encoding);
    for (const AddressMatch& match : AddressesBesideIgnoredTags(decoded.text)) {
      const std::u16string_view address =
          std::u16string_view(decoded.text).substr(match.begin, match.end - match.begin);
      spans.push_back(
          {decoded.offsets[match.begin], decoded.offsets[match.end], EncodeUtf8(address), piece.insideSelect});
    }
  }
  std::sort(spans.begin(), spans.end(), [](const HtmlSpan& a, const HtmlSpan& b) { return a.begin < b.begin; });
  return spans;
}

}  // namespace

std::variant<RewrittenPage, std::string> RewritePage(std::string_view page, const RewriteSettings& settings,
                                                     common::PseudoRandom& random) {
  const std::optional<PageSpans> found = FindSpans(page);
  if (!found) return std::string("der HTML-Parser kann sie nicht lesen");
  const auto encoding = EncodingOf(page, found->declaredCharset);
  if (const auto* reason = std::get_if<std::string>(&encoding)) return *reason;
  const std::string_view newline = NewlineOf(page);

  RewrittenPage result;
  std::size_t copied = 0, line = 1, lineCountedTo = 0, declarationPlace = found->declarationPlace;
  for (const HtmlSpan& span : SpansToReplace(page, *found, std::get<PageEncoding>(encoding))) {
    line += static_cast<std::size_t>(std::count(page.begin() + lineCountedTo, page.begin() + span.begin, '\n'));
    lineCountedTo = span.begin;
    const std::string_view source = page.substr(span.begin, span.end - span.begin);
    if (settings.format == BlockFormat::Data && span.insideSelect) {
      result.leftAlone.push_back({line, span.address});
      continue;
    }
    std::u16string text;
    if (std::get<PageEncoding>(encoding) == PageEncoding::Windows1252) {
      text = windows1252::ToText(source);
    } else if (auto decoded = DecodeUtf8(source); std::holds_alternative<std::u16string>(decoded)) {
      text = std::move(std::get<std::u16string>(decoded));
    } else {
      return "Zeile " + std::to_string(line) + " ist kein gültiges UTF-8";
    }
    const auto block = common::EncodeText(text, random);
    if (!block) return std::string("interner Fehler: ein Block gibt den Text nicht wieder");
    if (result.spans.empty()) declarationPlace = std::min(declarationPlace, span.begin);
    result.bytes.append(page, copied, span.begin - copied);
    result.bytes +=
        settings.format == BlockFormat::Data ? DataElement(*block, settings.dataRest) : InlineBlock(*block, newline);
    result.spans.push_back({line, span.address});
    copied = span.end;
  }
  result.bytes.append(page, copied);
  // No line break goes with it: the lines reported stay the page's own.
  result.addedDeclaration = DeclarationKeeping(std::get<PageEncoding>(encoding), result.bytes, found->declaredCharset);
  if (!result.addedDeclaration.empty()) result.bytes.insert(declarationPlace, result.addedDeclaration);
  return result;
}

namespace {

std::string Counted(std::size_t count, std::string_view one, std::string_view many) {
  return std::to_string(count) + " " + std::string(count == 1 ? one : many);
}

}  // namespace

int RunRewrite(const std::vector<std::string>& paths, const RewriteSettings& settings, std::uint64_t seed,
               const FileWriter& write, std::ostream& out, std::ostream& err) {
  const CollectedPages collected = CollectPages(paths, err);
  bool failed = collected.failed;
  common::PseudoRandom random(seed);
  std::size_t files = 0, addresses = 0;
  for (const std::string& path : collected.pages) {
    const std::optional<InputBytes> page = ReadFile(path);
    if (!page) {
      err << "velumor-encode: Die Datei kann nicht gelesen werden: " << path << "\n";
      failed = true;
      continue;
    }
    auto rewritten = RewritePage(page->View(), settings, random);
    if (const auto* reason = std::get_if<std::string>(&rewritten)) {
      err << "velumor-encode: " << path << " bleibt unverändert: " << *reason << ".\n";
      failed = true;
      continue;
    }
    const RewrittenPage& result = std::get<RewrittenPage>(rewritten);
    for (const ProtectedSpan& span : result.leftAlone) {
      err << "velumor-encode: " << path << ":" << span.line << ": " << span.address
          << " steht in einer Auswahlliste, wo das Datenformat nicht stehen kann, und bleibt ungeschützt.\n";
    }
    if (result.spans.empty()) continue;
    if (!result.addedDeclaration.empty()) {
      err << "velumor-encode: Hinweis: " << path
          << " nennt keine Zeichenkodierung; damit sie nach dem Schützen gelesen wird wie vorher, "
          << (settings.dryRun ? "bekäme sie " : "bekommt sie ") << result.addedDeclaration << ".\n";
    }
    if (settings.dryRun) {
      for (const ProtectedSpan& span : result.spans) out << path << ":" << span.line << ": " << span.address << "\n";
    } else if (!write(path, result.bytes)) {
      err << "velumor-encode: Die Datei kann nicht geschrieben werden: " << path << "\n";
      failed = true;
      continue;
    }
    ++files;
    addresses += result.spans.size();
  }

  const std::string counts = Counted(addresses, "Adresse", "Adressen") + " in " + Counted(files, "Datei", "Dateien");
  if (settings.dryRun) {
    out << "Probelauf: " << counts << " würden geschützt; nichts wurde geschrieben.\n";
  } else {
    if (settings.format == BlockFormat::Data && files > 0) {
      out << "Binden Sie in jede geänderte Seite das Skript " << DecoderFileName << " ein, etwa mit <script src=\""
          << DecoderFileName << "\"></script> (Pfad relativ zur Seite); --write-decoder ORDNER schreibt es.\n";
    }
    out << "Geschützt: " << counts << ".\n";
  }
  return failed ? 1 : 0;
}

}  // namespace cli

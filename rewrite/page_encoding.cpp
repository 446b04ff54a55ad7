#include "page_encoding.h"

#include <algorithm>
#include <iterator>

#include "core/utf8.h"

namespace rewrite {
namespace {

constexpr std::string_view ByteOrderMark = "\xEF\xBB\xBF";

}  // namespace

// Browsers read pages declared as ISO-8859-1 or ASCII as Windows-1252.
std::variant<PageReading, std::string> EncodingOf(std::string_view page, const std::string& declared) {
  if (page.starts_with(ByteOrderMark)) return PageReading{PageEncoding::Utf8, std::nullopt};
  if (page.starts_with("\xFE\xFF") || page.starts_with("\xFF\xFE")) {
    return std::string("Seiten in UTF-16 werden nicht unterstützt");
  }
  static constexpr std::string_view Utf8Labels[] = {"utf-8", "utf8", "unicode-1-1-utf-8"};
  static constexpr std::string_view Latin1Labels[] = {"windows-1252", "iso-8859-1", "iso8859-1", "iso_8859-1",
                                                      "latin1",       "l1",         "cp1252",    "x-cp1252",
                                                      "us-ascii",     "ascii",      "cp819",     "ibm819"};
  const auto among = [&](const auto& labels) {
    return std::find(std::begin(labels), std::end(labels), declared) != std::end(labels);
  };
  if (among(Utf8Labels)) return PageReading{PageEncoding::Utf8, std::nullopt};
  if (among(Latin1Labels)) return PageReading{PageEncoding::Windows1252, std::nullopt};
  if (!declared.empty()) {
    return "die Zeichenkodierung „" + declared + "“ wird nicht unterstützt (nur UTF-8, Windows-1252 und ISO-8859-1)";
  }
  // Undeclared: UTF-8 when the bytes are, else what a German browser assumes.
  const std::optional<std::size_t> firstNonUtf8 = utf8::FirstInvalid(page);
  return PageReading{firstNonUtf8 ? PageEncoding::Windows1252 : PageEncoding::Utf8, firstNonUtf8};
}

std::string_view DeclarationOf(PageEncoding encoding) {
  return encoding == PageEncoding::Windows1252 ? "<meta charset=\"windows-1252\">" : "<meta charset=\"utf-8\">";
}

}  // namespace rewrite

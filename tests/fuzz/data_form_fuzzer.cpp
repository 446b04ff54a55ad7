// The data form: the fallback as plain ASCII HTML that reads back as its
// text; the span the tool writes, whose attribute velumor-decode.js reads as
// the carriers and decodes to the text's page codes; and the search for
// blocks of both forms in any page, bytes or 16-bit text alike. Byte 0 is
// the seed (bit 7: shown only after a person acts); the rest is the text,
// then after a byte 0xFF the fallback or placeholder.
#include <cstdint>
#include <string>
#include <vector>

#include "../tool_run.h"
#include "core/data_form.h"
#include "core/decoder.h"
#include "reference.h"

namespace {

using reference::Check;

// Reads the fallback HTML back as the browser would: only decimal character
// references may stand for characters.
void CheckFallback(std::u16string_view text) {
  const std::string html = common::FallbackHtml(text);
  std::u32string read;
  for (std::size_t at = 0; at < html.size(); ++at) {
    const char c = html[at];
    Check(static_cast<unsigned char>(c) < 0x80 && c != '<' && c != '>' && c != '"', "fallback HTML not plain ASCII");
    if (c != '&') {
      read.push_back(static_cast<char32_t>(c));
      continue;
    }
    Check(html.substr(at, 2) == "&#", "a stray ampersand in the fallback");
    char32_t value = 0;
    std::size_t digit = at + 2;
    for (; digit < html.size() && html[digit] >= '0' && html[digit] <= '9'; ++digit) {
      value = value * 10 + static_cast<char32_t>(html[digit] - '0');
      Check(value <= 0x10FFFF, "a reference beyond Unicode");
    }
    Check(digit > at + 2 && digit < html.size() && html[digit] == ';', "a reference without digits or end");
    read.push_back(value);
    at = digit;
  }
  std::u32string expected;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
      expected.push_back(0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00));
    } else {
      expected.push_back(c >= 0xD800 && c <= 0xDFFF ? 0xFFFD : c);
    }
  }
  Check(read == expected, "fallback HTML does not read back as its text");
}

// Blocks are ASCII: a page found in bytes and the same page as 16-bit text
// give the same blocks at the same places.
void CheckSearch(std::string_view page) {
  const std::vector<std::string_view> found = common::FindCarrierStrings(page);
  std::u16string latin1;
  for (const char c : page) latin1.push_back(static_cast<unsigned char>(c));
  const std::vector<std::u16string_view> wideFound = common::FindCarrierStrings(std::u16string_view(latin1));
  Check(found.size() == wideFound.size(), "bytes and 16-bit text give different blocks");
  std::size_t after = 0;
  for (std::size_t k = 0; k < found.size(); ++k) {
    const auto begin = static_cast<std::size_t>(found[k].data() - page.data());
    Check(begin >= after && begin + found[k].size() <= page.size(), "blocks out of order or outside the page");
    Check(static_cast<std::size_t>(wideFound[k].data() - latin1.data()) == begin &&
              wideFound[k].size() == found[k].size(),
          "bytes and 16-bit text give different blocks");
    Check(found[k].find('"') == found[k].npos, "a carrier string holds a quotation mark");
    const std::string_view opening = page.substr(0, begin);
    Check(opening.ends_with("var c=\"") || opening.ends_with("data-velumor=\""), "a block found without its opening");
    after = begin + found[k].size();
  }
}

// `shown` is the fallback, or with `interaction` the placeholder shown until
// a person acts; the element must hold one block all the same.
void CheckElement(const std::string& text, const std::string* shown, bool interaction, unsigned seed) {
  std::vector<std::string> args = {"--format", "data", "--seed", std::to_string(seed)};
  const std::string option = interaction ? "--placeholder" : "--fallback";
  if (interaction) args.insert(args.end(), {"--reveal", "interaction"});
  if (shown) args.insert(args.end(), {option, *shown});
  const ToolRun run = Tool(args, text);
  if (shown && reference::FirstInvalid(*shown)) {
    Check(run.code == 2 && run.err.find(option) != std::string::npos, "invalid fallback or placeholder not refused");
    return;
  }
  if (reference::FirstInvalid(text) || text.empty() || text.starts_with("\xEF\xBB\xBF")) return;
  Check(run.code == 0, "the data form failed");
  const std::u16string shownText = shown         ? reference::Utf16(reference::CodePoints(*shown))
                                   : interaction ? std::u16string(common::DefaultPlaceholder)
                                                 : std::u16string(common::DefaultFallback);
  const std::string shownHtml = common::FallbackHtml(shownText);
  const std::string head = "<span data-velumor=\"";
  const std::string tail = interaction ? "\" data-velumor-reveal=\"interaction\" tabindex=\"0\" role=\"button\">" +
                                             shownHtml + "<noscript> (dazu ist JavaScript n&#246;tig)</noscript></span>"
                                       : "\">" + shownHtml + "</span>";
  Check(run.out.starts_with(head) && run.out.ends_with(tail) && run.out.size() >= head.size() + tail.size(),
        "the data element is not span, carriers, fallback");
  const std::string_view carriers =
      std::string_view(run.out).substr(head.size(), run.out.size() - head.size() - tail.size());
  // No quotation mark, no ampersand: the attribute's value is the carriers themselves.
  Check(reference::AllCarriers(carriers), "a carrier the attribute would not keep");
  if (!reference::ContainsScriptOrStyle(text)) {
    Check(reference::DecodeCarriers(carriers) == reference::PageCodes(reference::CodePoints(text)),
          "the data element does not decode to the text's page codes");
  }
  const ToolRun script = Tool({"--seed", std::to_string(seed)}, text);
  Check(reference::CarriersOfScript(script.out) == carriers, "data and script form carry different carriers");
  const auto found = common::FindCarrierStrings(std::string_view(run.out));
  Check(found.size() == 1 && found[0] == carriers, "the data element is not found as one block");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const std::string input(reinterpret_cast<const char*>(data + 1), size - 1);
  std::u16string units;
  for (std::size_t i = 0; i + 1 < input.size(); i += 2) {
    units.push_back(
        static_cast<char16_t>(static_cast<unsigned char>(input[i]) | static_cast<unsigned char>(input[i + 1]) << 8));
  }
  CheckFallback(units);
  CheckSearch(input);
  const std::size_t split = input.find('\xFF');
  const std::string text = input.substr(0, split);
  const std::string fallback = split == input.npos ? std::string() : input.substr(split + 1);
  CheckElement(text, split == input.npos ? nullptr : &fallback, data[0] & 0x80, data[0]);
  return 0;
}

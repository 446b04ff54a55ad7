// --decode over any page: it ends with a result or the message that there is
// no block. Then a page is built from the input: byte 0xFF separates pieces,
// the odd ones are texts that go in as blocks (script or data form, line
// breaks as an editor may have changed them), the even ones are what stands
// between; --decode must find every block and nothing else.
#include <cstdint>
#include <string>
#include <vector>

#include "../tool_run.h"
#include "core/block_frame.h"
#include "core/common.h"
#include "core/data_form.h"
#include "reference.h"

namespace {

using reference::Check;

void CheckAnyPage(const std::string& page) {
  const ToolRun run = Tool({"--decode"}, page);
  if (run.code == 1) {
    Check(run.out.empty() && run.err.find("keinen Velumor-Block") != std::string::npos, "--decode failed otherwise");
  } else {
    Check(run.code == 0 && run.out.ends_with('\n'), "--decode ended without a result");
  }
}

// Each page code as the character with that code point, in UTF-8.
std::string AsUtf8(std::string_view codes) {
  std::string utf8;
  for (const char c : codes) {
    const auto code = static_cast<unsigned char>(c);
    if (code < 0x80) {
      utf8.push_back(c);
    } else {
      utf8.push_back(static_cast<char>(0xC0 | (code >> 6)));
      utf8.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    }
  }
  return utf8;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const unsigned forms = data[0];  // bit k: block k in the data form; bit 7: line feeds only
  const std::string input(reinterpret_cast<const char*>(data + 1), size - 1);
  CheckAnyPage(input);

  std::vector<std::string> pieces(1);
  for (const char c : input) {
    if (c == '\xFF') {
      pieces.emplace_back();
    } else {
      pieces.back().push_back(c);
    }
  }
  if (pieces.size() < 2) return 0;
  common::PseudoRandom random(forms);
  const common::BlockFrame dataFrame = common::BlockFrame::Data(common::FallbackHtml(common::DefaultFallback));
  std::string page, expected;
  for (std::size_t k = 0; k < pieces.size(); ++k) {
    if (k % 2 == 0) {
      // Without quotation marks the text between can neither hold a block nor end one.
      std::erase(pieces[k], '"');
      page += pieces[k];
      continue;
    }
    const std::string text = reference::OnlyValid(pieces[k]);
    const std::optional<std::string> script = common::EncodeText(reference::Utf16(reference::CodePoints(text)), random);
    Check(script.has_value(), "encoder: self-check failed");
    const std::string_view carriers = reference::CarriersOfScript(*script);
    if (!reference::ContainsScriptOrStyle(text)) {
      Check(reference::DecodeCarriers(carriers) == reference::PageCodes(reference::CodePoints(text)),
            "block does not decode to the text's page codes");
    }
    const bool dataForm = k / 2 < 7 && ((forms >> (k / 2)) & 1);
    std::string block =
        dataForm ? std::string(dataFrame.Before()) + std::string(carriers) + std::string(dataFrame.After()) : *script;
    if (forms & 0x80) std::erase(block, '\r');
    page += block;
    expected += AsUtf8(reference::DecodeCarriers(carriers)) + "\n";
  }
  const ToolRun run = Tool({"--decode"}, page);
  Check(run.code == 0, "--decode found no block");
  Check(run.out == expected, "--decode missed a block, found one too many or decoded one wrongly");
  return 0;
}

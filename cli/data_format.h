// The data form of a block, for pages whose Content-Security-Policy refuses
// inline scripts and for content inserted after the page has loaded:
// <span data-velumor="CARRIERS">FALLBACK</span>, decoded by the external
// script velumor-decode.js.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace cli {

inline constexpr std::u16string_view DefaultFallback = u"*** Bitte aktivieren Sie JavaScript in Ihrem Browser ***";
inline constexpr std::string_view DecoderFileName = "velumor-decode.js";

// The decoder script, as velumor-decode.js holds it.
std::string_view DecoderScriptText();

// A fallback text as plain ASCII HTML: markup characters and everything
// beyond ASCII as character references, so it suits a page in any encoding.
std::string FallbackHtml(std::u16string_view text);

// The data element for the carriers of a script block; `rest` from DataElementRest.
std::string DataElement(std::string_view scriptBlock, std::string_view rest);

// The carrier strings of all blocks of a page, both forms, in page order.
// Blocks are ASCII, so a page in bytes may be in any 8-bit encoding.
std::vector<std::u16string_view> FindAllCarrierStrings(std::u16string_view page);
std::vector<std::string_view> FindAllCarrierStrings(std::string_view page);

}  // namespace cli

namespace cli {

// Replaces a file with the given contents as a whole, or leaves it as it was.
using FileWriter = std::function<bool(const std::string& path, std::string_view data)>;

// Writes velumor-decode.js into the folder, which is made when it is missing;
// returns the file's path, or nothing when it cannot be written.
std::optional<std::string> WriteDecoderScript(const std::string& folder, const FileWriter& write);

}  // namespace cli

#include "data_format.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "core/common.h"
#include "core/decoder.h"
#include "core/utf16.h"

namespace cli {

std::string FallbackHtml(std::u16string_view text) {
  std::string html;
  for (std::size_t i = 0; i < text.size(); ++i) {
    char32_t c = text[i];
    if (utf16::IsHighSurrogate(c) && i + 1 < text.size() && utf16::IsLowSurrogate(text[i + 1])) {
      c = utf16::CodePoint(c, text[++i]);
    } else if (utf16::IsSurrogate(c)) {
      c = 0xFFFD;
    }
    if (c < 0x80 && c != '<' && c != '>' && c != '&' && c != '"') {
      html.push_back(static_cast<char>(c));
    } else {
      html += "&#" + std::to_string(static_cast<unsigned long>(c)) + ";";
    }
  }
  return html;
}

std::string DataElement(std::string_view scriptBlock, std::string_view rest) {
  const std::string_view head = common::BlockHead(), tail = common::BlockTail();
  const std::string_view carriers = scriptBlock.substr(head.size(), scriptBlock.size() - head.size() - tail.size());
  std::string element;
  element.reserve(carriers.size() + rest.size() + 20);
  element.append("<span data-velumor=\"").append(carriers).append(rest);
  return element;
}

namespace {

template <class CharT>
std::vector<std::basic_string_view<CharT>> FindBothForms(std::basic_string_view<CharT> page) {
  std::vector<std::basic_string_view<CharT>> found = common::FindCarrierStrings(page);
  // The carriers hold no quotation mark, so the attribute ends at the first.
  constexpr std::string_view Attribute = "data-velumor=\"";
  const std::basic_string<CharT> opening(Attribute.begin(), Attribute.end());
  for (std::size_t at = page.find(opening); at != page.npos; at = page.find(opening, at)) {
    const std::size_t begin = at + opening.size(), end = page.find(CharT('"'), begin);
    if (end == page.npos) break;
    found.push_back(page.substr(begin, end - begin));
    at = end;
  }
  std::sort(found.begin(), found.end(), [](auto a, auto b) { return a.data() < b.data(); });
  return found;
}

}  // namespace

std::vector<std::u16string_view> FindAllCarrierStrings(std::u16string_view page) { return FindBothForms(page); }
std::vector<std::string_view> FindAllCarrierStrings(std::string_view page) { return FindBothForms(page); }

std::optional<std::string> WriteDecoderScript(const std::string& folder, const FileWriter& write) {
  const std::filesystem::path dir(std::u8string(folder.begin(), folder.end()));
  std::error_code error;
  std::filesystem::create_directories(dir, error);
  const std::u8string path = (dir / DecoderFileName).u8string();
  std::string pathText(path.begin(), path.end());
  if (error || !write(pathText, DecoderScriptText())) return std::nullopt;
  return pathText;
}

}  // namespace cli

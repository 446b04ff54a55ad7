#include "script_style_escapes.h"

#include <algorithm>
#include <string>

#include "carrier_blocks.h"

namespace common {
namespace {

bool IsAsciiLetter(char16_t c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'); }
bool IsTagSpace(char16_t c) { return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\f'; }
char16_t Lower(char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 32) : c; }

// A small HTML tokenizer: just enough to know where elements whose content is
// not markup begin and end.
class Scanner {
 public:
  explicit Scanner(std::u16string_view text) : text_(text) {}

  std::vector<RawTextContents> Run() {
    while ((at_ = text_.find(u'<', at_)) != text_.npos) {
      if (Starts(u"<!--")) {
        // "<!-->" and "<!--->" are whole comments
        const std::size_t end = text_.find(u"-->", at_ + 2);
        at_ = end == text_.npos ? text_.size() : end + 3;
      } else if (Starts(u"<!") || Starts(u"<?") ||
                 (Starts(u"</") && at_ + 2 < text_.size() && IsAsciiLetter(text_[at_ + 2]))) {
        SkipPast(u'>');
      } else if (at_ + 1 < text_.size() && IsAsciiLetter(text_[at_ + 1])) {
        StartTag();
      } else {
        ++at_;
      }
    }
    return std::move(found_);
  }

 private:
  bool Starts(std::u16string_view prefix) const { return text_.substr(at_, prefix.size()) == prefix; }

  void SkipPast(char16_t c) {
    const std::size_t end = text_.find(c, at_);
    at_ = end == text_.npos ? text_.size() : end + 1;
  }

  void StartTag() {
    const std::size_t nameBegin = ++at_;
    while (at_ < text_.size() && !IsTagSpace(text_[at_]) && text_[at_] != u'/' && text_[at_] != u'>') ++at_;
    std::u16string name(text_.substr(nameBegin, at_ - nameBegin));
    std::transform(name.begin(), name.end(), name.begin(), Lower);
    SkipAttributes();
    if (name == u"plaintext") {
      at_ = text_.size();
      return;
    }
    static constexpr std::u16string_view NotMarkup[] = {u"textarea", u"title",    u"xmp",     u"iframe",
                                                        u"noembed",  u"noframes", u"noscript"};
    const bool script = name == u"script", style = name == u"style";
    if (!script && !style && std::find(std::begin(NotMarkup), std::end(NotMarkup), name) == std::end(NotMarkup)) {
      return;
    }
    const std::size_t begin = at_;
    const std::size_t end = EndTagFrom(begin, name);
    if (script || style) found_.push_back({begin, end, script ? RawTextLanguage::Script : RawTextLanguage::Style});
    at_ = end;
  }

  // Attributes up to the tag's ">"; a ">" inside a quoted value does not end it.
  void SkipAttributes() {
    while (at_ < text_.size()) {
      const char16_t c = text_[at_];
      if (c == u'>') {
        ++at_;
        return;
      }
      if (c != u'=') {
        ++at_;
        continue;
      }
      ++at_;
      while (at_ < text_.size() && IsTagSpace(text_[at_])) ++at_;
      if (at_ < text_.size() && (text_[at_] == u'"' || text_[at_] == u'\'')) {
        const char16_t quote = text_[at_++];
        SkipPast(quote);
      }
    }
  }

  // Where "</name" followed by a space, "/" or ">" starts, or the text's end.
  std::size_t EndTagFrom(std::size_t from, const std::u16string& name) const {
    for (std::size_t i = text_.find(u"</", from); i != text_.npos; i = text_.find(u"</", i + 2)) {
      const std::size_t after = i + 2 + name.size();
      if (after > text_.size()) break;
      bool same = true;
      for (std::size_t k = 0; k < name.size() && same; ++k) same = Lower(text_[i + 2 + k]) == name[k];
      if (same && (after == text_.size() || IsTagSpace(text_[after]) || text_[after] == u'/' || text_[after] == u'>')) {
        return i;
      }
    }
    return text_.size();
  }

  std::u16string_view text_;
  std::size_t at_ = 0;
  std::vector<RawTextContents> found_;
};

}  // namespace

std::vector<RawTextContents> FindScriptAndStyleContents(std::u16string_view text) { return Scanner(text).Run(); }

const RawTextContents* PageCodeWriter::ElementAt(std::size_t i) const {
  const auto after = std::upper_bound(contents_.begin(), contents_.end(), i,
                                      [](std::size_t index, const RawTextContents& e) { return index < e.begin; });
  if (after == contents_.begin()) return nullptr;
  const RawTextContents& element = *(after - 1);
  return i < element.end ? &element : nullptr;
}

std::size_t PageCodeWriter::Fill(std::u16string_view text, std::size_t& i, std::size_t end, std::uint8_t* codes,
                                 std::size_t wanted) const {
  std::size_t made = 0;
  while (i < end && made < wanted) {
    // Latin-1 runs are their own codes; each other character goes alone.
    const std::size_t copied = CopyLatin1Run(text.data() + i, std::min(end - i, wanted - made), codes + made);
    made += copied;
    i += copied;
    if (i < end && made < wanted && text[i] > 0xFF) {
      Emit(text, i++, [&](int code) { codes[made++] = static_cast<std::uint8_t>(code); });
    }
  }
  return made;
}

}  // namespace common

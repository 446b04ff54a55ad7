#include "address_pattern.h"

#include <algorithm>
#include <array>
#include <optional>
#include <string>

namespace rewrite {
namespace {

bool IsAsciiLetter(char16_t c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'); }
// Letters beyond ASCII as addresses may hold them ("info@müller.de"): Latin,
// Greek, Cyrillic and the other alphabets below the punctuation block, and the
// East Asian scripts; not the typographic quotes, dashes and spaces.
bool IsOtherLetter(char16_t c) {
  return (c >= 0xC0 && c < 0x2000 && c != 0xD7 && c != 0xF7) || (c >= 0x3040 && c < 0xD800) ||
         (c >= 0xF900 && c < 0xFE30);
}
bool IsLetter(char16_t c) { return IsAsciiLetter(c) || IsOtherLetter(c); }
bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }
bool IsLabelCharacter(char16_t c) { return IsLetter(c) || IsDigit(c) || c == u'-'; }
bool IsLocalCharacter(char16_t c) { return IsLabelCharacter(c) || c == u'.' || c == u'_' || c == u'+' || c == u'%'; }
bool IsSpace(char16_t c) { return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\f' || c == 0xA0; }

// File names like "logo@2x.png" look like addresses; their endings are no
// top-level domains anyone writes to.
bool IsFileEnding(std::u16string_view label) {
  static constexpr std::array<std::u16string_view, 14> Endings = {u"png",  u"jpg",  u"jpeg", u"gif", u"svg",
                                                                  u"webp", u"avif", u"ico",  u"bmp", u"css",
                                                                  u"js",   u"html", u"htm",  u"pdf"};
  std::u16string lower(label);
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](char16_t c) { return IsAsciiLetter(c) ? static_cast<char16_t>(c | 0x20) : c; });
  return std::find(Endings.begin(), Endings.end(), lower) != Endings.end();
}

// The domain after the "@" at `at`: labels of letters, digits and inner
// hyphens, at least two, the last one letters only. Returns its end, or
// `at` when there is none.
std::size_t DomainEnd(std::u16string_view text, std::size_t at) {
  std::size_t i = at + 1, end = at, labels = 0;
  std::u16string_view lastLabel;
  while (true) {
    const std::size_t begin = i;
    while (i < text.size() && IsLabelCharacter(text[i])) ++i;
    const std::u16string_view label = text.substr(begin, i - begin);
    if (label.empty() || label.front() == '-' || label.back() == '-') break;
    ++labels;
    lastLabel = label;
    end = i;
    if (i + 1 < text.size() && text[i] == u'.' && IsLabelCharacter(text[i + 1])) {
      ++i;
      continue;
    }
    break;
  }
  if (labels < 2 || end != i) return at;
  const bool lettersOnly = std::all_of(lastLabel.begin(), lastLabel.end(), IsLetter);
  if (!lettersOnly || lastLabel.size() < 2 || IsFileEnding(lastLabel)) return at;
  // "2x" and "3x" before the ending mark a picture size, not a host.
  const std::u16string_view first = text.substr(at + 1, text.find(u'.', at + 1) - at - 1);
  if (first.size() >= 2 && first.back() == u'x' && std::all_of(first.begin(), first.end() - 1, IsDigit)) return at;
  return end;
}

// What follows an address must end it: not another "@", not a path, not the
// ":" of "git@host.org:repo".
bool EndsAnAddress(std::u16string_view text, std::size_t end) {
  if (end >= text.size()) return true;
  const char16_t next = text[end];
  const bool followedByWord = end + 1 < text.size() && !IsSpace(text[end + 1]);
  return next != u'@' && next != u'/' && next != u'_' && !(next == u':' && followedByWord);
}

struct Candidate {
  std::size_t begin, end;
  bool taken;  // false: it failed only on what follows it
};

// The address around the "@" at `at` whose domain ends at `domainEnd`, its
// local part starting no earlier than `from`; nothing when the text before
// the "@" or the domain rule it out.
std::optional<Candidate> CandidateAt(std::u16string_view text, std::size_t at, std::size_t from,
                                     std::size_t domainEnd) {
  std::size_t begin = at;
  while (begin > from && IsLocalCharacter(text[begin - 1])) --begin;
  while (begin < at && text[begin] == u'.') ++begin;  // "...info@" in running text
  if (begin == at || text[at - 1] == u'.' || text.substr(begin, at - begin).find(u"..") != text.npos) {
    return std::nullopt;
  }
  // A handle of the fediverse ("@name@host.social") is no mailbox.
  if (begin > 0 && text[begin - 1] == u'@') return std::nullopt;
  // Part of a URL: the word it stands in has a path or a scheme before it.
  std::size_t wordBegin = begin;
  while (wordBegin > 0 && !IsSpace(text[wordBegin - 1])) --wordBegin;
  if (text.substr(wordBegin, begin - wordBegin).find(u'/') != text.npos) return std::nullopt;
  if (domainEnd == at) return std::nullopt;
  return Candidate{begin, domainEnd, EndsAnAddress(text, domainEnd)};
}

}  // namespace

// Each address taken becomes a block, and a later run reads the text on
// either side of it as a text of its own. So no decision may rest on the
// letters of an address that is taken: a local part never reaches back into
// the domain before it, and an address that failed only on what follows it
// is taken when what follows is itself taken.
std::vector<AddressMatch> FindAddresses(std::u16string_view text) {
  std::vector<Candidate> candidates;
  std::size_t from = 0;
  for (std::size_t at = text.find(u'@'); at != text.npos; at = text.find(u'@', at + 1)) {
    const std::size_t domainEnd = DomainEnd(text, at);
    if (const auto candidate = CandidateAt(text, at, from, domainEnd)) candidates.push_back(*candidate);
    from = domainEnd > at ? domainEnd : at + 1;
  }
  std::size_t nextTaken = text.size();
  for (auto candidate = candidates.rbegin(); candidate != candidates.rend(); ++candidate) {
    if (!candidate->taken) candidate->taken = EndsAnAddress(text.substr(0, nextTaken), candidate->end);
    if (candidate->taken) nextTaken = candidate->begin;
  }
  std::vector<AddressMatch> found;
  for (const Candidate& candidate : candidates) {
    if (candidate.taken) found.push_back({candidate.begin, candidate.end});
  }
  return found;
}

}  // namespace rewrite

#include "address_pattern.h"

#include <algorithm>
#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace rewrite {
namespace {

bool IsAsciiLetter(char32_t c) { return (c >= U'a' && c <= U'z') || (c >= U'A' && c <= U'Z'); }
// Letters beyond ASCII as addresses may hold them ("info@müller.de"): Latin,
// Greek, Cyrillic and the other alphabets below the punctuation block, and the
// East Asian scripts; not the typographic quotes, dashes and spaces.
bool IsOtherLetter(char32_t c) {
  return (c >= 0xC0 && c < 0x2000 && c != 0xD7 && c != 0xF7) || (c >= 0x3040 && c < 0xD800) ||
         (c >= 0xF900 && c < 0xFE30);
}
bool IsLetter(char32_t c) { return IsAsciiLetter(c) || IsOtherLetter(c); }
bool IsDigit(char32_t c) { return c >= U'0' && c <= U'9'; }
bool IsLabelCharacter(char32_t c) { return IsLetter(c) || IsDigit(c) || c == U'-'; }
bool IsLocalCharacter(char32_t c) { return IsLabelCharacter(c) || c == U'.' || c == U'_' || c == U'+' || c == U'%'; }
bool IsSpace(char32_t c) { return c == U' ' || c == U'\t' || c == U'\n' || c == U'\r' || c == U'\f' || c == 0xA0; }

// The characters of [begin, end).
std::u32string Characters(const PageText& text, std::size_t begin, std::size_t end) {
  std::u32string characters;
  for (std::size_t i = begin; i < end; i = text.Next(i)) characters.push_back(text.At(i));
  return characters;
}

// File names like "logo@2x.png" look like addresses; their endings are no
// top-level domains anyone writes to.
bool IsFileEnding(std::u32string label) {
  static constexpr std::array<std::u32string_view, 14> Endings = {U"png",  U"jpg",  U"jpeg", U"gif", U"svg",
                                                                  U"webp", U"avif", U"ico",  U"bmp", U"css",
                                                                  U"js",   U"html", U"htm",  U"pdf"};
  std::transform(label.begin(), label.end(), label.begin(),
                 [](char32_t c) { return IsAsciiLetter(c) ? static_cast<char32_t>(c | 0x20) : c; });
  return std::find(Endings.begin(), Endings.end(), label) != Endings.end();
}

// The domain after the "@" at `at`: labels of letters, digits and inner
// hyphens, at least two, the last one letters only. Returns its end, or
// `at` when there is none.
std::size_t DomainEnd(const PageText& text, std::size_t at) {
  std::size_t i = at + 1, end = at, labels = 0, lastBegin = at;
  while (true) {
    const std::size_t begin = i;
    while (i < text.size() && IsLabelCharacter(text.At(i))) i = text.Next(i);
    if (i == begin || text.At(begin) == U'-' || text.At(text.Previous(i)) == U'-') break;
    ++labels;
    lastBegin = begin;
    end = i;
    if (i < text.size() && text.At(i) == U'.' && i + 1 < text.size() && IsLabelCharacter(text.At(i + 1))) {
      ++i;
      continue;
    }
    break;
  }
  if (labels < 2 || end != i) return at;
  const std::u32string lastLabel = Characters(text, lastBegin, end);
  const bool lettersOnly = std::all_of(lastLabel.begin(), lastLabel.end(), IsLetter);
  if (!lettersOnly || lastLabel.size() < 2 || IsFileEnding(lastLabel)) return at;
  // "2x" and "3x" before the ending mark a picture size, not a host: ASCII
  // only, so bytes and characters are one.
  const std::string_view rest = text.bytes().substr(at + 1);
  const std::string_view first = rest.substr(0, rest.find('.'));
  if (first.size() >= 2 && first.back() == 'x' && std::all_of(first.begin(), first.end() - 1, IsDigit)) return at;
  return end;
}

// What follows an address must end it: not another "@", not a path, not the
// ":" of "git@host.org:repo". Only the text before `limit` counts.
bool EndsAnAddress(const PageText& text, std::size_t end, std::size_t limit) {
  if (end >= limit) return true;
  const char32_t next = text.At(end);
  const std::size_t after = text.Next(end);
  const bool followedByWord = after < limit && !IsSpace(text.At(after));
  return next != U'@' && next != U'/' && next != U'_' && !(next == U':' && followedByWord);
}

struct Candidate {
  std::size_t begin, end;
  bool taken;  // false: it failed only on what follows it
};

// The address around the "@" at `at` whose domain ends at `domainEnd`, its
// local part starting no earlier than `from`; nothing when the text before
// the "@" or the domain rule it out.
std::optional<Candidate> CandidateAt(const PageText& text, std::size_t at, std::size_t from, std::size_t domainEnd) {
  std::size_t begin = at;
  while (begin > from && IsLocalCharacter(text.At(text.Previous(begin)))) begin = text.Previous(begin);
  while (begin < at && text.At(begin) == U'.') ++begin;  // "...info@" in running text
  const std::string_view local = text.bytes().substr(begin, at - begin);
  if (begin == at || text.At(at - 1) == U'.' || local.find("..") != local.npos) return std::nullopt;
  // A handle of the fediverse ("@name@host.social") is no mailbox.
  if (begin > 0 && text.At(text.Previous(begin)) == U'@') return std::nullopt;
  // Part of a URL: the word it stands in has a path or a scheme before it.
  std::size_t wordBegin = begin;
  while (wordBegin > 0 && !IsSpace(text.At(text.Previous(wordBegin)))) wordBegin = text.Previous(wordBegin);
  if (text.bytes().substr(wordBegin, begin - wordBegin).find('/') != std::string_view::npos) return std::nullopt;
  if (domainEnd == at) return std::nullopt;
  return Candidate{begin, domainEnd, EndsAnAddress(text, domainEnd, text.size())};
}

}  // namespace

// Each address taken becomes a block, and a later run reads the text on
// either side of it as a text of its own. So no decision may rest on the
// letters of an address that is taken: a local part never reaches back into
// the domain before it, and an address that failed only on what follows it
// is taken when what follows is itself taken.
std::vector<AddressMatch> FindAddresses(const PageText& text) {
  std::vector<Candidate> candidates;
  std::size_t from = 0;
  const std::string_view bytes = text.bytes();
  for (std::size_t at = bytes.find('@'); at != bytes.npos; at = bytes.find('@', at + 1)) {
    const std::size_t domainEnd = DomainEnd(text, at);
    if (const auto candidate = CandidateAt(text, at, from, domainEnd)) candidates.push_back(*candidate);
    from = domainEnd > at ? domainEnd : at + 1;
  }
  std::size_t nextTaken = text.size();
  for (auto candidate = candidates.rbegin(); candidate != candidates.rend(); ++candidate) {
    if (!candidate->taken) candidate->taken = EndsAnAddress(text, candidate->end, nextTaken);
    if (candidate->taken) nextTaken = candidate->begin;
  }
  std::vector<AddressMatch> found;
  for (const Candidate& candidate : candidates) {
    if (candidate.taken) found.push_back({candidate.begin, candidate.end});
  }
  return found;
}

}  // namespace rewrite

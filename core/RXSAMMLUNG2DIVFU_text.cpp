#include "RXSAMMLUNG2DIVFU_text.h"

#include <version.h>

#include <cmath>

#include "windows1252.h"

namespace RXSAMMLUNG2DIVFU {
namespace {

char16_t UpperAscii(char16_t c) { return (c >= u'a' && c <= u'z') ? c - (u'a' - u'A') : c; }

// Replaces every occurrence of `placeholder`, resuming behind each value.
std::u16string ReplaceEvery(std::u16string_view text, std::u16string_view placeholder, std::u16string_view value) {
  std::u16string result;
  result.reserve(text.size());
  std::size_t from = 0;
  for (std::size_t at = text.find(placeholder); at != std::u16string_view::npos; at = text.find(placeholder, from)) {
    result.append(text.substr(from, at - from));
    result.append(value);
    from = at + placeholder.size();
  }
  result.append(text.substr(from));
  return result;
}

}  // namespace

std::u16string ExpandEscapes(std::u16string_view text) {
  std::u16string result;
  result.reserve(text.size());
  bool pending = false;
  for (const char16_t c : text) {
    if (pending) {
      switch (UpperAscii(c)) {
        case u'T':
          result.push_back(u'\t');
          break;
        case u'N':
          result.push_back(u'\r');
          break;
        case u'L':
          result.push_back(u'\n');
          break;
        case u'H':
          result.push_back(u'"');
          break;
        default:
          result.push_back(c);
      }
      pending = false;
    } else if (c == u'\\') {
      pending = true;
    } else {
      result.push_back(c);
    }
  }
  return result;
}

std::u16string ReplacePlaceholders(std::u16string_view templateText, const PlaceholderValues& values) {
  std::u16string result = ReplaceEvery(templateText, u"%10", values[9]);
  for (int n = 1; n <= 9; ++n) {
    const char16_t placeholder[] = {u'%', static_cast<char16_t>(u'0' + n)};
    result = ReplaceEvery(result, std::u16string_view(placeholder, 2), values[n - 1]);
  }
  return result;
}

std::u16string FormatTemplate(std::u16string_view templateText, const PlaceholderValues& values) {
  return ExpandEscapes(ReplacePlaceholders(templateText, values));
}

std::u16string ChooseText(int index, const PlaceholderValues& variants) {
  if (index < 0 || index > 9) return {};
  return std::u16string(variants[index]);
}

std::u16string VersionText(int flags) {
  return VersionText(flags, velumor_build::VersionMajor, velumor_build::VersionMinor, velumor_build::VersionRevision);
}

std::u16string VersionText(int flags, int major, int minor, int revision) {
  std::u16string core = DecimalText(major);
  core += u'.';
  core += DecimalText(minor);
  if ((flags & 256) == 0) {
    core += u'.';
    core += DecimalText(revision);
  } else if (revision >= 100) {
    // Hundreds of the revision, rounded half to even, as a letter: 150 is "b".
    const int code = 96 + static_cast<int>(std::nearbyint(revision / 100.0));
    if (code <= 255) core.push_back(windows1252::Character(static_cast<unsigned char>(code)));
  }
  switch (flags & 255) {
    case 0:
      return std::u16string(u" (V").append(core).append(u")");
    case 1:
      return core;
    default:
      return {};
  }
}

std::u16string DecimalText(long long value) {
  const std::string digits = std::to_string(value);
  return std::u16string(digits.begin(), digits.end());
}

std::u16string PickString(std::u16string_view first, int flag, std::u16string_view second) {
  return std::u16string(flag != 0 ? first : second);
}

std::u16string WithTrailingBackslash(std::u16string_view text) {
  return PickString(text, !text.empty() && text.back() == u'\\', std::u16string(text) + u"\\");
}

}  // namespace RXSAMMLUNG2DIVFU

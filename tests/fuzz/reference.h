// Plain, slow versions of what the fast code does, written from the rules
// rather than from the code: the fuzz targets hold the program against them.
#pragma once

#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace reference {

// What a target shows about the input when a check fails, if anything.
inline void (*&ShowOnFailure())() {
  static void (*show)() = nullptr;
  return show;
}

// Unless it holds, stops the run with a message; libFuzzer keeps the input that got here.
inline void Check(bool holds, const char* what) {
  if (holds) return;
  std::fprintf(stderr, "fuzz check failed: %s\n", what);
  if (ShowOnFailure()) ShowOnFailure()();
  std::abort();
}

// Bytes for the report of a failed check, escaped where not printable ASCII.
inline void Show(const char* label, std::string_view bytes) {
  std::fprintf(stderr, "%s: \"", label);
  for (const char c : bytes) {
    const auto b = static_cast<unsigned char>(c);
    if (b >= 0x20 && b < 0x7F && b != '\\' && b != '"') {
      std::fputc(b, stderr);
    } else {
      std::fprintf(stderr, "\\x%02X", b);
    }
  }
  std::fprintf(stderr, "\"\n");
}

// The length of the well-formed UTF-8 sequence at bytes[i], or 0: the table
// of well-formed byte sequences in the Unicode standard, row by row: the lead
// bytes, the length, the range of the second byte (every later one 80..BF).
inline int WellFormedLength(std::string_view bytes, std::size_t i) {
  static constexpr unsigned char rows[][5] = {
      {0x00, 0x7F, 1, 0, 0},       {0xC2, 0xDF, 2, 0x80, 0xBF}, {0xE0, 0xE0, 3, 0xA0, 0xBF},
      {0xE1, 0xEC, 3, 0x80, 0xBF}, {0xED, 0xED, 3, 0x80, 0x9F}, {0xEE, 0xEF, 3, 0x80, 0xBF},
      {0xF0, 0xF0, 4, 0x90, 0xBF}, {0xF1, 0xF3, 4, 0x80, 0xBF}, {0xF4, 0xF4, 4, 0x80, 0x8F}};
  const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(bytes[i + k]); };
  for (const auto& [from, to, length, low, high] : rows) {
    if (byte(0) < from || byte(0) > to) continue;
    if (i + length > bytes.size()) return 0;
    for (std::size_t k = 1; k < length; ++k) {
      if (byte(k) < (k == 1 ? low : 0x80) || byte(k) > (k == 1 ? high : 0xBF)) return 0;
    }
    return length;
  }
  return 0;
}

inline std::optional<std::size_t> FirstInvalid(std::string_view bytes) {
  for (std::size_t i = 0; i < bytes.size();) {
    const int length = WellFormedLength(bytes, i);
    if (length == 0) return i;
    i += static_cast<std::size_t>(length);
  }
  return std::nullopt;
}

// The bytes with every sequence that is not well-formed dropped: valid UTF-8
// made of whatever the fuzzer gives.
inline std::string OnlyValid(std::string_view bytes) {
  std::string valid;
  for (std::size_t i = 0; i < bytes.size();) {
    const int length = WellFormedLength(bytes, i);
    if (length > 0) valid.append(bytes.substr(i, static_cast<std::size_t>(length)));
    i += length > 0 ? static_cast<std::size_t>(length) : 1;
  }
  return valid;
}

// The code point of a well-formed sequence: the lead byte's bits below its
// length marker, then six bits from each byte after it.
inline char32_t CodePointAt(std::string_view bytes, std::size_t i, int length) {
  char32_t c = static_cast<unsigned char>(bytes[i]) & (length == 1 ? 0x7F : 0x3F >> (length - 1));
  for (int k = 1; k < length; ++k) c = c * 64 + (static_cast<unsigned char>(bytes[i + k]) & 0x3F);
  return c;
}

// Of valid UTF-8.
inline std::vector<char32_t> CodePoints(std::string_view utf8) {
  std::vector<char32_t> points;
  for (std::size_t i = 0; i < utf8.size();) {
    const int length = WellFormedLength(utf8, i);
    Check(length > 0, "CodePoints of invalid UTF-8");
    points.push_back(CodePointAt(utf8, i, length));
    i += static_cast<std::size_t>(length);
  }
  return points;
}

inline std::u16string Utf16(const std::vector<char32_t>& points) {
  std::u16string text;
  for (const char32_t c : points) {
    if (c < 0x10000) {
      text.push_back(static_cast<char16_t>(c));
    } else {
      text.push_back(static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)));
      text.push_back(static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF)));
    }
  }
  return text;
}

// What the block's script writes for a character: itself up to U+00FF, else
// the decimal character reference.
inline std::string PageCodesOf(char32_t c) {
  if (c <= 0xFF) return std::string(1, static_cast<char>(c));
  return "&#" + std::to_string(static_cast<unsigned long>(c)) + ";";
}

inline std::string PageCodes(const std::vector<char32_t>& points) {
  std::string codes;
  for (const char32_t c : points) codes += PageCodesOf(c);
  return codes;
}

// What the block's script does: the low four bits of two carriers make a
// code; a missing second carrier counts as 0.
inline std::string DecodeCarriers(std::string_view carriers) {
  std::string codes;
  for (std::size_t i = 0; i < carriers.size(); i += 2) {
    const int high = carriers[i] & 15, low = i + 1 < carriers.size() ? carriers[i + 1] & 15 : 0;
    codes.push_back(static_cast<char>(high * 16 + low));
  }
  return codes;
}

// Carriers are printable ASCII from '<' to '~' without the backslash: none
// can end the script's string or the data attribute, or start an escape or
// a character reference.
inline bool AllCarriers(std::string_view carriers) {
  for (const char c : carriers) {
    if (c < '<' || c > '~' || c == '\\') return false;
  }
  return true;
}

// The carriers of a script block as the tool writes it: the string of the
// variable c.
inline std::string_view CarriersOfScript(std::string_view block) {
  const std::size_t begin = block.find("var c=\"");
  Check(begin != block.npos, "block without carrier variable");
  const std::size_t end = block.find('"', begin + 7);
  Check(end != block.npos, "carrier string not closed");
  return block.substr(begin + 7, end - begin - 7);
}

inline bool ContainsScriptOrStyle(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
  }
  return lower.find("<script") != lower.npos || lower.find("<style") != lower.npos;
}

}  // namespace reference

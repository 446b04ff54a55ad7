// Text functions shared by the whole program: escape expansion,
// placeholder formatting, language variants, the version text. Pure: no
// platform calls.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace RXSAMMLUNG2DIVFU {

// "\t" tab, "\n" carriage return, "\l" line feed, "\h" double quote, either
// letter case; a backslash before anything else yields that character, and a
// final lone backslash vanishes.
std::u16string ExpandEscapes(std::u16string_view text);

// Up to ten values for the placeholders "%1" to "%10"; missing ones are empty.
using PlaceholderValues = std::array<std::u16string_view, 10>;

// Fills "%10" first, then "%1" to "%9"; each step resumes behind what it
// inserted, later steps see earlier insertions.
std::u16string ReplacePlaceholders(std::u16string_view templateText, const PlaceholderValues& values = {});

// Placeholders first, then escapes, so escapes inside values expand too.
std::u16string FormatTemplate(std::u16string_view templateText, const PlaceholderValues& values = {});

// The variant at a 0-based index (0 to 9); any other index gives "".
std::u16string ChooseText(int index, const PlaceholderValues& variants);

// The running program's version: flags & 255 selects bracketed (0), plain
// (1) or empty (other); bit 8 writes the revision as a letter.
std::u16string VersionText(int flags);
std::u16string VersionText(int flags, int major, int minor, int revision);

// A number in decimal digits, without leading zeros or fill characters.
std::u16string DecimalText(long long value);

std::u16string PickString(std::u16string_view first, int flag, std::u16string_view second);

std::u16string WithTrailingBackslash(std::u16string_view text);

}  // namespace RXSAMMLUNG2DIVFU

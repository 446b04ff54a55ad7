#include "options.h"

#include <charconv>
#include <string_view>
#include <system_error>

#include "core/utf8.h"

namespace cli {
namespace {

// Applies an option's value (empty for a switch); a German message when the value is not usable.
using Apply = std::optional<std::string> (*)(Options&, const std::string& name, const std::string& value);

struct OptionRow {
  std::string_view shortName, longName;
  std::string_view valueName;  // what the value is, for the message when it is missing; empty for a switch
  Apply apply;
};

template <bool Options::*Field>
std::optional<std::string> Switch(Options& options, const std::string&, const std::string&) {
  options.*Field = true;
  return std::nullopt;
}

template <std::optional<std::string> Options::*Field>
std::optional<std::string> Text(Options& options, const std::string&, const std::string& value) {
  options.*Field = value;
  return std::nullopt;
}

std::optional<std::string> ParseSeed(Options& options, const std::string& name, const std::string& text) {
  std::uint64_t seed = 0;
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, seed);
  if (text.empty() || stop != end || error != std::errc()) {
    return "Ungültiger Startwert für " + name + ": " + text + " (erlaubt sind ganze Zahlen von 0 bis " +
           "18446744073709551615).";
  }
  options.seed = seed;
  return std::nullopt;
}

std::optional<std::string> ParseThreads(Options& options, const std::string& name, const std::string& text) {
  unsigned threads = 0;
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, threads);
  if (text.empty() || stop != end || error != std::errc() || threads < 1 || threads > 64) {
    return "Ungültige Zahl der Threads für " + name + ": " + text + " (erlaubt sind 1 bis 64).";
  }
  options.threads = threads;
  return std::nullopt;
}

std::optional<std::string> Format(Options& options, const std::string&, const std::string& value) {
  if (value != "script" && value != "data") return "Unbekanntes Format für --format: " + value + " (script oder data).";
  options.dataFormat = value == "data";
  return std::nullopt;
}

// Text that goes into the page as it is, so it must be valid UTF-8.
template <std::optional<std::string> Options::*Field>
std::optional<std::string> PageText(Options& options, const std::string& name, const std::string& value) {
  if (utf8::FirstInvalid(value)) return "Der Text für " + name + " ist kein gültiges UTF-8.";
  options.*Field = value;
  return std::nullopt;
}

std::optional<std::string> RevealAt(Options& options, const std::string&, const std::string& value) {
  if (value != "load" && value != "interaction") {
    return "Unbekannter Zeitpunkt für --reveal: " + value + " (load oder interaction).";
  }
  options.reveal = value == "interaction" ? common::Reveal::Interaction : common::Reveal::Load;
  return std::nullopt;
}

constexpr OptionRow Rows[] = {
    {"-h", "--help", "", Switch<&Options::help>},
    {"-d", "--decode", "", Switch<&Options::decode>},
    {"-i", "--input", "Dateiname", Text<&Options::inputPath>},
    {"-o", "--output", "Dateiname", Text<&Options::outputPath>},
    {"-s", "--seed", "Startwert", ParseSeed},
    {"", "--threads", "Anzahl", ParseThreads},
    {"", "--rewrite", "", Switch<&Options::rewrite>},
    {"", "--dry-run", "", Switch<&Options::dryRun>},
    {"", "--format", "Formatname", Format},
    {"", "--fallback", "Text", PageText<&Options::fallback>},
    {"", "--reveal", "Zeitpunkt", RevealAt},
    {"", "--placeholder", "Text", PageText<&Options::placeholder>},
    {"", "--write-decoder", "Ordner", Text<&Options::decoderFolder>},
};

}  // namespace

std::variant<Options, UsageError> ParseArguments(const std::vector<std::string>& args) {
  Options options;
  bool onlyWords = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (onlyWords || arg.empty() || arg[0] != '-' || arg == "-") {
      options.words.push_back(arg);
      continue;
    }
    if (arg == "--") {
      onlyWords = true;
      continue;
    }
    const OptionRow* row = nullptr;
    for (const OptionRow& candidate : Rows) {
      if (arg == candidate.shortName || arg == candidate.longName) row = &candidate;
    }
    if (!row) return UsageError{"Unbekannte Option: " + arg + "."};
    std::string value;
    if (!row->valueName.empty()) {
      if (i + 1 >= args.size())
        return UsageError{"Der Option " + arg + " fehlt der " + std::string(row->valueName) + "."};
      value = args[++i];
    }
    if (auto problem = row->apply(options, arg, value)) return UsageError{std::move(*problem)};
  }
  if (options.inputPath && !options.words.empty()) {
    return UsageError{"Text in den Argumenten und --input schließen sich aus."};
  }
  if (options.rewrite && (options.decode || options.inputPath || options.outputPath)) {
    return UsageError{"--rewrite verträgt sich nicht mit --decode, --input und --output."};
  }
  if (options.rewrite && options.words.empty()) {
    return UsageError{"--rewrite braucht mindestens eine Datei oder einen Ordner."};
  }
  if (options.dryRun && !options.rewrite) return UsageError{"--dry-run gilt nur zusammen mit --rewrite."};
  if (options.fallback && !options.dataFormat) return UsageError{"--fallback gilt nur zusammen mit --format data."};
  if (options.reveal && !options.dataFormat) {
    return UsageError{
        "--reveal gilt nur zusammen mit --format data; der <script>-Block zeigt den Text immer beim Laden."};
  }
  if (options.placeholder && options.reveal != common::Reveal::Interaction) {
    return UsageError{"--placeholder gilt nur zusammen mit --reveal interaction."};
  }
  if (options.fallback && options.reveal == common::Reveal::Interaction) {
    return UsageError{"--fallback gilt nicht mit --reveal interaction; dort setzt --placeholder den Text."};
  }
  return options;
}

}  // namespace cli

#include "options.h"

#include <charconv>
#include <string_view>
#include <system_error>

#include "utf8.h"

namespace cli {
namespace {

// Applies an option's value (empty for a switch); a German message when the value is not usable.
using Apply = std::optional<std::string> (*)(Options&, const std::string& name, const std::string& value);

struct OptionRow {
  std::string_view shortName, longName;
  std::string_view valueName;  // what the value is, for the message when it is missing; empty for a switch
  Apply apply;
};

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

constexpr OptionRow Rows[] = {
    {"-h", "--help", "",
     [](Options& o, const std::string&, const std::string&) -> std::optional<std::string> {
       o.help = true;
       return std::nullopt;
     }},
    {"-d", "--decode", "",
     [](Options& o, const std::string&, const std::string&) -> std::optional<std::string> {
       o.decode = true;
       return std::nullopt;
     }},
    {"-i", "--input", "Dateiname",
     [](Options& o, const std::string&, const std::string& v) -> std::optional<std::string> {
       o.inputPath = v;
       return std::nullopt;
     }},
    {"-o", "--output", "Dateiname",
     [](Options& o, const std::string&, const std::string& v) -> std::optional<std::string> {
       o.outputPath = v;
       return std::nullopt;
     }},
    {"-s", "--seed", "Startwert", ParseSeed},
    {"", "--threads", "Anzahl", ParseThreads},
    {"", "--rewrite", "",
     [](Options& o, const std::string&, const std::string&) -> std::optional<std::string> {
#ifndef VELUMOR_WITH_REWRITE
       (void)o;
       return "--rewrite ist in dieser Windows-Ausgabe nicht enthalten (ihr fehlt der HTML-Parser).";
#else
       o.rewrite = true;
       return std::nullopt;
#endif
     }},
    {"", "--dry-run", "",
     [](Options& o, const std::string&, const std::string&) -> std::optional<std::string> {
       o.dryRun = true;
       return std::nullopt;
     }},
    {"", "--format", "Formatname",
     [](Options& o, const std::string&, const std::string& v) -> std::optional<std::string> {
       if (v != "script" && v != "data") return "Unbekanntes Format für --format: " + v + " (script oder data).";
       o.dataFormat = v == "data";
       return std::nullopt;
     }},
    {"", "--fallback", "Text",
     [](Options& o, const std::string&, const std::string& v) -> std::optional<std::string> {
       if (FirstInvalidUtf8(v)) return "Der Text für --fallback ist kein gültiges UTF-8.";
       o.fallback = v;
       return std::nullopt;
     }},
    {"", "--reveal", "Zeitpunkt",
     [](Options& o, const std::string&, const std::string& v) -> std::optional<std::string> {
       if (v != "load" && v != "interaction") {
         return "Unbekannter Zeitpunkt für --reveal: " + v + " (load oder interaction).";
       }
       o.reveal = v == "interaction" ? Reveal::Interaction : Reveal::Load;
       return std::nullopt;
     }},
    {"", "--placeholder", "Text",
     [](Options& o, const std::string&, const std::string& v) -> std::optional<std::string> {
       if (FirstInvalidUtf8(v)) return "Der Text für --placeholder ist kein gültiges UTF-8.";
       o.placeholder = v;
       return std::nullopt;
     }},
    {"", "--write-decoder", "Ordner",
     [](Options& o, const std::string&, const std::string& v) -> std::optional<std::string> {
       o.decoderFolder = v;
       return std::nullopt;
     }},
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
  if (options.placeholder && options.reveal != Reveal::Interaction) {
    return UsageError{"--placeholder gilt nur zusammen mit --reveal interaction."};
  }
  if (options.fallback && options.reveal == Reveal::Interaction) {
    return UsageError{"--fallback gilt nicht mit --reveal interaction; dort setzt --placeholder den Text."};
  }
  return options;
}

}  // namespace cli

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

std::optional<std::string> Rewrite([[maybe_unused]] Options& options, const std::string&, const std::string&) {
#ifndef VELUMOR_WITH_REWRITE
  return "--rewrite ist in dieser Ausgabe nicht enthalten (ihr fehlt der HTML-Parser).";
#else
  options.rewrite = true;
  return std::nullopt;
#endif
}

std::optional<std::string> Format(Options& options, const std::string&, const std::string& value) {
  if (value != "script" && value != "data") return "Unbekanntes Format für --format: " + value + " (script oder data).";
  options.dataFormat = value == "data";
  return std::nullopt;
}

std::optional<std::string> Fallback(Options& options, const std::string&, const std::string& value) {
  if (utf8::FirstInvalid(value)) return "Der Text für --fallback ist kein gültiges UTF-8.";
  options.fallback = value;
  return std::nullopt;
}

std::optional<std::string> RevealAt(Options& options, const std::string&, const std::string& value) {
  if (value != "load" && value != "interaction") {
    return "Unbekannter Zeitpunkt für --reveal: " + value + " (load oder interaction).";
  }
  options.reveal = value == "interaction" ? common::Reveal::Interaction : common::Reveal::Load;
  return std::nullopt;
}

std::optional<std::string> Placeholder(Options& options, const std::string&, const std::string& value) {
  if (utf8::FirstInvalid(value)) return "Der Text für --placeholder ist kein gültiges UTF-8.";
  options.placeholder = value;
  return std::nullopt;
}

constexpr OptionRow Rows[] = {
    {"-h", "--help", "", Switch<&Options::help>},
    {"-d", "--decode", "", Switch<&Options::decode>},
    {"-i", "--input", "Dateiname", Text<&Options::inputPath>},
    {"-o", "--output", "Dateiname", Text<&Options::outputPath>},
    {"-s", "--seed", "Startwert", ParseSeed},
    {"", "--threads", "Anzahl", ParseThreads},
    {"", "--rewrite", "", Rewrite},
    {"", "--dry-run", "", Switch<&Options::dryRun>},
    {"", "--format", "Formatname", Format},
    {"", "--fallback", "Text", Fallback},
    {"", "--reveal", "Zeitpunkt", RevealAt},
    {"", "--placeholder", "Text", Placeholder},
    {"", "--write-decoder", "Ordner", Text<&Options::decoderFolder>},
};

}  // namespace

std::string_view HelpText() {
  static constexpr char Text[] =
      "Aufruf: velumor-encode [OPTIONEN] [TEXT ...]\n"
      "        velumor-encode --rewrite [--dry-run] [OPTIONEN] DATEI|ORDNER ...\n"
      "\n"
      "Kodiert einen Text in einen selbstentschlüsselnden <script>-Block für eine\n"
      "Webseite, wie es Velumor mit der Zwischenablage tut. Jedes Zeichen wird auf\n"
      "zwei zufällige Trägerzeichen verteilt; der Browser schreibt den Text wieder\n"
      "in die Seite, Adressensammler im Quelltext finden nichts.\n"
      "\n"
      "Der Text kommt aus den Argumenten (mit je einem Leerzeichen verbunden), aus\n"
      "einer Datei (--input) oder, wenn beides fehlt, von der Standardeingabe.\n"
      "Eingaben sind UTF-8.\n"
      "\n"
      "Optionen:\n"
      "  -i, --input DATEI   den Text aus DATEI lesen\n"
      "  -o, --output DATEI  das Ergebnis in DATEI schreiben statt auf die\n"
      "                      Standardausgabe (ganz oder gar nicht; eine\n"
      "                      bestehende Datei behält ihre Rechte)\n"
      "  -d, --decode        umgekehrt: zeigen, was die Blöcke einer Seite in die\n"
      "                      Seite schreiben, je Block ein Ergebnis mit\n"
      "                      Zeilenumbruch dahinter; die Seite darf auch in\n"
      "                      Windows-1252 gespeichert sein\n"
      "  -s, --seed N        Startwert des Zufallsgenerators (0 bis 2^64-1) für\n"
      "                      wiederholbare Ausgaben; sonst die Zeit seit\n"
      "                      Mitternacht, so genau die Uhr sie angibt\n"
      "  --threads N         lange Texte auf N Threads kodieren (1 bis 64;\n"
      "                      Vorgabe: 2, höchstens so viele, wie der Prozessor\n"
      "                      zugleich ausführt); die Ausgabe ist dieselbe\n"
      "  --rewrite           die Seiten (Ordner: alle *.html und *.htm darin) an Ort\n"
      "                      und Stelle schützen: jeder mailto-Link und jede Adresse\n"
      "                      im Text wird ein Block, alles andere bleibt Byte für Byte\n"
#ifdef VELUMOR_WITH_REWRITE
      "  --dry-run           mit --rewrite: nur auflisten (Datei:Zeile: Adresse)\n"
#else
      "                      (in dieser Ausgabe nicht enthalten: ihr fehlt der\n"
      "                      HTML-Parser)\n"
#endif
      "  --format script|data  script: der <script>-Block (Vorgabe); data:\n"
      "                      <span data-velumor=\"...\">, ohne Inline-Skript, für\n"
      "                      Seiten mit Content-Security-Policy und nachgeladene\n"
      "                      Inhalte; entschlüsselt von velumor-decode.js\n"
      "  --fallback TEXT     mit --format data: was ohne JavaScript zu sehen ist\n"
      "                      (Vorgabe: der Hinweis, JavaScript zu aktivieren)\n"
      "  --reveal load|interaction  mit --format data: wann der Text erscheint;\n"
      "                      load: sobald die Seite geladen ist (Vorgabe);\n"
      "                      interaction: erst beim ersten Zeichen eines Menschen\n"
      "                      (Maus, Berührung, Taste, Mausrad, Fokus auf dem\n"
      "                      Platzhalter), so dass ein Browser, der die Seite nur\n"
      "                      lädt, nichts findet\n"
      "  --placeholder TEXT  mit --reveal interaction: was bis dahin an der Stelle\n"
      "                      steht (Vorgabe: \"E-Mail-Adresse: bitte Seite\n"
      "                      benutzen\"); per Tab und Eingabetaste erreichbar\n"
      "  --write-decoder ORDNER  velumor-decode.js in ORDNER schreiben\n"
      "  -h, --help          diese Hilfe anzeigen\n"
      "\n"
      "Zeichen außerhalb von Latin-1 (etwa €, „“, –, Kyrillisch, Emoji) gehen als\n"
      "HTML-Zeichenreferenz (&#8364;) in den Block; der Browser zeigt das Zeichen.\n"
      "\n"
      "Rückgabewert: 0 erledigt, 1 leerer Text, kein Block gefunden oder ein\n"
      "Lese- oder Schreibfehler, 2 falscher Aufruf.\n";
  return Text;
}
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

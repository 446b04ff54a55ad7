#include "encode_tool.h"

#include <charconv>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <istream>
#include <optional>
#include <ostream>
#include <system_error>

#include "data_format.h"
#include "encoder/common.h"
#include "encoder/decoder.h"
#include "encoder/random.h"
#include "utf8.h"
#ifdef VELUMOR_WITH_REWRITE
#include "site_rewrite.h"
#endif

namespace cli {
namespace {

constexpr char HelpText[] =
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
    "                      Standardausgabe (ganz oder gar nicht)\n"
    "  -d, --decode        umgekehrt: zeigen, was die Blöcke einer Seite in die\n"
    "                      Seite schreiben, je Block ein Ergebnis mit\n"
    "                      Zeilenumbruch dahinter\n"
    "  -s, --seed N        Startwert des Zufallsgenerators (0 bis 2^64-1) für\n"
    "                      wiederholbare Ausgaben; sonst die Sekunden seit\n"
    "                      Mitternacht\n"
    "  --rewrite           die Seiten (Ordner: alle *.html und *.htm darin) an Ort\n"
    "                      und Stelle schützen: jeder mailto-Link und jede Adresse\n"
    "                      im Text wird ein Block, alles andere bleibt Byte für Byte\n"
#ifdef VELUMOR_WITH_REWRITE
    "  --dry-run           mit --rewrite: nur auflisten (Datei:Zeile: Adresse)\n"
#else
    "                      (in dieser Windows-Ausgabe nicht enthalten: ihr fehlt\n"
    "                      der HTML-Parser; bitte die Linux-Ausgabe benutzen)\n"
#endif
    "  --format script|data  script: der <script>-Block (Vorgabe); data:\n"
    "                      <span data-velumor=\"...\">, ohne Inline-Skript, für\n"
    "                      Seiten mit Content-Security-Policy und nachgeladene\n"
    "                      Inhalte; entschlüsselt von velumor-decode.js\n"
    "  --fallback TEXT     mit --format data: was ohne JavaScript zu sehen ist\n"
    "                      (Vorgabe: der Hinweis, JavaScript zu aktivieren)\n"
    "  --write-decoder ORDNER  velumor-decode.js in ORDNER schreiben\n"
    "  -h, --help          diese Hilfe anzeigen\n"
    "\n"
    "Zeichen außerhalb von Latin-1 (etwa €, „“, –, Kyrillisch, Emoji) gehen als\n"
    "HTML-Zeichenreferenz (&#8364;) in den Block; der Browser zeigt das Zeichen.\n"
    "\n"
    "Rückgabewert: 0 erledigt, 1 leerer Text, kein Block gefunden oder ein\n"
    "Lese- oder Schreibfehler, 2 falscher Aufruf.\n";

struct Options {
  bool help = false;
  bool decode = false;
  bool rewrite = false;
  bool dryRun = false;
  bool dataFormat = false;
  std::optional<std::string> fallback;
  std::optional<std::string> decoderFolder;
  std::optional<std::string> inputPath;
  std::optional<std::string> outputPath;
  std::optional<std::uint64_t> seed;
  std::vector<std::string> words;
};

struct UsageError {
  std::string message;
};

std::filesystem::path PathFromUtf8(const std::string& text) {
  return std::filesystem::path(std::u8string(text.begin(), text.end()));
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
    const auto value = [&]() -> std::optional<std::string> {
      if (i + 1 >= args.size()) return std::nullopt;
      return args[++i];
    };
    if (arg == "--") {
      onlyWords = true;
    } else if (arg == "-h" || arg == "--help") {
      options.help = true;
    } else if (arg == "-d" || arg == "--decode") {
      options.decode = true;
    } else if (arg == "--rewrite") {
#ifndef VELUMOR_WITH_REWRITE
      return UsageError{"--rewrite ist in dieser Windows-Ausgabe nicht enthalten (ihr fehlt der HTML-Parser)."};
#endif
      options.rewrite = true;
    } else if (arg == "--dry-run") {
      options.dryRun = true;
    } else if (arg == "--format") {
      const auto format = value();
      if (format != "script" && format != "data") {
        return UsageError{"Unbekanntes Format für --format: " + format.value_or("") + " (script oder data)."};
      }
      options.dataFormat = format == "data";
    } else if (arg == "--fallback") {
      options.fallback = value();
      if (!options.fallback) return UsageError{"Der Option --fallback fehlt der Text."};
      if (!std::holds_alternative<std::u16string>(DecodeUtf8(*options.fallback))) {
        return UsageError{"Der Text für --fallback ist kein gültiges UTF-8."};
      }
    } else if (arg == "--write-decoder") {
      options.decoderFolder = value();
      if (!options.decoderFolder) return UsageError{"Der Option --write-decoder fehlt der Ordner."};
    } else if (arg == "-i" || arg == "--input") {
      options.inputPath = value();
      if (!options.inputPath) return UsageError{"Der Option " + arg + " fehlt der Dateiname."};
    } else if (arg == "-o" || arg == "--output") {
      options.outputPath = value();
      if (!options.outputPath) return UsageError{"Der Option " + arg + " fehlt der Dateiname."};
    } else if (arg == "-s" || arg == "--seed") {
      const auto text = value();
      std::uint64_t seed = 0;
      const char* end = text ? text->data() + text->size() : nullptr;
      if (!text || text->empty() || std::from_chars(text->data(), end, seed).ptr != end) {
        return UsageError{"Ungültiger Startwert für " + arg + ": " + text.value_or("") + "."};
      }
      options.seed = seed;
    } else {
      return UsageError{"Unbekannte Option: " + arg + "."};
    }
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
  return options;
}

std::optional<std::string> ReadWhole(std::istream& stream) {
  std::string data;
  char chunk[1 << 16];
  while (stream.read(chunk, sizeof chunk) || stream.gcount() > 0) data.append(chunk, stream.gcount());
  if (stream.bad()) return std::nullopt;
  return data;
}

std::optional<std::string> ReadFile(const std::string& path) {
  std::ifstream file(PathFromUtf8(path), std::ios::binary);
  if (!file) return std::nullopt;
  return ReadWhole(file);
}

// Written to a neighbour file first and renamed, so the file holds the whole
// result or stays as it was.
bool WriteFileWhole(const std::string& path, std::string_view data) {
  const std::filesystem::path target = PathFromUtf8(path);
  std::filesystem::path partial = target;
  partial += ".velumor-partial";
  {
    std::ofstream file(partial, std::ios::binary | std::ios::trunc);
    if (!file) return false;
    file.write(data.data(), static_cast<std::streamsize>(data.size()));
    file.close();
    if (!file) {
      std::error_code ignored;
      std::filesystem::remove(partial, ignored);
      return false;
    }
  }
  std::error_code error;
  std::filesystem::rename(partial, target, error);
  if (error) std::filesystem::remove(partial, error);
  return !error;
}

std::string ResultOfDecoding(std::u16string_view page) {
  std::string result;
  for (const auto carriers : FindAllCarrierStrings(page)) {
    result += EncodeUtf8(common::DecodeCarriers(carriers));
    result += '\n';
  }
  return result;
}

}  // namespace

int RunEncodeTool(const std::vector<std::string>& args, std::istream& in, std::ostream& out, std::ostream& err) {
  const auto parsed = ParseArguments(args);
  if (const auto* usage = std::get_if<UsageError>(&parsed)) {
    err << "velumor-encode: " << usage->message << "\nHilfe: velumor-encode --help\n";
    return 2;
  }
  const Options& options = std::get<Options>(parsed);
  if (options.help) {
    out << HelpText;
    return 0;
  }
  const bool onlyDecoder =
      options.decoderFolder && !options.rewrite && !options.decode && !options.inputPath && options.words.empty();
  if (options.decoderFolder) {
    const auto written = WriteDecoderScript(*options.decoderFolder, WriteFileWhole);
    if (!written) {
      err << "velumor-encode: Das Skript " << DecoderFileName
          << " kann nicht geschrieben werden in: " << *options.decoderFolder << "\n";
      return 1;
    }
    (options.rewrite || onlyDecoder ? out : err) << "Geschrieben: " << *written << "\n";
    if (onlyDecoder) return 0;
  }
  const std::string fallbackHtml = FallbackHtml(
      options.fallback ? std::get<std::u16string>(DecodeUtf8(*options.fallback)) : std::u16string(DefaultFallback));
#ifdef VELUMOR_WITH_REWRITE
  if (options.rewrite) {
    const RewriteSettings settings{options.dataFormat ? BlockFormat::Data : BlockFormat::Script, fallbackHtml,
                                   options.dryRun};
    // Each page is replaced through the one writer of --output.
    return RunRewrite(options.words, settings, options.seed.value_or(common::SecondsSinceMidnight()), WriteFileWhole,
                      out, err);
  }
#endif

  std::optional<std::string> input;
  if (options.inputPath) {
    input = ReadFile(*options.inputPath);
    if (!input) {
      err << "velumor-encode: Die Datei kann nicht gelesen werden: " << *options.inputPath << "\n";
      return 1;
    }
  } else if (!options.words.empty()) {
    input.emplace();
    for (const std::string& word : options.words) {
      if (!input->empty()) input->push_back(' ');
      input->append(word);
    }
  } else {
    input = ReadWhole(in);
    if (!input) {
      err << "velumor-encode: Die Standardeingabe kann nicht gelesen werden.\n";
      return 1;
    }
  }

  // A byte order mark, as some Windows editors write it, is not part of the text.
  std::string_view bytes = *input;
  if (bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);
  auto decoded = DecodeUtf8(bytes);
  if (const auto* bad = std::get_if<Utf8Error>(&decoded)) {
    const std::size_t offset = bad->byteOffset + (bytes.size() < input->size() ? 3 : 0);
    err << "velumor-encode: Die Eingabe ist kein gültiges UTF-8 (ungültiges Byte bei Offset " << offset << ").\n";
    return 1;
  }
  const std::u16string text = std::move(std::get<std::u16string>(decoded));
  input.reset();  // the UTF-16 copy is all that is needed from here on

  std::string result;
  if (options.decode) {
    result = ResultOfDecoding(text);
    if (result.empty()) {
      err << "velumor-encode: Die Eingabe enthält keinen Velumor-Block.\n";
      return 1;
    }
  } else {
    if (text.empty()) {
      err << "velumor-encode: Der Text ist leer. Daher kann Velumor auch nichts kodieren.\n";
      return 1;
    }
    common::PseudoRandom random(options.seed.value_or(common::SecondsSinceMidnight()));
    auto block = common::EncodeText(text, random);
    if (!block) {
      err << "velumor-encode: Interner Fehler: Der Block gibt den Text nicht wieder und wird nicht "
             "ausgegeben.\n";
      return 1;
    }
    result = options.dataFormat ? DataElement(*block, fallbackHtml) : std::move(*block);
  }

  if (options.outputPath) {
    if (!WriteFileWhole(*options.outputPath, result)) {
      err << "velumor-encode: Die Datei kann nicht geschrieben werden: " << *options.outputPath << "\n";
      return 1;
    }
  } else {
    out.write(result.data(), static_cast<std::streamsize>(result.size()));
    out.flush();
    if (!out) {
      err << "velumor-encode: Die Standardausgabe kann nicht geschrieben werden.\n";
      return 1;
    }
  }
  return 0;
}

}  // namespace cli

#include "encode_tool.h"

#include <algorithm>
#include <istream>
#include <optional>
#include <ostream>
#include <thread>
#include <variant>

#include "atomic_output.h"
#include "core/common.h"
#include "core/random.h"
#include "core/simd_kernels.h"
#include "data_format.h"
#include "input_bytes.h"
#include "options.h"
#include "stream_codec.h"
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
    "                      (in dieser Windows-Ausgabe nicht enthalten: ihr fehlt\n"
    "                      der HTML-Parser; bitte die Linux-Ausgabe benutzen)\n"
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
    "                      Platzhalter), so dass ein Browser, der die Seite\n"
    "                      nur lädt, nichts findet\n"
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

// The whole-file writer that --rewrite and --write-decoder use: the same
// replacement as --output.
bool WriteFileWhole(const std::string& path, std::string_view data) {
  auto opened = AtomicOutput::Open(path);
  auto* output = std::get_if<AtomicOutput>(&opened);
  return output && output->Write(data) && !output->Commit();
}

constexpr std::string_view ByteOrderMark = "\xEF\xBB\xBF";

std::optional<InputBytes> ReadInput(const Options& options, StandardInput in, std::ostream& err) {
  std::optional<InputBytes> input;
  if (options.inputPath) {
    input = ReadFile(*options.inputPath);
    if (!input) err << "velumor-encode: Die Datei kann nicht gelesen werden: " << *options.inputPath << "\n";
  } else if (!options.words.empty()) {
    std::string joined;
    for (const std::string& word : options.words) {
      if (!joined.empty()) joined.push_back(' ');
      joined.append(word);
    }
    input = InputBytes::FromText(joined);
  } else {
#ifndef _WIN32
    if (in.descriptor >= 0) input = ReadDescriptor(in.descriptor);
#endif
    if (in.descriptor < 0) input = ReadAll(*in.stream);
    if (!input) err << "velumor-encode: Die Standardeingabe kann nicht gelesen werden.\n";
  }
  return input;
}

// Where the result goes: standard output, or a file that gets the whole result or stays as it was.
class Destination {
 public:
  Destination(std::ostream& out, std::ostream& err) : out_(out), err_(err) {}

  bool Open(const Options& options) {
    if (!options.outputPath) return true;
    auto opened = AtomicOutput::Open(*options.outputPath);
    if (auto* message = std::get_if<std::string>(&opened)) {
      err_ << "velumor-encode: " << *message << "\n";
      return false;
    }
    file_.emplace(std::move(std::get<AtomicOutput>(opened)));
    return true;
  }

  ByteSink Sink() {
    if (file_) return [this](std::string_view bytes) { return file_->Write(bytes); };
    return [this](std::string_view bytes) { return static_cast<bool>(out_.write(bytes.data(), bytes.size())); };
  }

  void WriteFailed(const Options& options) {
    if (file_) {
      err_ << "velumor-encode: Die Datei kann nicht geschrieben werden: " << *options.outputPath << "\n";
    } else {
      err_ << "velumor-encode: Die Standardausgabe kann nicht geschrieben werden.\n";
    }
  }

  // Completes the output; false (with the message given) when that fails.
  bool Finish(const Options& options) {
    if (file_) {
      if (const auto problem = file_->Commit()) {
        err_ << "velumor-encode: " << *problem << "\n";
        return false;
      }
      return true;
    }
    if (!out_.flush()) {
      WriteFailed(options);
      return false;
    }
    return true;
  }

 private:
  std::ostream& out_;
  std::ostream& err_;
  std::optional<AtomicOutput> file_;
};

StreamResult EncodeWhole(std::string_view utf8, common::PseudoRandom random, const std::string* dataRest,
                         const ByteSink& sink) {
  const auto block = common::EncodeText(std::get<std::u16string>(DecodeUtf8(utf8)), random);
  if (!block) return StreamResult::SelfCheckFailed;
  return sink(dataRest ? DataElement(*block, *dataRest) : *block) ? StreamResult::Done : StreamResult::WriteFailed;
}

int Decode(const Options& options, std::string_view page, Destination& destination, std::ostream& err) {
  if (!destination.Open(options)) return 1;
  const DecodeResult result = DecodeStreaming(page, destination.Sink());
  if (result.blocks == 0) {
    err << "velumor-encode: Die Eingabe enthält keinen Velumor-Block.\n";
    return 1;
  }
  if (!result.written) {
    destination.WriteFailed(options);
    return 1;
  }
  return destination.Finish(options) ? 0 : 1;
}

int Encode(const Options& options, std::string_view bytes, const std::string& dataRest, Destination& destination,
           std::ostream& err) {
  // A byte order mark, as some Windows editors write it, is not part of the text.
  const std::size_t skipped = bytes.starts_with(ByteOrderMark) ? ByteOrderMark.size() : 0;
  const std::string_view text = bytes.substr(skipped);
  // Every byte is checked before the first one goes out.
  const auto plan = PlanEncoding(text, SegmentBytesFor(text.size()));
  if (const auto* bad = std::get_if<std::size_t>(&plan)) {
    err << "velumor-encode: Die Eingabe ist kein gültiges UTF-8 (ungültiges Byte bei Offset " << *bad + skipped
        << ").\n";
    return 1;
  }
  if (text.empty()) {
    err << "velumor-encode: Der Text ist leer. Daher kann Velumor auch nichts kodieren.\n";
    return 1;
  }
  if (!destination.Open(options)) return 1;
  const common::PseudoRandom random(options.seed.value_or(common::TimeOfDaySeed()));
  StreamResult result;
  if (std::get<EncodingPlan>(plan).piecesEncodeLikeTheWhole) {
    // The data form: the same carriers in a span for velumor-decode.js.
    const auto frame = options.dataFormat ? std::optional(BlockFrame{"<span data-velumor=\"", dataRest}) : std::nullopt;
    // Two threads unless told otherwise, and no more than the processor runs at once.
    const unsigned threads = options.threads.value_or(std::min(2u, std::max(1u, std::thread::hardware_concurrency())));
    result =
        EncodeStreaming(std::get<EncodingPlan>(plan), random, destination.Sink(), StreamChunkCodes, threads, frame);
  } else {
    // Scripts and styles in the text: their escapes need the whole text at once.
    result = EncodeWhole(text, random, options.dataFormat ? &dataRest : nullptr, destination.Sink());
  }
  switch (result) {
    case StreamResult::SelfCheckFailed:
      err << "velumor-encode: Interner Fehler: Der Block gibt den Text nicht wieder und wird nicht "
             "ausgegeben.\n";
      return 1;
    case StreamResult::WriteFailed:
      destination.WriteFailed(options);
      return 1;
    case StreamResult::Done:
      break;
  }
  return destination.Finish(options) ? 0 : 1;
}

}  // namespace

int RunEncodeTool(const std::vector<std::string>& args, StandardInput in, std::ostream& out, std::ostream& err) {
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
  if (const auto refusal = common::SimdChoiceError()) {
    err << "velumor-encode: " << EncodeUtf8(*refusal) << "\n";
    return 2;
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
  const Reveal reveal = options.reveal.value_or(Reveal::Load);
  const std::optional<std::string>& shown = reveal == Reveal::Load ? options.fallback : options.placeholder;
  const std::u16string_view shownDefault = reveal == Reveal::Load ? DefaultFallback : DefaultPlaceholder;
  const std::string dataRest = DataElementRest(
      reveal, FallbackHtml(shown ? std::get<std::u16string>(DecodeUtf8(*shown)) : std::u16string(shownDefault)));
#ifdef VELUMOR_WITH_REWRITE
  if (options.rewrite) {
    const RewriteSettings settings{options.dataFormat ? BlockFormat::Data : BlockFormat::Script, dataRest,
                                   options.dryRun};
    // Each page is replaced through the one writer of --output.
    return RunRewrite(options.words, settings, options.seed.value_or(common::TimeOfDaySeed()), WriteFileWhole, out,
                      err);
  }
#endif

  const std::optional<InputBytes> input = ReadInput(options, in, err);
  if (!input) return 1;
  if (options.inputPath && options.outputPath && NamesSameFile(*options.inputPath, *options.outputPath)) {
    err << "velumor-encode: Hinweis: Ein- und Ausgabedatei sind dieselbe; das Ergebnis ersetzt den Text in "
        << *options.outputPath << ".\n";
  }
  Destination destination(out, err);
  return options.decode ? Decode(options, input->View(), destination, err)
                        : Encode(options, input->View(), dataRest, destination, err);
}

}  // namespace cli

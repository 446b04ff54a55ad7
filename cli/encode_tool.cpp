#include "encode_tool.h"

#include <filesystem>
#include <istream>
#include <memory>
#include <optional>
#include <ostream>
#include <variant>

#include "atomic_output.h"
#include "core/data_form.h"
#include "core/decoder.h"
#include "core/simd_kernels.h"
#include "core/stream_encoder.h"
#include "core/utf8.h"
#include "input_bytes.h"
#include "options.h"
#include "rewrite/site_rewrite.h"

namespace cli {
namespace {

// Writes velumor-decode.js into the folder, which is made when it is missing,
// through the same replacement as --output; returns the file's path, or
// nothing when it cannot be written.
std::optional<std::string> WriteDecoderScript(const std::string& folder) {
  const std::filesystem::path dir(std::u8string(folder.begin(), folder.end()));
  std::error_code error;
  std::filesystem::create_directories(dir, error);
  if (error) return std::nullopt;
  const std::u8string path = (dir / common::DecoderFileName).u8string();
  std::string pathText(path.begin(), path.end());
  auto opened = AtomicOutput::Open(pathText);
  auto* output = std::get_if<AtomicOutput>(&opened);
  if (!output || !output->Write(common::DecoderScriptText()) || output->Commit()) return std::nullopt;
  return pathText;
}

// Pages are read like --input and replaced like --output.
const rewrite::PageFiles PageFiles{[](const std::string& path, const std::function<void(std::string_view)>& use) {
                                     const std::optional<InputBytes> page = ReadFile(path);
                                     if (page) use(page->View());
                                     return page.has_value();
                                   },
                                   [](const std::string& path) -> std::variant<rewrite::PageOutput, std::string> {
                                     auto opened = AtomicOutput::Open(path);
                                     auto* output = std::get_if<AtomicOutput>(&opened);
                                     if (!output) return std::get<std::string>(opened);
                                     const auto file = std::make_shared<AtomicOutput>(std::move(*output));
                                     return rewrite::PageOutput{
                                         [file](std::string_view bytes) { return file->Write(bytes); },
                                         [file] { return !file->Commit(); }};
                                   }};

std::optional<InputBytes> ReadInput(const Options& options, StandardInput in, std::ostream& err) {
  if (options.inputPath) {
    auto input = ReadFile(*options.inputPath);
    if (!input) err << "velumor-encode: Die Datei kann nicht gelesen werden: " << *options.inputPath << "\n";
    return input;
  }
  if (!options.words.empty()) {
    std::string joined = options.words.front();
    for (std::size_t i = 1; i < options.words.size(); ++i) joined.append(" ").append(options.words[i]);
    return InputBytes::FromText(joined);
  }
  std::optional<InputBytes> input;
#ifndef _WIN32
  if (in.descriptor >= 0) input = ReadDescriptor(in.descriptor);
#endif
  if (in.descriptor < 0) input = ReadAll(*in.stream);
  if (!input) err << "velumor-encode: Die Standardeingabe kann nicht gelesen werden.\n";
  return input;
}

// Where the result goes: standard output, or a file that gets the whole
// result or stays as it was.
struct Destination {
  const std::optional<std::string>& path;
  std::ostream& out;
  std::ostream& err;
  std::optional<AtomicOutput> file;

  bool Open() {
    if (!path) return true;
    auto opened = AtomicOutput::Open(*path);
    if (auto* message = std::get_if<std::string>(&opened)) err << "velumor-encode: " << *message << "\n";
    if (auto* output = std::get_if<AtomicOutput>(&opened)) file.emplace(std::move(*output));
    return file.has_value();
  }
  common::ByteSink Sink() {
    return [this](std::string_view bytes) {
      return file ? file->Write(bytes) : static_cast<bool>(out.write(bytes.data(), bytes.size()));
    };
  }
  int WriteFailed() {
    err << "velumor-encode: "
        << (file ? "Die Datei kann nicht geschrieben werden: " + *path
                 : std::string("Die Standardausgabe kann nicht geschrieben werden."))
        << "\n";
    return 1;
  }
  int Finish() {
    if (!file) return out.flush() ? 0 : WriteFailed();
    const auto problem = file->Commit();
    if (problem) err << "velumor-encode: " << *problem << "\n";
    return problem ? 1 : 0;
  }
};

int Decode(std::string_view page, Destination& destination) {
  if (!destination.Open()) return 1;
  const common::DecodeResult result = common::DecodeStreaming(page, destination.Sink());
  if (result.blocks == 0) {
    destination.err << "velumor-encode: Die Eingabe enthält keinen Velumor-Block.\n";
    return 1;
  }
  return result.written ? destination.Finish() : destination.WriteFailed();
}

int Encode(const Options& options, std::string_view bytes, const std::string& fallbackHtml, Destination& destination) {
  // Every byte is checked before the first one goes out.
  const auto plan = common::PlanEncoding(bytes);
  if (const auto* bad = std::get_if<std::size_t>(&plan)) {
    destination.err << "velumor-encode: Die Eingabe ist kein gültiges UTF-8 (ungültiges Byte bei Offset " << *bad
                    << ").\n";
    return 1;
  }
  if (std::get<common::EncodingPlan>(plan).text.empty()) {
    destination.err << "velumor-encode: Der Text ist leer. Daher kann Velumor auch nichts kodieren.\n";
    return 1;
  }
  if (!destination.Open()) return 1;
  const common::BlockFrame frame =
      options.dataFormat ? common::BlockFrame::Data(fallbackHtml, "span", options.reveal.value_or(common::Reveal::Load))
                         : common::BlockFrame::Script();
  const common::PseudoRandom random(options.seed.value_or(common::TimeOfDaySeed()));
  switch (common::EncodeStreaming(std::get<common::EncodingPlan>(plan), random, destination.Sink(), frame,
                                  options.threads.value_or(0))) {
    case common::StreamResult::SelfCheckFailed:
      destination.err << "velumor-encode: Interner Fehler: Der Block gibt den Text nicht wieder und wird nicht "
                         "ausgegeben.\n";
      return 1;
    case common::StreamResult::WriteFailed:
      return destination.WriteFailed();
    case common::StreamResult::Done:
      return destination.Finish();
  }
  return 1;
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
    out << HelpText();
    return 0;
  }
  if (const auto refusal = common::SimdChoiceError()) {
    err << "velumor-encode: " << utf8::EncodeUtf8(*refusal) << "\n";
    return 2;
  }
  const bool onlyDecoder =
      options.decoderFolder && !options.rewrite && !options.decode && !options.inputPath && options.words.empty();
  if (options.decoderFolder) {
    const auto written = WriteDecoderScript(*options.decoderFolder);
    if (!written) {
      err << "velumor-encode: Das Skript " << common::DecoderFileName
          << " kann nicht geschrieben werden in: " << *options.decoderFolder << "\n";
      return 1;
    }
    (options.rewrite || onlyDecoder ? out : err) << "Geschrieben: " << *written << "\n";
    if (onlyDecoder) return 0;
  }
  // What the data form shows: the fallback, or the placeholder until a person acts.
  const bool waits = options.reveal == common::Reveal::Interaction;
  const std::optional<std::string>& shown = waits ? options.placeholder : options.fallback;
  const std::string fallbackHtml =
      common::FallbackHtml(shown ? std::get<std::u16string>(utf8::Decode(*shown))
                                 : std::u16string(waits ? common::DefaultPlaceholder : common::DefaultFallback));
  if (options.rewrite) {
    const rewrite::RewriteSettings settings{
        options.dataFormat ? rewrite::BlockFormat::Data : rewrite::BlockFormat::Script, fallbackHtml, options.dryRun,
        options.reveal.value_or(common::Reveal::Load)};
    return rewrite::RunRewrite(options.words, settings, options.seed.value_or(common::TimeOfDaySeed()), PageFiles, out,
                               err);
  }
  const std::optional<InputBytes> input = ReadInput(options, in, err);
  if (!input) return 1;
  if (options.inputPath && options.outputPath && NamesSameFile(*options.inputPath, *options.outputPath)) {
    err << "velumor-encode: Hinweis: Ein- und Ausgabedatei sind dieselbe; das Ergebnis ersetzt den Text in "
        << *options.outputPath << ".\n";
  }
  Destination destination{options.outputPath, out, err, std::nullopt};
  return options.decode ? Decode(input->View(), destination)
                        : Encode(options, input->View(), fallbackHtml, destination);
}

}  // namespace cli

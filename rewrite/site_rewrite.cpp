#include "site_rewrite.h"

#include <ostream>
#include <tuple>
#include <utility>

#include "core/data_form.h"
#include "page_collection.h"

namespace rewrite {
namespace {

std::string Counted(std::size_t count, std::string_view one, std::string_view many) {
  return std::to_string(count) + " " + std::string(count == 1 ? one : many);
}

}  // namespace

int RunRewrite(const std::vector<std::string>& paths, const RewriteSettings& settings, std::uint64_t seed,
               const PageFiles& files, std::ostream& out, std::ostream& err) {
  const CollectedPages collected = CollectPages(paths, err);
  bool failed = collected.failed;
  common::PseudoRandom random(seed);
  std::size_t pages = 0, addresses = 0;
  for (const std::string& path : collected.pages) {
    std::vector<std::tuple<std::size_t, std::string, LeftAlone>> leftAlone;
    std::optional<PageOutput> output;
    std::optional<std::string> refused;  // why the replacement could not be made
    const PageEvents events{
        [&](std::size_t line, std::string_view address) {
          if (settings.dryRun) out << path << ":" << line << ": " << address << "\n";
        },
        [&](std::size_t line, std::string_view address, LeftAlone why) { leftAlone.emplace_back(line, address, why); },
        [&](std::string_view bytes) {
          if (!output && !refused) {
            auto made = files.replace(path);
            if (auto* page = std::get_if<PageOutput>(&made)) output = std::move(*page);
            if (auto* reason = std::get_if<std::string>(&made)) refused = std::move(*reason);
          }
          return output && output->write(bytes);
        }};
    std::variant<PageResult, std::string> rewritten;
    if (!files.read(path, [&](std::string_view page) { rewritten = RewritePage(page, settings, random, events); })) {
      err << "velumor-encode: Die Datei kann nicht gelesen werden: " << path << "\n";
      failed = true;
      continue;
    }
    if (const auto* reason = std::get_if<std::string>(&rewritten)) {
      err << "velumor-encode: " << path << " bleibt unverändert: " << *reason << ".\n";
      failed = true;
      continue;
    }
    const PageResult& result = std::get<PageResult>(rewritten);
    for (const auto& [line, address, why] : leftAlone) {
      err << "velumor-encode: " << path << ":" << line << ": " << address
          << (why == LeftAlone::InSelectList
                  ? " steht in einer Auswahlliste, wo das Datenformat nicht stehen kann, und bleibt ungeschützt.\n"
                  : ": der Link hat kein eigenes </a> (etwa ein Link im Link), das Datenformat kann ihn nicht "
                    "ersetzen; er bleibt ungeschützt (--format script schützt ihn).\n");
    }
    if (result.protectedSpans == 0) continue;
    if (!result.addedDeclaration.empty()) {
      err << "velumor-encode: Hinweis: " << path
          << " nennt keine Zeichenkodierung; damit sie nach dem Schützen gelesen wird wie vorher, "
          << (settings.dryRun ? "bekäme sie " : "bekommt sie ") << result.addedDeclaration << ".\n";
    }
    if (!settings.dryRun && (result.writeFailed || !output || !output->commit())) {
      err << "velumor-encode: " << refused.value_or("Die Datei kann nicht geschrieben werden: " + path) << "\n";
      failed = true;
      continue;
    }
    ++pages;
    addresses += result.protectedSpans;
  }

  const std::string counts = Counted(addresses, "Adresse", "Adressen") + " in " + Counted(pages, "Datei", "Dateien");
  if (settings.dryRun) {
    out << "Probelauf: " << counts << " würden geschützt; nichts wurde geschrieben.\n";
  } else {
    if (settings.format == BlockFormat::Data && pages > 0) {
      out << "Binden Sie in jede geänderte Seite das Skript " << common::DecoderFileName
          << " ein, etwa mit <script src=\"" << common::DecoderFileName
          << "\"></script> (Pfad relativ zur Seite); --write-decoder ORDNER schreibt es.\n";
    }
    out << "Geschützt: " << counts << ".\n";
  }
  return failed ? 1 : 0;
}

}  // namespace rewrite

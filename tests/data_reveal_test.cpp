// The data form that waits for a person: its markup, its options and what
// --decode and --rewrite make of it.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "tool_run.h"

namespace {

TEST(RevealOnInteraction, WritesAFocusablePlaceholderThatDecodesLikeTheBlock) {
  const std::string link = "<a href=\"mailto:info@example.com\" class=\"k\">Schreiben Sie uns</a>";
  const ToolRun waiting = Tool({"--format", "data", "--reveal", "interaction", "--seed", "5", link});
  ASSERT_EQ(waiting.code, 0) << waiting.err;
  EXPECT_TRUE(waiting.out.starts_with("<span data-velumor=\"")) << waiting.out;
  EXPECT_NE(waiting.out.find("\" data-velumor-reveal=\"interaction\" tabindex=\"0\" role=\"button\">"
                             "E-Mail-Adresse: bitte Seite benutzen<noscript> (dazu ist JavaScript n&#246;tig)"
                             "</noscript></span>"),
            std::string::npos)
      << waiting.out;
  EXPECT_EQ(waiting.out.find("example.com"), std::string::npos);
  EXPECT_EQ(Tool({"--decode"}, waiting.out).out, link + "\n");

  // The same carriers as the form decoded on loading, which stays the default.
  const ToolRun onLoad = Tool({"--format", "data", "--reveal", "load", "--seed", "5", link});
  EXPECT_EQ(onLoad.out, Tool({"--format", "data", "--seed", "5", link}).out);
  EXPECT_EQ(onLoad.out.substr(0, onLoad.out.find("\">")), waiting.out.substr(0, waiting.out.find("\" data-")));
  EXPECT_EQ(onLoad.out.find("data-velumor-reveal"), std::string::npos);

  // A placeholder of one's own, as plain ASCII HTML like the fallback.
  const ToolRun own =
      Tool({"--format", "data", "--reveal", "interaction", "--placeholder", "Kontakt <Büro>", "x@y.de"});
  EXPECT_NE(own.out.find("\">Kontakt &#60;B&#252;ro&#62;<noscript>"), std::string::npos) << own.out;
}

TEST(RevealOnInteraction, OptionsThatDoNotFitAreRefusedInGerman) {
  const std::vector<std::pair<std::vector<std::string>, std::string>> refused = {
      {{"--reveal", "interaction", "a"}, "--reveal gilt nur zusammen mit --format data"},
      {{"--format", "script", "--reveal", "load", "a"}, "--reveal gilt nur zusammen mit --format data"},
      {{"--format", "data", "--reveal", "klick", "a"}, "Unbekannter Zeitpunkt für --reveal: klick"},
      {{"--format", "data", "--reveal"}, "fehlt der Zeitpunkt"},
      {{"--format", "data", "--placeholder", "x", "a"}, "--placeholder gilt nur zusammen mit --reveal interaction"},
      {{"--format", "data", "--reveal", "load", "--placeholder", "x", "a"}, "--placeholder gilt nur"},
      {{"--format", "data", "--reveal", "interaction", "--fallback", "x", "a"}, "dort setzt --placeholder"},
      {{"--format", "data", "--reveal", "interaction", "--placeholder", "\xFF", "a"}, "kein gültiges UTF-8"},
  };
  for (const auto& [args, message] : refused) {
    const ToolRun run = Tool(args);
    EXPECT_EQ(run.code, 2) << args[1];
    EXPECT_NE(run.err.find(message), std::string::npos) << run.err;
    EXPECT_TRUE(run.out.empty());
  }
}

TEST(RevealOnInteraction, HelpNamesBothMomentsAndThePlaceholder) {
  const std::string help = Tool({"--help"}).out;
  EXPECT_NE(help.find("--reveal load|interaction"), std::string::npos);
  EXPECT_NE(help.find("--placeholder TEXT"), std::string::npos);
  EXPECT_NE(help.find("E-Mail-Adresse: bitte Seite"), std::string::npos);
}

TEST(RevealOnInteraction, RewriteProtectsLinksAndTextOnceAndDecodesToThem) {
  const auto dir = std::filesystem::temp_directory_path() / "velumor-reveal-rewrite";
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  const auto page = dir / "seite.html";
  std::ofstream(page, std::ios::binary) << "<p>An <a href=\"mailto:a@b.de\" title=\"t\"><b>A</b></a> oder c@d.de.</p>";
  const std::vector<std::string> args = {"--rewrite", "--format", "data", "--reveal", "interaction", page.string()};
  EXPECT_NE(Tool(args).out.find("Geschützt: 2 Adressen in 1 Datei."), std::string::npos);
  EXPECT_NE(Tool(args).out.find("Geschützt: 0 Adressen in 0 Dateien."), std::string::npos);

  std::ifstream file(page, std::ios::binary);
  const std::string rewritten(std::istreambuf_iterator<char>(file), {});
  file.close();  // Windows removes no file that is open
  EXPECT_EQ(rewritten.find("b.de"), std::string::npos) << rewritten;
  EXPECT_EQ(rewritten.find("d.de"), std::string::npos) << rewritten;
  EXPECT_NE(rewritten.find("data-velumor-reveal=\"interaction\""), std::string::npos);
  EXPECT_EQ(Tool({"--decode"}, rewritten).out, "<a href=\"mailto:a@b.de\" title=\"t\"><b>A</b></a>\nc@d.de\n");
  std::filesystem::remove_all(dir);
}

}  // namespace

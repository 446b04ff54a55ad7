// Blocks recorded from earlier builds, for fixed seeds: whatever is changed
// inside the encoder, the tray program and velumor-encode must go on writing
// exactly these bytes. The record is tests/data/golden/blocks.txt, one line
// per case: its name, a tab, and the output with \r, \n, \t, \\ and \xHH
// escaped, or "#LENGTH:FNV" (FNV-1a, 64 bits, in hex) for long outputs.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <sstream>

#include "core/common.h"
#include "core/random.h"
#include "core/utf16.h"
#include "tool_run.h"

std::string_view RecordedBlocks();  // generated from tests/data/golden/blocks.txt

namespace {

std::string Escaped(std::string_view bytes) {
  std::string out;
  for (const char c : bytes) {
    const auto u = static_cast<unsigned char>(c);
    if (c == '\\') {
      out += "\\\\";
    } else if (c == '\r') {
      out += "\\r";
    } else if (c == '\n') {
      out += "\\n";
    } else if (c == '\t') {
      out += "\\t";
    } else if (u < 0x20 || u >= 0x7F) {
      out += "\\x";
      out += "0123456789abcdef"[u >> 4];
      out += "0123456789abcdef"[u & 15];
    } else {
      out += c;
    }
  }
  return out;
}

// Long outputs are kept as their length and hash.
std::string Recorded(std::string_view bytes) {
  if (bytes.size() <= 2000) return Escaped(bytes);
  std::uint64_t hash = 0xCBF29CE484222325ull;
  for (const char c : bytes) hash = (hash ^ static_cast<unsigned char>(c)) * 0x100000001B3ull;
  std::ostringstream line;
  line << '#' << bytes.size() << ':' << std::hex << hash;
  return line.str();
}

const std::map<std::string, std::string>& Table() {
  static const std::map<std::string, std::string> table = [] {
    std::map<std::string, std::string> rows;
    std::istringstream lines{std::string(RecordedBlocks())};
    for (std::string line; std::getline(lines, line);) {
      const std::size_t tab = line.find('\t');
      if (line.empty() || line[0] == '#' || tab == line.npos) continue;
      rows[line.substr(0, tab)] = line.substr(tab + 1);
    }
    return rows;
  }();
  return table;
}

// Checks one output against its row; a missing or different row is reported
// as the line the record would need.
void ExpectRecorded(const std::string& name, std::string_view output) {
  const auto row = Table().find(name);
  const std::string made = Recorded(output);
  EXPECT_TRUE(row != Table().end() && row->second == made) << "recorded:\n" << name << '\t' << made;
}

// The tray program's two ways: the whole text at once, and range by range as
// EncodeClipboardText calls it (the first character, then 512 at a time).
std::string TrayBlock(std::u16string_view text, std::uint64_t seed) {
  common::PseudoRandom whole(seed);
  const std::string block = common::EncodeText(text, whole).value_or("FEHLER");
  common::PseudoRandom random(seed);
  common::ScriptBlockBuilder builder(text);
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t next = std::min(text.size(), i == 0 ? 1 : i + 512);
    builder.AddCharacters(text, i, next, random);
    i = next;
  }
  EXPECT_TRUE(builder.Faithful());
  EXPECT_EQ(std::move(builder).Finish(), block);
  return block;
}

struct ShortText {
  const char* name;
  std::u16string_view text;
  std::uint64_t seed;
};

constexpr ShortText ShortTexts[] = {
    {"address", u"info@example.com", 1},
    {"umlauts", u"Grüße aus Köln: Ärger, Öl, Maß; ÿ\u00A0\u0080", 2},
    {"euro", u"5 €", 3},
    {"typography", u"„Zitat“ – ‚halb‘ — …", 4},
    {"emoji", u"Danke 😀👍🏽!", 5},
    {"cyrillic-polish", u"Zażółć gęślą jaźń, Łódź; Съешь же ещё", 6},
    {"line-breaks", u"Zeile 1\r\nZeile 2\r\n\r\nZeile 4\n\\n\"", 7},
    {"script-style", u"<script>var p=\"12 €\";</script><STYLE>q::after{content:\"😀€\"}</style> 5 € <p title=\"€\">", 8},
    {"mailto", u"<a href=\"mailto:info@example.com?subject=Anfrage\">Schreiben Sie uns</a>", 9},
    {"seed-zero", u"x@y.de", 0},
    {"seed-largest", u"x@y.de", 18446744073709551615ull},
};

// Some 200 KB of text from all the ranges above, without scripts and styles:
// long enough for several segments of the tool's streaming path.
std::u16string MixedText() {
  const std::u16string_view pieces[] = {
      u"Grüße ", u"info@example.com ", u"5 € ", u"„Zitat“ – ", u"😀 ",     u"Привет ",     u"\r\n",       u"abc ",
      u"Łódź ",  u"ÿ\u00A0",           u"<b>",  u"</b> ",      u"ß\\\" ", u"\U0010FFFF ", u"0123456789 "};
  std::mt19937 random(2024);
  std::u16string text;
  while (utf16::EncodeUtf8(text).size() < 200 * 1024) {
    for (int k = 0; k < 256; ++k) text += pieces[random() % std::size(pieces)];
  }
  return text;
}

TEST(RecordedBlocks, TheTrayProgramWritesTheRecordedBlocks) {
  for (const ShortText& c : ShortTexts) ExpectRecorded(c.name, TrayBlock(c.text, c.seed));
  ExpectRecorded("lone-surrogates", TrayBlock(u"a\xD800-\xDC00\xDBFF", 10));
  ExpectRecorded("mixed-200k", TrayBlock(MixedText(), 11));
}

TEST(RecordedBlocks, TheToolWritesTheRecordedBlocksOnAnyNumberOfThreads) {
  for (const ShortText& c : ShortTexts) {
    const ToolRun run = Tool({"-s", std::to_string(c.seed), utf16::EncodeUtf8(c.text)});
    EXPECT_EQ(run.code, 0) << c.name << run.err;
    ExpectRecorded(c.name, run.out);
  }
  EXPECT_EQ(Tool({"-s", "1"}, "\xEF\xBB\xBFinfo@example.com").out, Tool({"-s", "1", "info@example.com"}).out);

  const std::string mixed = utf16::EncodeUtf8(MixedText());
  for (const char* threads : {"1", "2", "4"}) {
    ExpectRecorded("mixed-200k", Tool({"-s", "11", "--threads", threads}, mixed).out);
  }
  // A script in a long text: the whole text is encoded at once.
  const std::string script = "<script>var s=\"€\";</script>" + mixed;
  ExpectRecorded("mixed-200k-script", Tool({"-s", "12"}, script).out);
}

TEST(RecordedBlocks, TheDataFormCarriesTheRecordedCarriers) {
  ExpectRecorded("data-address", Tool({"-s", "1", "--format", "data", "info@example.com"}).out);
  ExpectRecorded("data-fallback", Tool({"-s", "2", "--format", "data", "--fallback", "<Adresse> äöü €", "x@y.de"}).out);
  ExpectRecorded("data-script-style", Tool({"-s", "8", "--format", "data", utf16::EncodeUtf8(ShortTexts[7].text)}).out);
  const std::string mixed = utf16::EncodeUtf8(MixedText());
  for (const char* threads : {"1", "4"}) {
    ExpectRecorded("data-mixed-200k", Tool({"-s", "11", "--format", "data", "--threads", threads}, mixed).out);
  }
}

TEST(RecordedBlocks, DecodingGivesTheRecordedTexts) {
  std::string page = "<p>";
  for (const ShortText& c : ShortTexts) page += Tool({"-s", std::to_string(c.seed), utf16::EncodeUtf8(c.text)}).out;
  page += Tool({"-s", "1", "--format", "data", "info@example.com"}).out;
  ExpectRecorded("decoded", Tool({"--decode"}, page).out);
}

// The test site (UTF-8 with byte order mark and CR LF, ISO-8859-1, a blog
// page full of lookalikes) and an undeclared Windows-1252 page, rewritten in
// both forms.
TEST(RecordedBlocks, TheSiteRewriteWritesTheRecordedPages) {
  namespace fs = std::filesystem;
  const fs::path dir = fs::temp_directory_path() / "velumor-golden-site";
  for (const char* format : {"script", "data"}) {
    fs::remove_all(dir);
    fs::copy(VELUMOR_TEST_SITE, dir, fs::copy_options::recursive);
    std::ofstream(dir / "ohne-angabe.html", std::ios::binary)
        << "<p>m\xFCller@example.de, j\xC3\xA0n@m\xC3\xBCller.de</p>\r\n<p>Mail: <a href=mailto:a@b.de>a@b.de</a>";
    const std::string prefix = std::string("rewrite-") + format + "-";
    const ToolRun listed = Tool({"--rewrite", "--dry-run", "-s", "3", "--format", format, dir.string()});
    std::string listing = listed.out;
    for (std::size_t at = listing.find(dir.string()); at != listing.npos; at = listing.find(dir.string(), at)) {
      listing.replace(at, dir.string().size(), "SITE");
    }
    // Recorded with "/"; Windows names the pages with its own separator.
    std::replace(listing.begin(), listing.end(), static_cast<char>(fs::path::preferred_separator), '/');
    ExpectRecorded(prefix + "dry-run", listing);
    const ToolRun run = Tool({"--rewrite", "-s", "3", "--format", format, dir.string()});
    ExpectRecorded(prefix + "report", run.out);
    for (const char* page : {"kontakt.html", "impressum.htm", "blog/beitrag.html", "ohne-angabe.html"}) {
      std::ifstream file(dir / page, std::ios::binary);
      ExpectRecorded(prefix + page, std::string(std::istreambuf_iterator<char>(file), {}));
    }
  }
  fs::remove_all(dir);
}

}  // namespace

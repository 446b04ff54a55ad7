#include "rewrite/site_rewrite.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <future>
#else
#include <windows.h>
#endif

#include "core/decoder.h"
#include "core/utf8.h"
#include "rewrite/address_pattern.h"
#include "tool_run.h"

namespace {

namespace fs = std::filesystem;

std::vector<rewrite::AddressMatch> Matches(std::string_view text) {
  return rewrite::FindAddresses(rewrite::PageText(text, rewrite::PageEncoding::Utf8));
}

std::vector<std::string> Addresses(const std::string& text) {
  std::vector<std::string> found;
  for (const auto& m : Matches(text)) found.push_back(text.substr(m.begin, m.end - m.begin));
  return found;
}

TEST(FindAddresses, TakesAddressesAndLeavesWhatRealPagesHoldBesides) {
  const std::pair<std::string, std::vector<std::string>> cases[] = {
      {"Schreiben Sie an info@example.com.", {"info@example.com"}},
      {"E-Mail:verkauf@beispiel-firma.de, Tel.", {"verkauf@beispiel-firma.de"}},
      {"„jürgen.müller@müller.de“ und …a+b@x.co.uk", {"jürgen.müller@müller.de", "a+b@x.co.uk"}},
      {"@media print, @import url(a.css), @font-face", {}},
      {"folgen Sie @velumor oder @name@mastodon.social", {}},
      {"root@localhost, npm i lodash@4.17.21 react@18", {}},
      {"logo@2x.png icon@3x.webp", {}},
      {"git clone git@github.com:org/repo.git", {}},
      {"https://lists.example.org/archive/a@b.org ftp://u:pw@host.de", {}},
      {"a@b.c x@-y.de x@y-.de .@x.de a..b@x.de", {}},
  };
  for (const auto& [text, expected] : cases) EXPECT_EQ(Addresses(text), expected) << text;
}

// A taken address becomes a block, and the next run reads the text on either
// side of it as a text of its own: there it must find nothing more. Random
// texts from pieces of addresses and what the pattern weighs around them.
TEST(FindAddresses, TextBetweenTakenAddressesHoldsNoneWhenReadAlone) {
  const std::string_view pieces[] = {"a", "b.de", "x.d", "@", "@", ".",  "...", ":",      "/",
                                     "_", "+",    "-",   " ", "ü", "2x", "de",  "@mü.de", "\xFC"};
  std::mt19937 random(7);
  for (int round = 0; round < 100000; ++round) {
    std::string text;
    for (auto count = random() % 12; count > 0; --count) text += pieces[random() % std::size(pieces)];
    std::size_t gapBegin = 0;
    const auto gapHoldsNone = [&](std::size_t gapEnd) {
      return Matches(std::string_view(text).substr(gapBegin, gapEnd - gapBegin)).empty();
    };
    for (const rewrite::AddressMatch& match : Matches(text)) {
      ASSERT_LE(gapBegin, match.begin) << text;
      ASSERT_TRUE(gapHoldsNone(match.begin)) << text;
      gapBegin = match.end;
    }
    ASSERT_TRUE(gapHoldsNone(text.size())) << text;
  }
}

// The page as --rewrite writes it, read a stretch of `stretchBytes` at a time.
std::string Rewritten(const std::string& page, rewrite::BlockFormat format = rewrite::BlockFormat::Script,
                      std::size_t stretchBytes = rewrite::StretchBytes) {
  common::PseudoRandom random(3);
  std::string written;
  const rewrite::PageEvents events{[](std::size_t, std::string_view) {},
                                   [](std::size_t, std::string_view, rewrite::LeftAlone) {},
                                   [&](std::string_view bytes) {
                                     written += bytes;
                                     return true;
                                   }};
  auto result = rewrite::RewritePage(page, {format, "!", false}, random, events, stretchBytes);
  if (auto* reason = std::get_if<std::string>(&result)) return "FEHLER " + *reason;
  return std::get<rewrite::PageResult>(result).protectedSpans == 0 ? page : written;
}

// What the blocks write, in page order, bytes as the page holds them.
std::string Written(const std::string& page) {
  std::string all;
  for (auto carriers : common::FindCarrierStrings(page)) {
    for (char16_t c : common::DecodeCarriers(carriers)) all += static_cast<char>(c);
    all += '|';
  }
  return all;
}

TEST(RewritePage, ReplacesLinksAndTextAddressesAndKeepsEveryOtherByte) {
  const std::string head = "\xEF\xBB\xBF<!DOCTYPE html>\r\n<title>a@b.de</title><style>@media x{}</style>\r\n<p>";
  const std::string link = "<A HREF=\" MailTo:a@b.de?subject=Hi\" class=m>a&#64;b.de <b>!</b></a>";
  const std::string page = head + link + " x <!-- c@d.de --> c@d.de.</p>\r\n<textarea>e@f.de</textarea>\r\n";
  const std::string once = Rewritten(page);
  EXPECT_TRUE(once.starts_with(head)) << once;
  EXPECT_TRUE(once.ends_with(".</p>\r\n<textarea>e@f.de</textarea>\r\n")) << once;
  EXPECT_NE(once.find("</script><noscript>"), once.npos);
  EXPECT_EQ(Written(once), link + "|c@d.de|");
  EXPECT_EQ(Rewritten(once), once);  // a second run changes nothing

  // In the data form the link's block is an <a> itself, which closes a link
  // left open as the link's own start tag did (the browser test shows it).
  const std::string data = Rewritten(page, rewrite::BlockFormat::Data);
  EXPECT_NE(data.find("<p><a data-velumor=\""), data.npos);
  EXPECT_NE(data.find(" x <!-- c@d.de --> <span data-velumor=\""), data.npos);
  EXPECT_EQ(Rewritten(data, rewrite::BlockFormat::Data), data);
}

TEST(RewritePage, ReadsAndWritesThePageInItsOwnEncoding) {
  const std::string latin = "<meta charset=ISO-8859-1><p>M\xFCller \x80 m\xFCller@example.de</p>\n";
  const std::string rewritten = Rewritten(latin);
  EXPECT_TRUE(rewritten.starts_with("<meta charset=ISO-8859-1><p>M\xFCller \x80 <script")) << rewritten;
  EXPECT_EQ(Written(rewritten), "m\xFCller@example.de|");
  EXPECT_EQ(Rewritten("<meta charset=utf-8>\n<a href=mailto:a@b.de>M\xFCller</a>"),
            "FEHLER Zeile 2 ist kein gültiges UTF-8");
  EXPECT_TRUE(
      Rewritten("<meta charset=iso-8859-15><p>a@b.de").starts_with("FEHLER die Zeichenkodierung „iso-8859-15“"));
}

// The page with each script block as "#": what stays readable.
std::string Outside(const std::string& page) {
  constexpr std::string_view Start = "<script language=", End = "</noscript>";
  std::string outside;
  std::size_t copied = 0;
  for (std::size_t at = page.find(Start); at != page.npos; at = page.find(Start, copied)) {
    outside.append(page, copied, at - copied).append("#");
    copied = page.find(End, at) + End.size();
  }
  return outside.append(page, copied);
}

// One run protects every address, whatever protecting its neighbours does to
// the text around it; a second run then finds nothing.
TEST(RewritePage, OneRunLeavesNoAddressAndASecondChangesNothing) {
  const struct {
    std::string page, written, outside;
  } cases[] = {
      // A local part that would reach back into the domain before it.
      {"<p>info@example.de...sales@example.de</p>", "info@example.de|sales@example.de|", "<p>#...#</p>"},
      {"<p>a@b.de+c@d.de und x@y.de_z@w.de</p>", "a@b.de|+c@d.de|x@y.de|_z@w.de|", "<p>## und ##</p>"},
      // What follows an address is another that becomes a block.
      {"<p>a@b.dto:a@b.de?subject=x oder</p>", "a@b.dto|a@b.de|", "<p>#:#?subject=x oder</p>"},
      // Tags the parser ignored take no part in the text, nor what they hold.
      {"<p>Mail: a.b</span>sales@example.de</p>", "sales@example.de|", "<p>Mail: a.b</span>#</p>"},
      {"<p>x</span title=\"a>b@c.de\">y@z.de</p>", "y@z.de|", "<p>x</span title=\"a>b@c.de\">#</p>"},
      {"<p>a@b.de</t=\">c@d.de", "a@b.de|c@d.de|", "<p>#</t=\">#"},  // the '"' is part of the tag's name
      // A link without an end tag of its own: its start tag alone is written
      // back, and the text in the copies the parser makes of it is read.
      {"<a href=mailto:a@b.de><a href=mailto:c@d.de>x</a></a>", "<a href=mailto:a@b.de>|<a href=mailto:c@d.de>x</a>|",
       "##</a>"},
      {"\xEF\xBB\xBF<a href=mailto:a@b.de>\xFF<a href=mailto:c@d.de>x</a></a>",
       "<a href=mailto:a@b.de>|<a href=mailto:c@d.de>x</a>|", "\xEF\xBB\xBF#\xFF#</a>"},
      {"<p><a href=mailto:a@b.de>x</p><p>y@z.de", "<a href=mailto:a@b.de>|y@z.de|", "<p>#x</p><p>#"},
      // Where the notice without JavaScript runs into the text after the block.
      {"<select><option>a@b.de...c@d.de<option>a@b.dto:a@b.de</select>", "a@b.de|c@d.de|a@b.dto|a@b.de|",
       "<select><option>#...#<option>#:#</select>"},
  };
  for (const auto& [page, written, outside] : cases) {
    const std::string once = Rewritten(page);
    EXPECT_EQ(Written(once), written) << page;
    EXPECT_EQ(Outside(once), outside) << page;
    EXPECT_EQ(Rewritten(once), once) << page;
  }
  // The data form has no element that could stand for a start tag alone.
  const std::string open = "<a href=mailto:a@b.de><a href=mailto:c@d.de>x</a></a>";
  const std::string data = Rewritten(open, rewrite::BlockFormat::Data);
  EXPECT_TRUE(data.starts_with("<a href=mailto:a@b.de><a data-velumor=")) << data;
  EXPECT_EQ(Rewritten(data, rewrite::BlockFormat::Data), data);
}

TEST(RewritePage, AnUndeclaredPageIsReadTheSameWayAfterItsRewrite) {
  // Read as Windows-1252 for its "\xFC"; without the address that holds it the
  // rest would be UTF-8 ("jàn@müller.de"), so the page declares what it was read as.
  const std::string tail = ", j\xC3\xA0n@m\xC3\xBCller.de</p>";
  for (const auto& [page, outside] : std::vector<std::pair<std::string, std::string>>{
           {"<p>m\xFCller@example.de" + tail, "<meta charset=\"windows-1252\"><p>#" + tail},
           {"<!DOCTYPE html>\n<p>m\xFCller@example.de" + tail,
            "<!DOCTYPE html>\n<meta charset=\"windows-1252\"><p>#" + tail},
           {"<html lang=de><head>\n<title>Kontakt</title><p>m\xFCller@example.de" + tail,
            "<html lang=de><head><meta charset=\"windows-1252\">\n<title>Kontakt</title><p>#" + tail},
       }) {
    const std::string once = Rewritten(page);
    EXPECT_EQ(Outside(once), outside);
    EXPECT_EQ(Written(once), "m\xFCller@example.de|");
    EXPECT_EQ(Rewritten(once), once);
  }
  // What still holds a byte of Windows-1252, before its addresses or after
  // them, is read so anyway and stays as it is.
  const std::string latin = "<p>M\xFCller, m\xFCller@example.de</p>";
  EXPECT_EQ(Outside(Rewritten(latin)), "<p>M\xFCller, #</p>");
  const std::string after = "<p>m\xFCller@example.de, sch\xF6n</p>";
  EXPECT_EQ(Outside(Rewritten(after)), "<p>#, sch\xF6n</p>");
}

// A large page is read a stretch at a time, each ending only where the parser
// stands as at the start of the body. Whatever the stretches, the page must
// come out as when it is read whole: pages whose parse keeps something open
// across many tags, with every length of stretch.
TEST(RewritePage, StretchesOfAnyLengthGiveThePageReadWhole) {
  std::vector<std::string> pages = {
      "<p>a@b.de</p><p><b>fett</p><p>c@d.de</p><p>e@f.de</p>",
      "<h1><a href=\"/start\"/>Kontakt</h1>\n<p>Post: <a href=\"mailto:info@example.org\">info@example.org</a></p>\n"
      "<p>Impressum</p>\n<p><a href=\"#i\"><a href=\"mailto:presse@example.org\">presse@example.org</a></a></p>",
      "<table>a@b.de<tr><td>c@d.de</td></tr></table><p>e@f.de</p><table><tr><td>g@h.de</table>",
      "<select><option>a@b.de</select><p>x@y.de</p><select><option>z@y.de<p>w@y.de</p>",
      "<div><div><p>a@b.de</p><p>c@d.de</p></div><p>e@f.de</p></div>x@y.de<div><i>i@j.de</div><p>k@l.de",
      "<template><p>a@b.de</p></template><p>c@d.de</p><svg><text>s@v.de</text></svg><p>m@n.de</p>",
      "<p>x</p><!-- </p> a@b.de --><p>c@d.de</p><script>var s='</p>e@f.de';</script><p>g@h.de</p>",
      "<p>x</p><p>m\xFCller@b.de</p><meta charset=windows-1252><p>c@d.de</p>",
      "<p>a</p><p>m\xFCller@example.de</p><hr><p>j\xC3\xA0n@m\xC3\xBCller.de</p>",
      "<p><a href=\"mailto:a@b.de\">a@b.de</a></p><p>x</p><p><a href=mailto:c@d.de><b>c</b></a></p><a "
      "href=mailto:e@f.de>",
      "<title>a@b.de</title><p>x</p><textarea>c@d.de</textarea><p>e@f.de</p><plaintext><p>g@h.de",
      "<p>x</p></body><p>a@b.de</p></html><p>c@d.de</p>",
      "<p>a@b.de<p>c@d.de<p>e@f.de<ul><li>g@h.de<li>i@j.de</ul><ol><li>k@l.de</ol><br>m@n.de<img>o@p.de",
      "<p><span data-velumor=\"x\">a@b.de</span></p><p>c@d.de</p></span>e@f.de</div>g@h.de",
      "<p><b><i>a@b.de</i></b></p><p>c@d.de</p><p><b>e@f.de</b><i>g@h.de</p><p>i@j.de</p>",
      // A link or a block left open comes back around what follows.
      "<p>x</p><p><a href=\"mailto:a@b.de\">a</p><p>c@d.de</p><p>e@f.de</p>",
      "<p>x</p><p><b data-velumor=\"AB\">a@b.de</p><p>c@d.de</p><p>e@f.de</p>",
  };
  for (const char* name : {"kontakt.html", "impressum.htm", "blog/beitrag.html"}) {
    std::ifstream file(fs::path(VELUMOR_TEST_SITE) / name, std::ios::binary);
    pages.emplace_back(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
  }
  for (const std::string& page : pages) {
    for (const auto format : {rewrite::BlockFormat::Script, rewrite::BlockFormat::Data}) {
      const std::string whole = Rewritten(page, format);
      for (std::size_t stretch = 1; stretch <= page.size(); stretch += 1 + stretch / 4) {
        ASSERT_EQ(Rewritten(page, format, stretch), whole) << "stretches of " << stretch << ": " << page;
      }
    }
  }
}

TEST(EncodeTool, DataFormatCarriesItsFallbackAndDecodesLikeTheBlock) {
  const ToolRun block = Tool({"--format", "data", "--fallback", "<Adresse>", "x@y.de"});
  ASSERT_EQ(block.code, 0);
  EXPECT_TRUE(block.out.ends_with("\">&#60;Adresse&#62;</span>")) << block.out;
  EXPECT_EQ(Tool({"--decode"}, block.out).out, "x@y.de\n");
}

// A site on disk, for what --rewrite takes from it.
class SiteFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("velumor-site-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(dir_);
    fs::create_directories(dir_ / "site");
  }
  void TearDown() override { fs::remove_all(dir_); }

  static std::string Contents(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
  }
  static void Put(const fs::path& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

#ifndef _WIN32
  // The run, bounded: should it open a FIFO to read, a writer that closes at
  // once releases it, and the test fails instead of waiting forever.
  static ToolRun BoundedRun(const std::vector<std::string>& args, const fs::path& fifo) {
    auto run = std::async(std::launch::async, [&] { return Tool(args); });
    if (run.wait_for(std::chrono::seconds(10)) == std::future_status::timeout) {
      ADD_FAILURE() << "velumor-encode liest aus der FIFO " << fifo;
      if (const int writer = open(fifo.c_str(), O_WRONLY | O_NONBLOCK); writer >= 0) close(writer);
    }
    return run.get();
  }
#endif

  fs::path dir_;
};

#ifndef _WIN32
// Links and FIFOs as POSIX has them. std::filesystem of MinGW makes no links;
// tests/e2e/rewrite_site.py has Windows walk links that Wine shows it.
TEST_F(SiteFolder, LinksOutOfTheFolderAreSkippedAndNoFileOutsideChanges) {
  const std::string page = "<p>a@b.de</p>";
  Put(dir_ / "site" / "seite.html", page);
  Put(dir_ / "draussen.html", page);
  fs::create_directories(dir_ / "anderswo");
  Put(dir_ / "anderswo" / "drin.html", page);
  fs::create_symlink("../draussen.html", dir_ / "site" / "relativ.html");
  fs::create_symlink(dir_ / "draussen.html", dir_ / "site" / "absolut.htm");
  fs::create_symlink(dir_ / "anderswo", dir_ / "site" / "ordner");
  // One that stays inside: its file is rewritten once, under its own name.
  fs::create_symlink("seite.html", dir_ / "site" / "auch-seite.html");

  const ToolRun run = Tool({"--rewrite", "-s", "1", (dir_ / "site").string()});
  EXPECT_EQ(run.code, 0) << run.err;
  EXPECT_EQ(run.out, "Geschützt: 1 Adresse in 1 Datei.\n");
  EXPECT_EQ(Written(Contents(dir_ / "site" / "seite.html")), "a@b.de|");
  EXPECT_EQ(Contents(dir_ / "draussen.html"), page);
  EXPECT_EQ(Contents(dir_ / "anderswo" / "drin.html"), page);
  for (const char* link : {"relativ.html", "absolut.htm", "ordner"}) {
    const std::string skipped =
        "Übersprungen: symbolischer Verweis aus dem Ordner heraus: " + (dir_ / "site" / link).string() + " → " +
        fs::canonical(dir_ / "site" / link).string();
    EXPECT_NE(run.err.find(skipped), std::string::npos) << run.err;
    EXPECT_TRUE(fs::is_symlink(dir_ / "site" / link));
  }
  // Named itself, a link is followed, like the link that --output names.
  EXPECT_EQ(Tool({"--rewrite", (dir_ / "site" / "relativ.html").string()}).code, 0);
  EXPECT_EQ(Written(Contents(dir_ / "draussen.html")), "a@b.de|");
}

TEST_F(SiteFolder, AFifoIsNamedForWhatItIsAndNeverRead) {
  Put(dir_ / "site" / "seite.html", "<p>a@b.de</p>");
  const fs::path inFolder = dir_ / "site" / "rohr.html", named = dir_ / "rohr.html";
  ASSERT_EQ(mkfifo(inFolder.c_str(), 0600), 0);
  ASSERT_EQ(mkfifo(named.c_str(), 0600), 0);

  const ToolRun folder = BoundedRun({"--rewrite", "-s", "1", (dir_ / "site").string()}, inFolder);
  EXPECT_EQ(folder.code, 0) << folder.err;
  EXPECT_EQ(folder.err, "velumor-encode: Übersprungen: benannte Pipe (FIFO), keine Datei: " + inFolder.string() + "\n");
  EXPECT_EQ(Written(Contents(dir_ / "site" / "seite.html")), "a@b.de|");

  const ToolRun fifo = BoundedRun({"--rewrite", named.string()}, named);
  EXPECT_EQ(fifo.code, 1);
  EXPECT_EQ(fifo.err,
            "velumor-encode: Der Pfad ist eine benannte Pipe (FIFO), keine Datei; --rewrite schützt nur "
            "Seiten in Dateien: " +
                named.string() + "\n");
  EXPECT_TRUE(fs::is_fifo(named) && fs::is_fifo(inFolder));
}
#else
// What a site on Windows holds: a folder named beyond the ANSI code page,
// pages with CR LF and in Windows-1252, a hidden page and a read-only one.
TEST_F(SiteFolder, WindowsPagesKeepTheirBytesAndAttributesAndAReadOnlyPageIsLeftAsItIs) {
  const fs::path site = dir_ / fs::path(u8"Seiten Łódź Привет");
  const auto utf8 = [](const fs::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
  };
  fs::create_directories(site / u8"Обо мне");
  const struct {
    fs::path name;
    std::string page, written, outside;
    DWORD attributes;
  } pages[] = {
      {site / "kontakt.html",
       "<!DOCTYPE html>\r\n<p>Łódź: <a href=\"mailto:biuro@example.pl\">Biuro</a>\r\n"
       "<p>info@example.pl</p>\r\n",
       "<a href=\"mailto:biuro@example.pl\">Biuro</a>|info@example.pl|",
       "<!DOCTYPE html>\r\n<p>Łódź: #\r\n<p>#</p>\r\n", FILE_ATTRIBUTE_ARCHIVE},
      {site / u8"Обо мне" / "alt.htm", "<meta charset=windows-1252>\r\n<p>M\xFCller \x80 m\xFCller@example.de</p>\r\n",
       "m\xFCller@example.de|", "<meta charset=windows-1252>\r\n<p>M\xFCller \x80 #</p>\r\n", FILE_ATTRIBUTE_ARCHIVE},
      {site / "versteckt.html", "<p>a@b.de</p>\r\n", "a@b.de|", "<p>#</p>\r\n",
       FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE},
      {site / "fest.html", "<p>c@d.de</p>\r\n", "", "<p>c@d.de</p>\r\n", FILE_ATTRIBUTE_READONLY},
  };
  std::vector<DWORD> attributes;
  for (const auto& page : pages) {
    Put(page.name, page.page);
    EXPECT_TRUE(SetFileAttributesW(page.name.c_str(), page.attributes));
    attributes.push_back(GetFileAttributesW(page.name.c_str()));
    EXPECT_EQ(attributes.back() & page.attributes, page.attributes);
  }

  const ToolRun dry = Tool({"--rewrite", "--dry-run", utf8(site)});
  EXPECT_NE(dry.out.find(utf8(site / u8"Обо мне" / "alt.htm") + ":2: m\xC3\xBCller@example.de\n"), std::string::npos)
      << dry.out;
  const ToolRun run = Tool({"--rewrite", "-s", "1", utf8(site)});
  EXPECT_EQ(run.code, 1);
  EXPECT_EQ(run.err, "velumor-encode: Die Datei ist schreibgeschützt: " + utf8(site / "fest.html") + "\n");
  EXPECT_EQ(run.out, "Geschützt: 4 Adressen in 3 Dateien.\n");
  for (std::size_t i = 0; i < std::size(pages); ++i) {
    const std::string now = Contents(pages[i].name);
    EXPECT_EQ(Written(now), pages[i].written);
    EXPECT_EQ(Outside(now), pages[i].outside);
    EXPECT_EQ(GetFileAttributesW(pages[i].name.c_str()), attributes[i]) << pages[i].name;
  }
  std::vector<fs::path> names;
  for (const auto& entry : fs::recursive_directory_iterator(site)) names.push_back(entry.path());
  EXPECT_EQ(names.size(), std::size(pages) + 1);  // and the folder: nothing left beside the pages
  SetFileAttributesW((site / "fest.html").c_str(), FILE_ATTRIBUTE_NORMAL);
}
#endif

}  // namespace

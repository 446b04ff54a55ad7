#include "cli/site_rewrite.h"

#include <gtest/gtest.h>

#include <random>

#include "cli/address_pattern.h"
#include "cli/utf8.h"
#include "core/decoder.h"
#include "tool_run.h"

namespace {

std::vector<std::string> Addresses(const std::string& text) {
  const std::u16string decoded = std::get<std::u16string>(cli::DecodeUtf8(text));
  std::vector<std::string> found;
  for (const auto& m : cli::FindAddresses(decoded)) {
    found.push_back(cli::EncodeUtf8(std::u16string_view(decoded).substr(m.begin, m.end - m.begin)));
  }
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
  const std::u16string_view pieces[] = {u"a", u"b.de", u"x.d", u"@", u"@",      u".",  u"...", u":",          u"/",
                                        u"_", u"+",    u"-",   u" ", u"\u00FC", u"2x", u"de",  u"@m\u00FC.de"};
  std::mt19937 random(7);
  for (int round = 0; round < 100000; ++round) {
    std::u16string text;
    for (auto count = random() % 12; count > 0; --count) text += pieces[random() % std::size(pieces)];
    std::size_t gapBegin = 0;
    const auto gapHoldsNone = [&](std::size_t gapEnd) {
      const std::u16string_view gap = std::u16string_view(text).substr(gapBegin, gapEnd - gapBegin);
      return cli::FindAddresses(gap).empty();
    };
    for (const cli::AddressMatch& match : cli::FindAddresses(text)) {
      ASSERT_LE(gapBegin, match.begin) << cli::EncodeUtf8(text);
      ASSERT_TRUE(gapHoldsNone(match.begin)) << cli::EncodeUtf8(text);
      gapBegin = match.end;
    }
    ASSERT_TRUE(gapHoldsNone(text.size())) << cli::EncodeUtf8(text);
  }
}

std::string Rewritten(const std::string& page, cli::BlockFormat format = cli::BlockFormat::Script) {
  common::PseudoRandom random(3);
  auto result = cli::RewritePage(page, {format, "!", false}, random);
  if (auto* reason = std::get_if<std::string>(&result)) return "FEHLER " + *reason;
  return std::get<cli::RewrittenPage>(result).bytes;
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

  const std::string data = Rewritten(page, cli::BlockFormat::Data);
  EXPECT_NE(data.find("<span data-velumor=\""), data.npos);
  EXPECT_EQ(Rewritten(data, cli::BlockFormat::Data), data);
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
  // What still holds a byte of Windows-1252 is read so anyway and stays as it is.
  const std::string latin = "<p>M\xFCller, m\xFCller@example.de</p>";
  EXPECT_EQ(Outside(Rewritten(latin)), "<p>M\xFCller, #</p>");
}

TEST(EncodeTool, DataFormatCarriesItsFallbackAndDecodesLikeTheBlock) {
  const ToolRun block = Tool({"--format", "data", "--fallback", "<Adresse>", "x@y.de"});
  ASSERT_EQ(block.code, 0);
  EXPECT_TRUE(block.out.ends_with("\">&#60;Adresse&#62;</span>")) << block.out;
  EXPECT_EQ(Tool({"--decode"}, block.out).out, "x@y.de\n");
}

}  // namespace

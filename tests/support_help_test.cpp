#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fake_platform.h"
#include "support/RXSAMMLUNG.h"

namespace {

using namespace RXSAMMLUNG;
using fake::Bytes;
using Execution = fake::Execution;
using Message = fake::Message;

const std::vector<std::u16string> Candidates = {u"C:\\Velumor\\index.htm",        u"C:\\Velumor\\index.html",
                                                u"C:\\Velumor\\hilfe.htm",        u"C:\\Velumor\\hilfe.html",
                                                u"C:\\Velumor\\hilfe\\index.htm", u"C:\\Velumor\\hilfe\\index.html",
                                                u"C:\\Velumor\\hilfe\\hilfe.htm", u"C:\\Velumor\\hilfe\\hilfe.html"};

class Help : public ::testing::Test {
 protected:
  Help() { os.files.programFolder = u"C:\\Velumor"; }
  fake::FakePlatform os;
};

TEST_F(Help, TheFirstExistingCandidateWinsInTheirOrder) {
  EXPECT_EQ(FindHelpFile(os), u"");
  for (const auto& candidate : Candidates) os.files.AddFile(fake::Utf8(candidate));
  for (const auto& candidate : Candidates) {
    EXPECT_EQ(FindHelpFile(os), candidate);
    os.DeleteFile(candidate);
  }
  EXPECT_EQ(FindHelpFile(os), u"");
}

TEST_F(Help, FoldersAndHiddenPagesAreNoCandidates) {
  os.files.AddFile("C:\\Velumor\\index.htm", platform::AttributeDirectory);
  os.files.AddFile("C:\\Velumor\\index.html", platform::AttributeHidden);
  os.files.AddFile("C:\\Velumor\\hilfe.htm");
  EXPECT_EQ(FindHelpFile(os), u"C:\\Velumor\\hilfe.htm");
}

TEST_F(Help, AProgramAtTheRootOfADriveHasOneBackslashInItsCandidates) {
  os.files.programFolder = u"D:\\";
  os.files.AddFile("D:\\hilfe\\hilfe.html");
  EXPECT_EQ(FindHelpFile(os), u"D:\\hilfe\\hilfe.html");
}

// What ShowHelp opens and says, for the files present and the page asked for.
TEST_F(Help, OpensTheAskedPageOrTheSearchedOneAndConfirmsWhenAsked) {
  const std::string page = fake::Utf8(u"C:\\Dokumente\\Über uns.htm");
  const std::u16string sent = u"HTML-Hilfetext wurde an den Standard-Browser geschickt ...";
  const std::u16string none = u"Die Online-Hilfe konnte leider nicht gefunden werden ...";
  const struct {
    std::vector<std::string> files;
    std::u16string asked;
    bool confirm;
    std::vector<Execution> opened;
    std::vector<Message> said;
  } cases[] = {
      {{"C:\\Velumor\\hilfe\\index.htm"}, u"", false, {{"Open", "C:\\Velumor\\hilfe\\index.htm", 1}}, {}},
      {{"C:\\Velumor\\index.htm", page},
       u"C:\\Dokumente\\Über uns.htm",
       true,
       {{"Open", page, 1}},
       {{sent, u"Velumor", 64}}},
      {{"C:\\Velumor\\hilfe.html"}, u"C:\\weg\\seite.htm", false, {{"Open", "C:\\Velumor\\hilfe.html", 1}}, {}},
      {{}, u"", true, {}, {{none, u"Velumor", 64}}},
  };
  for (const auto& c : cases) {
    fake::FakePlatform os;
    os.files.programFolder = u"C:\\Velumor";
    for (const auto& file : c.files) os.files.AddFile(file);
    ShowHelp(os, c.asked, c.confirm);
    EXPECT_EQ(os.executions, c.opened) << Bytes(c.asked);
    EXPECT_EQ(os.messages, c.said) << Bytes(c.asked);
  }
}

}  // namespace

#include <gtest/gtest.h>
#include <version.h>

#include <string>
#include <vector>

#include "fake_platform.h"
#include "support/RXSAMMLUNG.h"

namespace {

using namespace RXSAMMLUNG;
using Execution = fake::FakeShell::Execution;
using Message = fake::FakeDialogs::Message;

const std::vector<std::string> Candidates = {"C:\\Velumor\\index.htm",        "C:\\Velumor\\index.html",
                                             "C:\\Velumor\\hilfe.htm",        "C:\\Velumor\\hilfe.html",
                                             "C:\\Velumor\\hilfe\\index.htm", "C:\\Velumor\\hilfe\\index.html",
                                             "C:\\Velumor\\hilfe\\hilfe.htm", "C:\\Velumor\\hilfe\\hilfe.html"};

std::u16string Text(std::string_view ascii) { return std::u16string(ascii.begin(), ascii.end()); }

class Help : public ::testing::Test {
 protected:
  Help() { os.files.programFolder = u"C:\\Velumor"; }
  fake::FakePlatform os;
};

TEST_F(Help, TheFirstExistingCandidateWinsInTheirOrder) {
  EXPECT_EQ(FindHelpFile(os), u"");
  EXPECT_EQ(os.files.searches, Candidates);  // all eight tried, in order
  for (const auto& candidate : Candidates) os.files.AddFile(candidate);
  for (const auto& candidate : Candidates) {
    EXPECT_EQ(FindHelpFile(os), Text(candidate));
    os.files.DeleteFile(Text(candidate));
  }
  EXPECT_EQ(FindHelpFile(os), u"");
}

TEST_F(Help, FoldersAndHiddenPagesAreNoCandidates) {
  os.files.AddFolder("C:\\Velumor\\index.htm");
  os.files.AddFile("C:\\Velumor\\index.html", platform::AttributeHidden);
  os.files.AddFile("C:\\Velumor\\hilfe.htm");
  EXPECT_EQ(FindHelpFile(os), u"C:\\Velumor\\hilfe.htm");
}

TEST_F(Help, AProgramAtTheRootOfADriveHasOneBackslashInItsCandidates) {
  os.files.programFolder = u"D:\\";
  os.files.AddFile("D:\\hilfe\\hilfe.html");
  EXPECT_EQ(FindHelpFile(os), u"D:\\hilfe\\hilfe.html");
}

TEST_F(Help, TheSearchedPageOpensNormallyWithoutConfirmation) {
  os.files.AddFile("C:\\Velumor\\hilfe\\index.htm");
  ShowHelp(os, u"", false);
  EXPECT_EQ(os.shell.executions, (std::vector<Execution>{{"Open", "C:\\Velumor\\hilfe\\index.htm", 1}}));
  EXPECT_TRUE(os.dialogs.messages.empty());
}

TEST_F(Help, AnExistingFileOpensWithoutSearchAndIsConfirmed) {
  const std::string page = fake::Utf8(u"C:\\Dokumente\\Über uns.htm");
  os.files.AddFile("C:\\Velumor\\index.htm");
  os.files.AddFile(page);
  ShowHelp(os, u"C:\\Dokumente\\Über uns.htm", true);
  EXPECT_EQ(os.files.searches, std::vector<std::string>{page});
  EXPECT_EQ(os.shell.executions, (std::vector<Execution>{{"Open", page, 1}}));
  EXPECT_EQ(os.dialogs.messages,
            (std::vector<Message>{{u"HTML-Hilfetext wurde an den Standard-Browser geschickt ...", u"Velumor", 64}}));
}

TEST_F(Help, AMissingFileFallsBackToTheSearch) {
  os.files.AddFile("C:\\Velumor\\hilfe.html");
  ShowHelp(os, u"C:\\weg\\seite.htm", false);
  EXPECT_EQ(os.shell.executions, (std::vector<Execution>{{"Open", "C:\\Velumor\\hilfe.html", 1}}));
}

TEST_F(Help, NoPageFoundIsSaidAndNothingOpens) {
  ShowHelp(os, u"", true);
  EXPECT_TRUE(os.shell.executions.empty());
  EXPECT_EQ(os.dialogs.messages,
            (std::vector<Message>{{u"Die Online-Hilfe konnte leider nicht gefunden werden ...", u"Velumor", 64}}));
}

TEST(ShellOpen, ShowModeZeroMeansNormalAndTheMakersSiteOpensMaximised) {
  fake::FakePlatform os;
  ShellOpen(os, u"mailto:info@norvane.example", 0);
  ShellOpen(os, u"https://www.norvane.example/", 7);
  OpenMakerWebSite(os);
  EXPECT_EQ(os.shell.executions, (std::vector<Execution>{{"Open", "mailto:info@norvane.example", 1},
                                                         {"Open", "https://www.norvane.example/", 7},
                                                         {"Open", velumor_build::MakerHost, 3}}));
}

}  // namespace

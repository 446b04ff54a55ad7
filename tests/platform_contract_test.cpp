// The contract of the registry, file and clipboard procedures, run on every
// Windows the test program instantiates it for.
#include "platform_contract.h"

#include <gtest/gtest.h>

#include <string_view>

#include "support/RXSAMMLUNG.h"
#include "support/RXSAMMLUNG2DIVFU.h"

namespace {

using contract::Stored;
using namespace RXSAMMLUNG;
constexpr auto User = platform::RegistryRoot::CurrentUser;

// A name or path for a failure message; enough for the ASCII of the tables.
std::string Shown(std::u16string_view text) { return std::string(text.begin(), text.end()); }

TEST_P(Contract, RegistryValuesRoundTripInWindows1252) {
  using namespace std::string_view_literals;
  const struct {
    std::u16string_view name, data;
    std::uint32_t type;
    std::string_view stored;
    std::u16string_view readBack;
  } cases[] = {
      {u"Text", u"Grüß aus Köln", platform::RegSz, "Gr\xFC\xDF aus K\xF6ln\0"sv, u"Grüß aus Köln"},
      {u"Leer", u"", platform::RegSz, "\0"sv, u""},
      // One "?" per character the code page lacks, the surrogate pair included.
      {u"Fremd", u"€ ł 😀", platform::RegSz, "\x80 ? ?\0"sv, u"€ ? ?"},
      {u"Liste", u"a\0b\0"sv, platform::RegMultiSz, "a\0b\0\0"sv, u"a\0b\0"sv},
      {u"Roh", u"AB", platform::RegBinary, "AB", u"AB"},
  };
  const std::u16string path = key + u"\\Neu\\Tiefer";  // the path is created
  for (const auto& c : cases) {
    RegPutValue(os, User, path, c.name, c.data, c.type);
    EXPECT_EQ(windows->Get(path, c.name), (Stored{c.type, std::string(c.stored)})) << Shown(c.name);
    EXPECT_TRUE(RegValueExists(os, User, path, c.name));
    EXPECT_EQ(RegGetString(os, User, path, c.name), c.readBack);
  }
}

TEST_P(Contract, StoredValuesReadAsText) {
  using namespace std::string_view_literals;
  const struct {
    std::u16string_view name;
    std::uint32_t type;
    std::string_view stored;
    std::u16string_view text;
  } cases[] = {
      {u"Erweitert", platform::RegExpandSz, "%TEMP%\\x\0"sv, u"%TEMP%\\x"},  // not expanded
      {u"OhneNull", platform::RegSz, "C:\\Start", u"C:\\Start"},             // keeps its last character
      {u"Zahl", platform::RegDword, "A\0\xE4\0"sv, u"A\0ä\0"sv},             // one character per byte
      {u"Liste", platform::RegMultiSz, "eins\0zwei\0\0"sv, u"eins\0zwei\0"sv},
  };
  for (const auto& c : cases) {
    windows->Put(key, c.name, {c.type, std::string(c.stored)});
    EXPECT_EQ(RegGetString(os, User, key, c.name), c.text);
  }
}

TEST_P(Contract, MissingValuesAndKeysReadAsAbsentAndRemovalTouchesOnlyItsValue) {
  RegPutValue(os, User, key, u"Weg", u"1", platform::RegSz);
  RegPutValue(os, User, key, u"Bleibt", u"2", platform::RegSz);
  EXPECT_TRUE(RegValueExists(os, User, key, u"WEG"));  // names without regard to case
  EXPECT_FALSE(RegValueExists(os, User, key, u"Fehlt"));
  EXPECT_FALSE(RegValueExists(os, User, key + u"\\Fehlt", u"Weg"));
  EXPECT_EQ(RegGetString(os, User, key + u"\\Fehlt", u"Weg"), u"");
  RegRemoveValue(os, User, key, u"Weg");
  RegRemoveValue(os, User, key, u"Weg");
  RegRemoveValue(os, User, key + u"\\Fehlt", u"Weg");
  EXPECT_FALSE(windows->Get(key, u"Weg"));
  EXPECT_EQ(windows->Get(key, u"Bleibt"), (Stored{platform::RegSz, std::string("2\0", 2)}));
}

TEST_P(Contract, FileExistsSeesOrdinaryFilesOnly) {
  windows->AddFile(u"nurlesen.txt", platform::AttributeReadOnly);
  windows->AddFile(u".versteckt.dat", platform::AttributeHidden);
  windows->AddFolder(u"ordner");
  const std::u16string in = windows->Folder() + u"\\";
  const struct {
    std::u16string path;
    bool exists;
  } cases[] = {
      {in + u"nurlesen.txt", true},
      {in + u"NURLESEN.TXT", true},
      {in + u"*.txt", true},
      {in + u"n?rlesen.*", true},
      {in + u".versteckt.dat", false},
      {in + u"*.dat", false},
      {in + u"ordner", false},
      {in + u"fehlt.txt", false},
      {in, false},
      {in + std::u16string(u"nurlesen.txt\0.lnk", 17), false},  // an inner zero names nothing
      {windows->NoDrive() + u"datei.txt", false},
      {u"", false},
  };
  for (const auto& c : cases) EXPECT_EQ(FileExists(os, c.path), c.exists) << Shown(c.path);
  EXPECT_EQ(RXSAMMLUNG2DIVFU::AppFilePath(os), windows->ProgramFile());
}

TEST_P(Contract, ClipboardTextRoundTrips) {
  for (const std::u16string& text :
       std::vector<std::u16string>{u"Grüße – \u20AC \U0001F600 <a href=\"mailto:x@y.de\">\r\n",
                                   std::u16string(100000, u'ä'), std::u16string()}) {
    ASSERT_EQ(os.ReplaceClipboardText(text), platform::ClipboardStatus::Ok);
    const platform::ClipboardText read = os.ReadClipboardText();
    EXPECT_EQ(read.status, platform::ClipboardStatus::Ok);
    EXPECT_EQ(read.text, text);
  }
}

TEST_P(Contract, AReadOnlyStartupShortcutIsTakenOverIntoTheQuotedRunValue) {
  const std::u16string runKey = u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
  const std::u16string shellFolders = u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
  windows->KeepUnchanged(runKey, u"Velumor");
  windows->KeepUnchanged(shellFolders, u"Startup");
  windows->AddFile(u"Velumor.lnk", platform::AttributeReadOnly);
  RegPutText(os, User, shellFolders, u"Startup", windows->Folder());

  controls::CheckBox box;
  box.SetClickHandler([this](controls::CheckBox& b) { ApplyAutostart(os, b); });
  SyncAutostart(os, box);
  EXPECT_FALSE(windows->Present(windows->Folder() + u"\\Velumor.lnk"));
  EXPECT_TRUE(windows->Messages().empty());
  EXPECT_EQ(box.Value(), 1);
  std::u16string quoted = u"\"";  // appended, not joined with +: that trips a false -Wrestrict of GCC 12
  quoted += windows->ProgramFile();
  quoted += u"\" /AUTOSTART";
  EXPECT_EQ(RegGetText(os, User, runKey, u"Velumor"), quoted);
  box.SetValue(0);
  EXPECT_FALSE(RegValueExists(os, User, runKey, u"Velumor"));
}

}  // namespace

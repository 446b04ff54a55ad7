#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "fake_platform.h"
#include "support/RXSAMMLUNG.h"
#include "support/check_box.h"

namespace {

using namespace RXSAMMLUNG;
using controls::CheckBox;
using fake::Bytes;
using fake::StoredValue;
using fake::Utf8;
using platform::RegistryRoot;

constexpr auto User = RegistryRoot::CurrentUser;
constexpr std::string_view RunKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr std::string_view ShellFolders = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
constexpr std::u16string_view Shortcut = u"C:\\Users\\Łukasz\\Главное меню\\Autostart\\Velumor.lnk";

// Written through the W-functions: the 8-bit view loses what Windows-1252 lacks, the text keeps it.
StoredValue RunCommand(std::u16string_view command) {
  return {platform::RegSz, Bytes(command) + '\0', std::u16string(command)};
}

TEST(CheckBox, ClicksOnlyWhenTheStateChanges) {
  CheckBox box;
  std::vector<int> clicks;
  box.SetClickHandler([&](CheckBox& b) { clicks.push_back(b.Value()); });
  box.SetValue(0);
  box.SetValue(-1);  // any non-zero value checks the box
  box.SetValue(1);
  box.SetValue(0);
  EXPECT_EQ(clicks, (std::vector<int>{1, 0}));
}

class Autostart : public ::testing::Test {
 protected:
  struct Click {
    int value;
    std::u16string tag;
    bool operator==(const Click&) const = default;
  };

  Autostart() {
    os.files.programFolder = u"C:\\Programme Łukasz\\Велумор";
    // As the tray program's AutoStartChk_Click: the menu mark follows the box
    // (recorded here), then the entry.
    box.SetClickHandler([this](CheckBox& b) {
      clicks.push_back({b.Value(), b.Tag()});
      ApplyAutostart(os, b);
    });
  }
  void TearDown() override { EXPECT_EQ(os.registry.OpenHandles(), 0u); }

  void SetStartupFolder(std::u16string_view folder) { os.registry.PutText(User, ShellFolders, "Startup", folder); }
  std::optional<StoredValue> RunValue() const { return os.registry.Get(User, RunKey, "Velumor"); }

  fake::FakePlatform os;
  CheckBox box;
  std::vector<Click> clicks;
};

const StoredValue CurrentCommand = RunCommand(u"\"C:\\Programme Łukasz\\Велумор\\Velumor.exe\" /AUTOSTART");

TEST_F(Autostart, FirstStartWithoutEntryOrShortcutStaysOffAndWritesNothing) {
  SetStartupFolder(u"C:\\Users\\Łukasz\\Главное меню\\Autostart");
  const auto before = os.registry.AllKeys();
  SyncAutostart(os, box);
  EXPECT_EQ(box.Value(), 0);
  EXPECT_EQ(box.Tag(), u"OK");
  EXPECT_TRUE(clicks.empty());
  EXPECT_EQ(os.registry.AllKeys(), before);
}

TEST_F(Autostart, AnExistingEntryChecksTheBoxBeforeTheTagAndIsNotRewritten) {
  SetStartupFolder(u"C:\\Users\\Łukasz\\Главное меню\\Autostart");
  os.registry.Put(User, RunKey, "Velumor", platform::RegSz, "C:\\Alt\\Velumor.exe /AUTOSTART");  // unquoted, old
  const auto before = os.registry.AllKeys();
  SyncAutostart(os, box);
  EXPECT_EQ(clicks, (std::vector<Click>{{1, u""}}));
  EXPECT_EQ(box.Tag(), u"OK");
  EXPECT_EQ(os.registry.AllKeys(), before);
}

TEST_F(Autostart, EntriesInTheMachineWideAndRunOnceListsAreIgnored) {
  os.registry.PutText(RegistryRoot::LocalMachine, RunKey, "Velumor", u"C:\\x\\Velumor.exe /AUTOSTART");
  os.registry.PutText(User, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnce", "Velumor", u"x");
  SyncAutostart(os, box);
  EXPECT_EQ(box.Value(), 0);
  EXPECT_FALSE(RunValue());
}

TEST_F(Autostart, ShortcutFailuresAreShownAndTheEntryIsWrittenAllTheSame) {
  SetStartupFolder(u"C:\\Users\\Łukasz\\Главное меню\\Autostart\\");  // one backslash before the name all the same
  os.files.AddFile(Utf8(Shortcut), platform::AttributeReadOnly);
  os.files.Find(Utf8(Shortcut))->attributesLocked = true;
  SyncAutostart(os, box);
  const std::u16string path(Shortcut);
  EXPECT_EQ(os.messages,
            (std::vector<fake::Message>{{u"Attribute nicht löschbar: " + path, u"Velumor", 64},
                                                     {u"Datei nicht löschbar: " + path, u"Velumor", 64}}));
  EXPECT_EQ(box.Value(), 1);
  EXPECT_EQ(RunValue(), CurrentCommand);
}

TEST_F(Autostart, ALockedShortcutIsReportedOnceItsAttributesAreCleared) {
  SetStartupFolder(u"C:\\Users\\Łukasz\\Главное меню\\Autostart");
  os.files.AddFile(Utf8(Shortcut));
  os.files.Find(Utf8(Shortcut))->locked = true;
  SyncAutostart(os, box);
  ASSERT_EQ(os.messages.size(), 1u);
  EXPECT_EQ(os.messages[0].text, u"Datei nicht löschbar: " + std::u16string(Shortcut));
  EXPECT_EQ(os.files.Find(Utf8(Shortcut))->attributes, platform::AttributeNormal);
  EXPECT_EQ(RunValue(), CurrentCommand);
}

TEST_F(Autostart, NoUsableStartupFolderSkipsTheShortcut) {
  // Without a Startup value the shortcut would be "\Velumor.lnk" at the root of the current drive.
  os.files.AddFile("\\Velumor.lnk");
  SyncAutostart(os, box);
  EXPECT_NE(os.files.Find("\\Velumor.lnk"), nullptr);

  fake::FakePlatform other;
  other.registry.PutText(User, ShellFolders, "Startup", u"E:\\Autostart");
  other.files.AddFile("E:\\Autostart\\Velumor.lnk");
  other.files.SetDriveNotReady('E');
  CheckBox otherBox;
  SyncAutostart(other, otherBox);
  EXPECT_EQ(otherBox.Value(), 0);
  EXPECT_EQ(otherBox.Tag(), u"OK");
  EXPECT_TRUE(other.messages.empty());
  EXPECT_FALSE(other.registry.Get(User, RunKey, "Velumor"));
}

TEST_F(Autostart, TogglingWritesAndDeletesOnlyTheProgramsEntry) {
  os.registry.Put(User, RunKey, "Velumor", platform::RegSz, "C:\\Alt\\Velumor.exe /AUTOSTART");
  os.registry.PutText(User, RunKey, "Anderes", u"C:\\anderes.exe");
  box.SetValue(1);  // before synchronisation the entry is not touched
  box.SetValue(0);
  EXPECT_TRUE(RunValue());

  SyncAutostart(os, box);
  ASSERT_EQ(box.Value(), 1);
  box.SetValue(0);
  EXPECT_FALSE(RunValue());
  box.SetValue(1);
  EXPECT_EQ(RunValue(), CurrentCommand);  // an old unquoted entry comes back quoted
  EXPECT_EQ(os.registry.Get(User, RunKey, "Anderes"), RunCommand(u"C:\\anderes.exe"));
}

}  // namespace

#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "fake_platform.h"
#include "support/RXSAMMLUNG.h"
#include "support/check_box.h"

namespace {

using namespace RXSAMMLUNG;
using controls::CheckBox;
using fake::StoredValue;
using fake::Utf8;
using platform::RegistryRoot;

constexpr auto User = RegistryRoot::CurrentUser;
constexpr std::string_view RunKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr std::string_view ShellFolders = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
constexpr std::u16string_view Shortcut = u"C:\\Users\\Łukasz\\Главное меню\\Autostart\\Velumor.lnk";

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

TEST(AutostartAtStart, WithoutAShortcutTheBoxFollowsOnlyTheUsersOwnEntryAndNothingIsWritten) {
  const struct {
    RegistryRoot root;
    std::string_view key, name;
    int checked;
  } cases[] = {
      {User, RunKey, "Velumor", 1},  // an old unquoted entry is not rewritten at start
      {User, RunKey, "Anderes", 0},
      {RegistryRoot::LocalMachine, RunKey, "Velumor", 0},
      {User, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnce", "Velumor", 0},
  };
  for (const auto& c : cases) {
    fake::FakePlatform os;
    os.registry.PutText(User, ShellFolders, "Startup", u"C:\\Users\\Łukasz\\Главное меню\\Autostart");
    os.registry.Put(c.root, c.key, c.name, platform::RegSz, "C:\\Alt\\Velumor.exe /AUTOSTART");
    const auto before = os.registry.keys;
    CheckBox box;
    box.SetClickHandler([&](CheckBox& b) { ApplyAutostart(os, b); });
    SyncAutostart(os, box);
    EXPECT_EQ(box.Value(), c.checked) << c.key << " " << c.name;
    EXPECT_EQ(box.Tag(), u"OK");
    EXPECT_EQ(os.registry.keys, before) << c.key << " " << c.name;
  }
}

// The box as the tray program wires it: each click applies the entry.
class Autostart : public ::testing::Test {
 protected:
  Autostart() {
    os.files.programFolder = u"C:\\Programme Łukasz\\Велумор";
    box.SetClickHandler([this](CheckBox& b) { ApplyAutostart(os, b); });
  }
  void TearDown() override { EXPECT_EQ(os.registry.handles.size(), 0u); }

  std::optional<StoredValue> RunValue() const { return os.registry.Get(User, RunKey, "Velumor"); }

  fake::FakePlatform os;
  CheckBox box;
};

const StoredValue CurrentCommand = fake::TextValue(u"\"C:\\Programme Łukasz\\Велумор\\Velumor.exe\" /AUTOSTART");

TEST_F(Autostart, ShortcutFailuresAreShownAndTheEntryIsWrittenAllTheSame) {
  // One backslash before the name all the same.
  os.registry.PutText(User, ShellFolders, "Startup", u"C:\\Users\\Łukasz\\Главное меню\\Autostart\\");
  os.files.AddFile(Utf8(Shortcut), platform::AttributeReadOnly).attributesLocked = true;
  SyncAutostart(os, box);
  const std::u16string path(Shortcut);
  EXPECT_EQ(os.messages, (std::vector<fake::Message>{{u"Attribute nicht löschbar: " + path, u"Velumor", 64},
                                                     {u"Datei nicht löschbar: " + path, u"Velumor", 64}}));
  EXPECT_EQ(box.Value(), 1);
  EXPECT_EQ(RunValue(), CurrentCommand);
}

TEST_F(Autostart, NoUsableStartupFolderSkipsTheShortcut) {
  // Without a Startup value the shortcut would be "\Velumor.lnk" at the root of the current drive.
  os.files.AddFile("\\Velumor.lnk");
  SyncAutostart(os, box);
  EXPECT_NE(os.files.Find("\\Velumor.lnk"), nullptr);
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
  EXPECT_EQ(os.registry.Get(User, RunKey, "Anderes"), fake::TextValue(u"C:\\anderes.exe"));
}

}  // namespace

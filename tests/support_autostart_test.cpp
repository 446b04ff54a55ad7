#include <gtest/gtest.h>

#include <functional>
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

// A click of the autostart box: its value and its tag at that moment.
struct Click {
  int value;
  std::u16string tag;
  bool operator==(const Click&) const = default;
};

class Autostart : public ::testing::Test {
 protected:
  Autostart() {
    os.files.programFolder = u"C:\\Programme Łukasz\\Велумор";
    box.SetClickHandler([this](CheckBox& b) { ApplyAutostart(os, b); });
  }
  void TearDown() override { EXPECT_EQ(os.registry.OpenHandles(), 0u); }

  std::optional<StoredValue> RunValue() const { return os.registry.Get(User, RunKey, "Velumor"); }

  fake::FakePlatform os;
  CheckBox box;
};

const StoredValue CurrentCommand = RunCommand(u"\"C:\\Programme Łukasz\\Велумор\\Velumor.exe\" /AUTOSTART");

TEST(AutostartSync, FollowsTheEntryOrShortcutAndReportsAShortcutItCannotDelete) {
  const std::u16string startup = u"C:\\Users\\Łukasz\\Главное меню\\Autostart";
  const std::u16string path(Shortcut), lockedFile = u"Datei nicht löschbar: " + path;
  using SetUp = std::function<void(fake::FakePlatform&)>;
  const struct {
    std::u16string startupFolder;  // empty: no Startup value
    SetUp setUp;
    std::vector<Click> clicks;  // checking the box before the tag leaves the entry as it is
    std::vector<std::u16string> messages;
  } cases[] = {
      {startup, [](auto&) {}, {}, {}},
      // An old unquoted entry checks the box and is not rewritten.
      {startup,
       [](auto& os) { os.registry.Put(User, RunKey, "Velumor", platform::RegSz, "C:\\Alt\\V.exe"); },
       {{1, u""}},
       {}},
      {u"",
       [](auto& os) {
         os.registry.PutText(RegistryRoot::LocalMachine, RunKey, "Velumor", u"C:\\x\\Velumor.exe /AUTOSTART");
         os.registry.PutText(User, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnce", "Velumor", u"x");
       },
       {},
       {}},
      // One backslash before the name all the same.
      {startup + u"\\",
       [](auto& os) {
         os.files.AddFile(Utf8(Shortcut), platform::AttributeReadOnly);
         os.files.Find(Utf8(Shortcut))->attributesLocked = true;
       },
       {{1, u"OK"}},
       {u"Attribute nicht löschbar: " + path, lockedFile}},
      {startup,
       [](auto& os) {
         os.files.AddFile(Utf8(Shortcut));
         os.files.Find(Utf8(Shortcut))->locked = true;
       },
       {{1, u"OK"}},
       {lockedFile}},
      // Without a Startup value the shortcut would be "\Velumor.lnk" at the root of the current drive.
      {u"", [](auto& os) { os.files.AddFile("\\Velumor.lnk"); }, {}, {}},
      {u"E:\\Autostart",
       [](auto& os) {
         os.files.AddFile("E:\\Autostart\\Velumor.lnk");
         os.files.SetDriveNotReady('E');
       },
       {},
       {}},
  };
  for (const auto& c : cases) {
    fake::FakePlatform os;
    os.files.programFolder = u"C:\\Programme Łukasz\\Велумор";
    if (!c.startupFolder.empty()) os.registry.PutText(User, ShellFolders, "Startup", c.startupFolder);
    c.setUp(os);
    const auto keys = os.registry.AllKeys();
    const std::size_t files = os.files.entries.size();
    CheckBox box;
    std::vector<Click> clicks;
    // As the tray program's AutoStartChk_Click: the menu mark follows the box, then the entry.
    box.SetClickHandler([&](CheckBox& b) {
      clicks.push_back({b.Value(), b.Tag()});
      ApplyAutostart(os, b);
    });
    SyncAutostart(os, box);
    EXPECT_EQ(box.Value(), c.clicks.empty() ? 0 : 1);
    EXPECT_EQ(clicks, c.clicks);
    EXPECT_EQ(box.Tag(), u"OK");
    std::vector<std::u16string> messages;
    for (const auto& message : os.messages) messages.push_back(message.text);
    EXPECT_EQ(messages, c.messages);
    if (c.messages.empty()) {
      EXPECT_EQ(os.registry.AllKeys(), keys);
    } else {
      EXPECT_EQ(os.registry.Get(User, RunKey, "Velumor"), CurrentCommand);
    }
    EXPECT_EQ(os.files.entries.size(), files);
    EXPECT_EQ(os.registry.OpenHandles(), 0u);
  }
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

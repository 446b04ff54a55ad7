// The automatic start at logon: the program's value "Velumor" in the
// per-user "Run" list, kept in step with the AutoStartChk box, and the
// take-over of an old Startup-folder shortcut.
#include "support/RXSAMMLUNG.h"
#include "support/RXSAMMLUNG2DIVFU.h"
#include "support/information_message.h"

namespace RXSAMMLUNG {
namespace {

constexpr std::u16string_view CurrentVersionKey = u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\";
constexpr std::u16string_view EntryName = ApplicationTitle;

// Clears the shortcut's attributes (it may be read-only) and deletes it; each
// failure is shown and the next step still runs.
void RemoveShortcut(platform::Platform& os, const std::u16string& shortcut) {
  if (!os.SetAttributes(shortcut, platform::AttributeNormal)) {
    ShowInformation(os, u"Attribute nicht löschbar: " + shortcut);
  }
  if (!os.DeleteFile(shortcut)) ShowInformation(os, u"Datei nicht löschbar: " + shortcut);
}

}  // namespace

platform::RegistryRoot RunEntryRoot(bool machineWide) {
  return machineWide ? platform::RegistryRoot::LocalMachine : platform::RegistryRoot::CurrentUser;
}

std::u16string RunEntryKey(bool once) { return std::u16string(CurrentVersionKey) + (once ? u"RunOnce" : u"Run"); }

void RunEntryWrite(platform::Platform& os, std::u16string_view name, std::u16string_view command, bool machineWide,
                   bool once) {
  // The command holds the program's path: written whole, whatever letters its folders have.
  RegPutText(os, RunEntryRoot(machineWide), RunEntryKey(once), name, command);
}

void RunEntryDelete(platform::Platform& os, std::u16string_view name, bool machineWide, bool once) {
  RegRemoveValue(os, RunEntryRoot(machineWide), RunEntryKey(once), name);
}

bool RunEntryExists(platform::Platform& os, std::u16string_view name, bool machineWide, bool once) {
  return RegValueExists(os, RunEntryRoot(machineWide), RunEntryKey(once), name);
}

void SyncAutostart(platform::Platform& os, controls::CheckBox& box) {
  const std::u16string startupFolder =
      RegGetText(os, platform::RegistryRoot::CurrentUser,
                 std::u16string(CurrentVersionKey) + u"Explorer\\Shell Folders", u"Startup");
  const std::u16string shortcut =
      RXSAMMLUNG2DIVFU::WithTrailingBackslash(startupFolder) + std::u16string(EntryName) + u".lnk";

  if (!startupFolder.empty() && FileExists(os, shortcut)) {
    RemoveShortcut(os, shortcut);
    // Tag first: the click handler raised by the state then writes the entry
    // with the current path, whether or not the shortcut could be removed.
    box.SetTag(u"OK");
    box.SetValue(controls::CheckBox::Checked);
  } else {
    // State first: while the tag is empty the click handler only moves the
    // menu check mark, so an existing entry is not rewritten at start.
    box.SetValue(RunEntryExists(os, EntryName, false, false) ? controls::CheckBox::Checked
                                                             : controls::CheckBox::Unchecked);
    box.SetTag(u"OK");
  }
}

void ApplyAutostart(platform::Platform& os, const controls::CheckBox& box) {
  if (box.Tag().empty()) return;
  if (box.Value() != controls::CheckBox::Unchecked) {
    // Quoted, so that Windows does not try "C:\Program.exe" and the like for
    // a path with blanks.
    const std::u16string command = u"\"" + RXSAMMLUNG2DIVFU::AppFilePath(os) + u"\" /AUTOSTART";
    RunEntryWrite(os, EntryName, command, false, false);
  } else {
    RunEntryDelete(os, EntryName, false, false);
  }
}

}  // namespace RXSAMMLUNG

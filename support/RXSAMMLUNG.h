// The support procedures that reach Windows: the settings store, single
// registry values, the automatic start at logon, help and web launching and
// the file-existence test. All of them go through the platform seam and keep
// no state between calls; none reports a failure to its caller.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/platform.h"
#include "support/check_box.h"

namespace RXSAMMLUNG {

// Caption of the program's message boxes and the name of its autostart entry.
inline constexpr std::u16string_view ApplicationTitle = u"Velumor";

// ---- Settings store: application "Norvane Software", section "Velumor".

// Creates what is missing and replaces an existing value; a store that
// cannot be written is left as it is.
void SaveAppSetting(platform::Platform& os, std::u16string_view key, std::u16string_view value);
// The stored text, or `defaultValue` when the value, the section or the
// application is absent.
std::u16string GetAppSetting(platform::Platform& os, std::u16string_view key, std::u16string_view defaultValue = {});

// ---- Single registry values. Each call opens and closes its key; failures
// give false, the empty text or no change.

bool RegValueExists(platform::Platform& os, platform::RegistryRoot root, std::u16string_view subKey,
                    std::u16string_view name);
// String types lose their terminating zero (a REG_MULTI_SZ keeps its inner
// ones); other types come back one character per byte.
std::u16string RegGetString(platform::Platform& os, platform::RegistryRoot root, std::u16string_view subKey,
                            std::u16string_view name);
// Creates the key path as needed; string types are stored with a terminating zero.
void RegPutValue(platform::Platform& os, platform::RegistryRoot root, std::u16string_view subKey,
                 std::u16string_view name, std::u16string_view data, std::uint32_t type);
void RegRemoveValue(platform::Platform& os, platform::RegistryRoot root, std::u16string_view subKey,
                    std::u16string_view name);
// For the values that hold paths: through the W-functions, so that every
// character survives. Reads REG_SZ and REG_EXPAND_SZ (unexpanded), writes REG_SZ.
std::u16string RegGetText(platform::Platform& os, platform::RegistryRoot root, std::u16string_view subKey,
                          std::u16string_view name);
void RegPutText(platform::Platform& os, platform::RegistryRoot root, std::u16string_view subKey,
                std::u16string_view name, std::u16string_view text);

// ---- Autostart lists: "Run" or "RunOnce", per user or machine-wide.

platform::RegistryRoot RunEntryRoot(bool machineWide);
std::u16string RunEntryKey(bool once);
void RunEntryWrite(platform::Platform& os, std::u16string_view name, std::u16string_view command, bool machineWide,
                   bool once);
void RunEntryDelete(platform::Platform& os, std::u16string_view name, bool machineWide, bool once);
bool RunEntryExists(platform::Platform& os, std::u16string_view name, bool machineWide, bool once);

// Once at start: takes a Startup-folder shortcut over into the entry, or
// sets the box from the entry's presence; afterwards the box's tag is "OK".
void SyncAutostart(platform::Platform& os, controls::CheckBox& box);
// From the box's click handler: writes or deletes the entry once the box is
// synchronised.
void ApplyAutostart(platform::Platform& os, const controls::CheckBox& box);

// ---- Help and web.

// Opens `fileName` when it exists, else the first help page found; says so
// when there is none, and confirms the launch when asked to.
void ShowHelp(platform::Platform& os, std::u16string_view fileName, bool confirm);
// The first of index.htm, index.html, hilfe.htm, hilfe.html in the program
// folder, then in its sub-folder "hilfe"; the empty text when none exists.
std::u16string FindHelpFile(platform::Platform& os);
// Hands a document or address to the shell; show mode 0 means normal.
void ShellOpen(platform::Platform& os, std::u16string_view target, int showMode);
void OpenMakerWebSite(platform::Platform& os);

// ---- Files.

// True when the path (or pattern with "*" and "?") names an ordinary file:
// folders, hidden and system files do not count; every failure gives false.
bool FileExists(platform::Platform& os, std::u16string_view path);

}  // namespace RXSAMMLUNG

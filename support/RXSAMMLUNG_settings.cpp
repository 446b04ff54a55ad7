// The per-user settings store: REG_SZ values under
// HKEY_CURRENT_USER\Software\Norvane Software\Velumor, one per key.
#include "support/RXSAMMLUNG.h"

namespace RXSAMMLUNG {
namespace {

constexpr std::u16string_view SettingsKey = u"Software\\Norvane Software\\Velumor";

}  // namespace

void SaveAppSetting(platform::Platform& os, std::u16string_view key, std::u16string_view value) {
  RegPutValue(os, platform::RegistryRoot::CurrentUser, SettingsKey, key, value, platform::RegSz);
}

std::u16string GetAppSetting(platform::Platform& os, std::u16string_view key, std::u16string_view defaultValue) {
  if (!RegValueExists(os, platform::RegistryRoot::CurrentUser, SettingsKey, key)) return std::u16string(defaultValue);
  return RegGetString(os, platform::RegistryRoot::CurrentUser, SettingsKey, key);
}

}  // namespace RXSAMMLUNG
